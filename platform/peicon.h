#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

namespace qm {

// Icons of Windows executables (.exe, .dll), read from their resources without running anything.
// Every offset and size in the file is checked before it is used: a truncated or damaged file
// gives no icon, never a crash.

// The first icon group's image closest to size px (32 for the large icon, 16 for the small one),
// scaled to size x size when no image has that size. A null image when bytes are not a PE file
// with a readable icon.
QImage peIcon(const QByteArray& bytes, int size);

// The same for a file; reads only the parts it needs, at most kMaxPeIconRead bytes in all.
QImage peIconFromFile(const QString& path, int size);

// Every image of the first icon group, one per size (the one with the most colours).
QList<QImage> peIconImages(const QString& path);

// The texts a Windows program's version resource gives about it: the string table in the
// language asked for ("ja" or "en") when there is one, else the neutral or English one, else
// the first. Empty texts when there is none.
struct PeVersionText {
    QString description;  // FileDescription
    QString product;      // ProductName
};
PeVersionText peVersionText(const QByteArray& bytes, const QString& language);
PeVersionText peVersionTextFromFile(const QString& path, const QString& language);

inline constexpr qint64 kMaxPeIconRead = 64 * 1024 * 1024;

// One icon image resource: a device-independent bitmap with its AND mask (1, 4, 8, 24 or 32 bits
// per pixel) or a PNG image. A null image when the data is broken.
QImage decodeIconImage(const QByteArray& data);

}  // namespace qm
