#include "support/testenvironment.h"

#include "support/bytetree.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QTimer>

#include "app/endprogram.h"
#include "app/programstate.h"
#include "app/windowregistry.h"
#include "platform/launcher.h"
#include "platform/portablemode.h"
#include "platform/prompt.h"

namespace qm::test {
namespace {

const char* const kVariables[5] = {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR",
                                   "XDG_CACHE_HOME"};

}  // namespace

TestEnvironment::TestEnvironment() : m_dir(std::make_unique<QTemporaryDir>()) {
    Q_ASSERT(m_dir->isValid());
    const QString base = m_dir->path();
    const QString folders[5] = {base + "/home", base + "/home/.config", base + "/home/.local/share",
                                base + "/runtime", base + "/home/.cache"};
    for (int i = 0; i < 5; ++i) {
        m_savedEnv[i] = qgetenv(kVariables[i]);
        QDir().mkpath(folders[i]);
        qputenv(kVariables[i], folders[i].toUtf8());
    }
    QFile::setPermissions(folders[3],
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QDir().mkpath(base + "/work");
    WindowRegistry::instance().destroyAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    state().reset();
    Prompt::setInstance(&prompt);
    Launcher::setInstance(&launcher);
    setEndProgramHandler([this] {
        ++endCount;
        WindowRegistry::instance().destroyAll();
    });
}

TestEnvironment::~TestEnvironment() {
    WindowRegistry::instance().destroyAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    setEndProgramHandler(nullptr);
    PortableMode::stop();
    Prompt::setInstance(nullptr);
    Launcher::setInstance(nullptr);
    state().reset();
    // Tests make read-only folders and names that are not text, which QTemporaryDir cannot
    // remove.
    removeTree(m_dir->path());
    for (int i = 0; i < 5; ++i) {
        if (m_savedEnv[i].isNull()) {
            qunsetenv(kVariables[i]);
        } else {
            qputenv(kVariables[i], m_savedEnv[i]);
        }
    }
}

QString TestEnvironment::root() const {
    return m_dir->path() + "/work";
}

QString TestEnvironment::programFolder() const {
    return m_dir->path() + "/home/.local/share/quillmorn";
}

QString TestEnvironment::configFolder() const {
    return m_dir->path() + "/home/.config";
}

QString TestEnvironment::makeFolder(const QString& relativePath) const {
    const QString path = root() + u'/' + relativePath;
    QDir().mkpath(path);
    return path;
}

QString TestEnvironment::writeFile(const QString& relativePath, const QByteArray& bytes) const {
    const QString path = root() + u'/' + relativePath;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        qFatal("cannot write test file %s", qPrintable(path));
    }
    return path;
}

QByteArray TestEnvironment::readFile(const QString& absolutePath) {
    QFile file(absolutePath);
    if (!file.open(QIODevice::ReadOnly)) {
        return QByteArray();
    }
    return file.readAll();
}

bool runQueuedCalls() {
    // Calls queued with no delay run in the order they were queued, so this one runs last.
    bool reached = false;
    QTimer::singleShot(0, QCoreApplication::instance(), [&reached] { reached = true; });
    return waitFor([&reached] { return reached; });
}

bool waitFor(const std::function<bool()>& condition, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QThread::msleep(1);
    }
    return true;
}

ScriptedForm::ScriptedForm(WindowKind kind, std::function<void()> onShow, bool keepOpen)
    : Form(kind), m_onShow(std::move(onShow)), m_keepOpen(keepOpen) {}

void ScriptedForm::activate() {
    if (m_ran) {
        return;
    }
    m_ran = true;
    if (m_onShow) {
        m_onShow();
    }
    if (!m_keepOpen) {
        close();
    }
}

}  // namespace qm::test
