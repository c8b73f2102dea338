#include "app/fieldreader.h"

namespace qm {
namespace {

bool isLineEnd(QChar c) {
    return c == u'\r' || c == u'\n';
}

}  // namespace

FieldReader::FieldReader(QString text) : m_text(std::move(text)) {}

std::optional<QString> FieldReader::next() {
    if (atEnd()) {
        return std::nullopt;
    }
    while (m_pos < m_text.size() && m_text.at(m_pos) == u' ') {
        ++m_pos;
    }
    QString field;
    if (m_pos < m_text.size() && m_text.at(m_pos) == u'"') {
        const qsizetype close = m_text.indexOf(u'"', m_pos + 1);
        const qsizetype end = close < 0 ? m_text.size() : close;
        field = m_text.mid(m_pos + 1, end - m_pos - 1);
        m_pos = close < 0 ? m_text.size() : close + 1;
        // Whatever follows the closing quote, up to the delimiter, is not part of the field.
        while (m_pos < m_text.size() && m_text.at(m_pos) != u',' && !isLineEnd(m_text.at(m_pos))) {
            ++m_pos;
        }
    } else {
        const qsizetype start = m_pos;
        while (m_pos < m_text.size() && m_text.at(m_pos) != u',' && !isLineEnd(m_text.at(m_pos))) {
            ++m_pos;
        }
        field = m_text.mid(start, m_pos - start);
    }
    // Consume the delimiter: a comma, or one line end (CR LF, CR or LF).
    if (m_pos < m_text.size()) {
        if (m_text.at(m_pos) == u',') {
            ++m_pos;
        } else if (m_text.at(m_pos) == u'\r') {
            ++m_pos;
            if (m_pos < m_text.size() && m_text.at(m_pos) == u'\n') {
                ++m_pos;
            }
        } else if (m_text.at(m_pos) == u'\n') {
            ++m_pos;
        }
    }
    return field;
}

QString firstField(const QString& text) {
    FieldReader reader(text);
    return reader.next().value_or(QString());
}

std::optional<qint16> parseInt16(const QString& field) {
    qsizetype i = 0;
    while (i < field.size() && field.at(i) == u' ') {
        ++i;
    }
    bool negative = false;
    if (i < field.size() && (field.at(i) == u'-' || field.at(i) == u'+')) {
        negative = field.at(i) == u'-';
        ++i;
    }
    qint64 value = 0;
    while (i < field.size() && field.at(i) >= u'0' && field.at(i) <= u'9') {
        value = value * 10 + (field.at(i).unicode() - u'0');
        if (value > 32768) {
            return std::nullopt;
        }
        ++i;
    }
    if (negative) {
        value = -value;
    }
    if (value > 32767 || value < -32768) {
        return std::nullopt;
    }
    return static_cast<qint16>(value);
}

QString encodeField(const QString& text) {
    const bool needsQuotes = text.contains(u',') || text.contains(u'\r') || text.contains(u'\n') ||
                             text.startsWith(u' ') || text.startsWith(u'"');
    if (!needsQuotes) {
        return text;
    }
    QString inner = text;
    inner.replace(QLatin1String("\r\n"), QLatin1String(" "));
    inner.replace(u'\r', u' ');
    inner.replace(u'\n', u' ');
    inner.replace(u'"', QLatin1String("''"));
    return u'"' + inner + u'"';
}

}  // namespace qm
