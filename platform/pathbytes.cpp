#include "platform/pathbytes.h"

#include <QStringDecoder>

#include <algorithm>

#include <unistd.h>

namespace qm {
namespace {

constexpr char16_t kRawByteBase = 0xEF00;

bool isRawByteChar(char32_t c) {
    return c >= kRawByteBase + 0x80 && c <= kRawByteBase + 0xFF;
}

bool isContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Length of the valid UTF-8 sequence at data[i] and its code point; 0 when invalid.
int utf8Sequence(const unsigned char* data, qsizetype size, qsizetype i, char32_t* code) {
    const unsigned char c = data[i];
    int length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if (c < 0x80) {
        *code = c;
        return 1;
    } else if ((c & 0xE0) == 0xC0) {
        length = 2, value = c & 0x1F, minimum = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        length = 3, value = c & 0x0F, minimum = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        length = 4, value = c & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (i + length > size) {
        return 0;
    }
    for (int k = 1; k < length; ++k) {
        if (!isContinuation(data[i + k])) {
            return 0;
        }
        value = (value << 6) | (data[i + k] & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return 0;
    }
    *code = value;
    return length;
}

}  // namespace

QString textFromNameBytes(const QByteArray& bytes) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype size = bytes.size();
    QString text;
    text.reserve(size);
    for (qsizetype i = 0; i < size;) {
        char32_t code = 0;
        const int length = utf8Sequence(data, size, i, &code);
        if (length == 0 || isRawByteChar(code)) {
            // Not text (or the escape itself): carried byte by byte.
            const int count = length == 0 ? 1 : length;
            for (int k = 0; k < count; ++k) {
                text.append(QChar(char16_t(kRawByteBase + data[i + k])));
            }
            i += count;
            continue;
        }
        const char32_t one[] = {code};
        text.append(QString::fromUcs4(one, 1));
        i += length;
    }
    return text;
}

QByteArray nameBytesFromText(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size() * 3);
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (isRawByteChar(c)) {
            bytes.append(QStringView(text).mid(start, i - start).toUtf8());
            bytes.append(char(c - kRawByteBase));
            start = i + 1;
        }
    }
    bytes.append(QStringView(text).mid(start).toUtf8());
    return bytes;
}

std::filesystem::path fsPath(const QString& path) {
    return std::filesystem::path(nameBytesFromText(path).toStdString());
}

QString pathText(const std::filesystem::path& path) {
    return textFromNameBytes(QByteArray::fromStdString(path.native()));
}

bool holdsRawBytes(const QString& text) {
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return isRawByteChar(c.unicode()); });
}

QString readableName(const QString& text) {
    if (!holdsRawBytes(text)) {
        return text;
    }
    const QByteArray bytes = nameBytesFromText(text);
    // A name that holds the private-use characters themselves is valid UTF-8.
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decodedUtf8 = utf8.decode(bytes);
    if (!utf8.hasError()) {
        return decodedUtf8;
    }
    QStringDecoder cp932("CP932");
    if (cp932.isValid()) {
        const QString decoded = cp932.decode(bytes);
        if (!cp932.hasError()) {
            return decoded;
        }
    }
    return QString::fromUtf8(bytes);
}

bool isListableFolder(const QString& path) {
    if (path.isEmpty()) {
        return false;
    }
    std::error_code ec;
    const std::filesystem::path native = fsPath(path);
    return std::filesystem::is_directory(native, ec) && ::access(native.c_str(), R_OK | X_OK) == 0;
}

}  // namespace qm
