#include "platform/fspath.h"

#include "platform/pathbytes.h"

namespace qm {

FsPath::FsPath(const QString& text) : m_bytes(nameBytesFromText(text)) {}

FsPath FsPath::fromBytes(const QByteArray& bytes) {
    FsPath path;
    path.m_bytes = bytes;
    return path;
}

FsPath FsPath::fromNative(const std::filesystem::path& path) {
    return fromBytes(QByteArray::fromStdString(path.native()));
}

std::filesystem::path FsPath::native() const {
    return std::filesystem::path(m_bytes.toStdString());
}

QString FsPath::text() const {
    return textFromNameBytes(m_bytes);
}

QString FsPath::shown() const {
    return readableName(text());
}

QString FsPath::fileName() const {
    return textFromNameBytes(m_bytes.mid(m_bytes.lastIndexOf('/') + 1));
}

FsPath FsPath::parent() const {
    const qsizetype p = m_bytes.lastIndexOf('/');
    if (p < 0) {
        return FsPath();
    }
    return fromBytes(p == 0 ? QByteArray("/") : m_bytes.left(p));
}

FsPath FsPath::child(const QString& name) const {
    QByteArray joined = m_bytes;
    if (!joined.endsWith('/')) {
        joined += '/';
    }
    return fromBytes(joined + nameBytesFromText(name));
}

}  // namespace qm
