#include "platform/programicon.h"

#include <QFileIconProvider>
#include <QFileInfo>

#include "platform/peicon.h"

namespace qm {

QPixmap programIcon(const QString& path, int size) {
    const QFileInfo info(path);
    if (!info.isFile()) {
        return QPixmap();
    }
    const QImage icon = peIconFromFile(path, size);
    if (!icon.isNull()) {
        return QPixmap::fromImage(icon);
    }
    static QFileIconProvider provider;
    return provider.icon(info).pixmap(size, size);
}

}  // namespace qm
