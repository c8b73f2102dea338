#pragma once

#include <QByteArray>
#include <QString>

#include <filesystem>

namespace qm {

// A path as the file system knows it: bytes. The program carries paths as text in the form of
// pathbytes.h (which is also how list files store them), and that text converts to and from the
// bytes without loss, so every path text converts to an FsPath implicitly.
class FsPath {
public:
    FsPath() = default;
    FsPath(const QString& text);  // NOLINT: every path text of the program is lossless
    static FsPath fromBytes(const QByteArray& bytes);
    static FsPath fromNative(const std::filesystem::path& path);

    const QByteArray& bytes() const { return m_bytes; }
    // NUL-terminated, for the C library.
    const char* c_str() const { return m_bytes.constData(); }
    std::filesystem::path native() const;

    // The text the program and its list files carry (private-use characters for bytes that are
    // not UTF-8).
    QString text() const;
    // The text a person is shown (see readableName()).
    QString shown() const;

    bool isEmpty() const { return m_bytes.isEmpty(); }
    // The last part ("" for "/" and for a path ending in a separator) and everything before it.
    QString fileName() const;
    FsPath parent() const;
    // This path joined with name by one separator.
    FsPath child(const QString& name) const;

    friend bool operator==(const FsPath& a, const FsPath& b) { return a.m_bytes == b.m_bytes; }

private:
    QByteArray m_bytes;
};

}  // namespace qm
