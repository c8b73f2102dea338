#pragma once

#include <QString>
#include <QStringList>

namespace qmclean {

// The main program's portable rule, which the remover follows: when the remover's own folder holds
// a file named "portable", or it was started with "--portable" as its first argument, the
// preferences to delete are the "orvalde.ini" in that folder. A folder the remover cannot write to
// is reported in a message and the normal store is used.
class PortableFolder {
public:
    // Decides for the executable's folder and points the settings remover at the result.
    // True when the portable folder is used.
    static bool apply(const QStringList& arguments, const QString& executableFolder);
};

}  // namespace qmclean
