#include "support/fakelauncher.h"

namespace qm::test {

bool FakeLauncher::start(const QString& program, const QStringList& arguments,
                         const QString& workingDirectory, QString* error) {
    started.append({program, arguments, workingDirectory});
    if (!startSucceeds && error) {
        *error = QStringLiteral("cannot start");
    }
    return startSucceeds;
}

bool FakeLauncher::openFolder(const QString& path) {
    openedFolders.append(path);
    return true;
}

void FakeLauncher::clear() {
    startSucceeds = true;
    started.clear();
    openedFolders.clear();
}

}  // namespace qm::test
