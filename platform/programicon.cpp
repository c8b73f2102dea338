#include "platform/programicon.h"

#include <QFileIconProvider>
#include <QFileInfo>

namespace qm {

QPixmap programIcon(const QString& path, int size) {
    const QFileInfo info(path);
    if (!info.isFile()) {
        return QPixmap();
    }
    static QFileIconProvider provider;
    return provider.icon(info).pixmap(size, size);
}

}  // namespace qm
