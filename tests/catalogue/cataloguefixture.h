#pragma once

// Shared set-up of the catalogue window tests: a working folder with program folders, its list
// folder, stand-ins for the windows the catalogue hands over to, and access to the open window.

#include <QAbstractItemView>
#include <QAbstractProxyModel>
#include <QDir>
#include <QStringList>
#include <QTest>

#include <memory>

#include "app/form.h"
#include "app/programstate.h"
#include "app/windowregistry.h"
#include "app/workingfolder.h"
#include "catalogue/cataloguemodel.h"
#include "catalogue/cataloguewindow.h"
#include "catalogue/cataloguewindows.h"
#include "platform/settingsstore.h"
#include "support/testenvironment.h"

namespace qm::test {

// What a stand-in registration dialog does when it is shown: the entry it was given is
// recorded, then `answer` may change the exchange record and sets editResult.
struct RegistrationScript {
    QStringList shownFolders;
    std::function<void(int call)> answer;
};

class CatalogueFixture {
public:
    CatalogueFixture() : env(std::make_unique<TestEnvironment>()) {
        registerCatalogueWindows();
        auto& registry = WindowRegistry::instance();
        for (WindowKind kind : {WindowKind::MainMenu, WindowKind::Installer, WindowKind::Links}) {
            registry.setFactory(kind, [this, kind] {
                return new ScriptedForm(
                    kind, [this, kind] { shown.append(kind); }, true);
            });
        }
        registry.setFactory(WindowKind::Registration, [this] {
            return new ScriptedForm(WindowKind::Registration, [this] {
                const int call = static_cast<int>(registration.shownFolders.size());
                registration.shownFolders.append(state().editFolder);
                state().editResult = 0;
                if (registration.answer) {
                    registration.answer(call);
                }
            });
        });
        registry.setFactory(WindowKind::Move, [this] {
            return new ScriptedForm(WindowKind::Move, [this] {
                ++moveShows;
                if (moveScript) {
                    moveScript();
                }
            });
        });
    }

    // A working folder below the test root with these program folders.
    QString makeWorkFolder(const QString& name, const QStringList& folders) {
        const QString work = env->makeFolder(name);
        for (const QString& folder : folders) {
            QDir().mkpath(work + u'/' + folder);
        }
        return work;
    }

    // Points the program state at a working folder and writes its list file when given.
    void useWorkFolder(const QString& work, const QByteArray* listBytes = nullptr) {
        state().workFolder = work;
        state().listFolder = listFolderOf(work);
        QDir().mkpath(state().listFolder);
        if (listBytes) {
            QFile file(listFile());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(*listBytes);
        }
    }

    QString listFile() const { return state().listFolder + "/index.qmx"; }

    // Opens the catalogue and waits for its first activation to finish (the splash is gone).
    CatalogueWindow* open() {
        WindowRegistry::instance().show(WindowKind::Catalogue);
        waitFor([] { return !WindowRegistry::instance().isLoaded(WindowKind::Splash); });
        return window();
    }

    static CatalogueWindow* window() {
        return qobject_cast<CatalogueWindow*>(
            WindowRegistry::instance().find(WindowKind::Catalogue));
    }

    // nullptr when the window or its list is missing: tests QVERIFY it before use, so that such
    // a fault fails the test instead of crashing the whole program.
    static CatalogueModel* model() {
        QAbstractItemView* view = listView();
        auto* proxy = view ? qobject_cast<QAbstractProxyModel*>(view->model()) : nullptr;
        return qobject_cast<CatalogueModel*>(proxy ? proxy->sourceModel() : nullptr);
    }

    // Where a row of the model is in the list as shown.
    static QModelIndex shownIndex(int row, int column = 0) {
        auto* proxy = qobject_cast<QAbstractProxyModel*>(listView()->model());
        return proxy->mapFromSource(model()->index(row, column));
    }

    static QAbstractItemView* listView() {
        CatalogueWindow* form = window();
        return form ? form->findChild<QAbstractItemView*>(QStringLiteral("ListView1")) : nullptr;
    }

    // The rows as record lines without their line ends.
    static QStringList rows() {
        QStringList lines;
        if (!model()) {
            return {QStringLiteral("(no catalogue model)")};
        }
        for (const CatalogueEntry& entry : model()->entries()) {
            QString line = formatRecord(entry);
            line.chop(2);
            lines.append(line);
        }
        return lines;
    }

    static void select(int row) { listView()->setCurrentIndex(shownIndex(row)); }

    static void setOption(const QString& key, const QString& value) {
        SettingsStore::write(QStringLiteral("Orvalde"), QStringLiteral("qmorn"), key, value);
    }
    static QString option(const QString& key) {
        return SettingsStore::read(QStringLiteral("Orvalde"), QStringLiteral("qmorn"), key);
    }

    // Closes the catalogue by its close box and lets the hand-over run.
    static void closeWindow() {
        window()->close();
        QCoreApplication::processEvents();
    }

    std::unique_ptr<TestEnvironment> env;
    QList<WindowKind> shown;
    RegistrationScript registration;
    int moveShows = 0;
    std::function<void()> moveScript;
};

}  // namespace qm::test
