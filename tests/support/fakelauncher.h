#pragma once

#include <QList>
#include <QStringList>

#include "platform/launcher.h"

namespace qm::test {

struct StartedProgram {
    QString program;
    QStringList arguments;
    QString workingDirectory;
};

// Records what would have been started or opened instead of doing it.
class FakeLauncher final : public Launcher {
public:
    bool startSucceeds = true;
    QList<StartedProgram> started;
    QStringList openedFolders;

    bool start(const QString& program, const QStringList& arguments,
               const QString& workingDirectory, QString* error) override;
    bool openFolder(const QString& path) override;
    void clear();
};

}  // namespace qm::test
