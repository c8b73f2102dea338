#pragma once

#include <QSet>
#include <QString>

#include "shortcuts/shortcutwriter.h"

namespace qm {

// The icons of the menu entries one link rebuild writes: each program's own icon is put into the
// user's icon theme under a name of its own (a program without one gets the generic icon of its
// kind), and the icons of entries the rebuild removed go afterwards unless an entry written now
// still uses them. Icons this program did not write are never touched.
class MenuIcons {
public:
    explicit MenuIcons(const QString& listFolder) : m_listFolder(listFolder) {}

    // The Icon and StartupWMClass of the entry that starts program.
    ShortcutExtras extrasFor(const QString& program);

    // A shortcut file about to be removed: remembers the icon it names.
    void noteRemoved(const QByteArray& shortcut);

    // Removes the remembered icons that no entry written since uses.
    void removeUnused();

private:
    QString m_listFolder;
    QSet<QString> m_removed;
    QSet<QString> m_used;
};

}  // namespace qm
