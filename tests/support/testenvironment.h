#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <memory>

#include "app/form.h"
#include "support/fakelauncher.h"
#include "support/fakeprompt.h"

namespace qm::test {

// A clean world for one test: the user's home, configuration, data and runtime folders are
// temporary folders, the prompt and launcher are fakes, ending the program is only counted, the
// program state is new and no window is loaded. Restores everything when destroyed.
class TestEnvironment {
public:
    TestEnvironment();
    ~TestEnvironment();
    TestEnvironment(const TestEnvironment&) = delete;
    TestEnvironment& operator=(const TestEnvironment&) = delete;

    // A folder for the test's own files (working folders and the like).
    QString root() const;
    // The program's own folder (where list folders live) under the temporary data folder.
    QString programFolder() const;
    QString configFolder() const;

    // Creates a folder (and its parents) below root(); returns its absolute path.
    QString makeFolder(const QString& relativePath) const;
    // Writes a file below root() (parents created); returns its absolute path.
    QString writeFile(const QString& relativePath, const QByteArray& bytes) const;
    static QByteArray readFile(const QString& absolutePath);

    FakePrompt prompt;
    FakeLauncher launcher;
    int endCount = 0;

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QByteArray m_savedEnv[5];
};

// Lets pending events run until condition holds or the timeout passes.
bool waitFor(const std::function<bool()>& condition, int timeoutMs = 5000);

// Waits until every call already queued on the event loop has run (a deferred activation, the
// last-window check): whatever they would have done is done when this returns true.
bool runQueuedCalls();

// A stand-in window of a given kind for tests of another window: when it is first activated it
// runs onShow (for example to fill in the exchange record), then closes itself unless keepOpen.
class ScriptedForm : public Form {
    Q_OBJECT

public:
    ScriptedForm(WindowKind kind, std::function<void()> onShow, bool keepOpen = false);
    void activate() override;

private:
    std::function<void()> m_onShow;
    bool m_keepOpen;
    bool m_ran = false;
};

}  // namespace qm::test
