#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <filesystem>

#include <unistd.h>

#include "app/helpers.h"
#include "platform/fileoperation.h"
#include "platform/foldertree.h"
#include "platform/pathbytes.h"
#include "support/bytetree.h"
#include "support/scopedfault.h"
#include "support/scopedmount.h"
#include "support/testenvironment.h"

using namespace qm;
using qm::test::TestEnvironment;

namespace {

// Writes each file named in the list (relative to folder; names in the text form of pathbytes.h,
// so any bytes) and creates each name ending in "/" as a folder. Folders whose name starts with
// "locked" are made read-only once filled.
void makeTree(const TestEnvironment& env, const QString& folder, const QStringList& entries) {
    const std::filesystem::path root = fsPath(env.makeFolder(folder));
    QList<std::filesystem::path> locked;
    for (const QString& entry : entries) {
        const std::filesystem::path path = root / fsPath(entry);
        if (entry.endsWith(u'/')) {
            std::filesystem::create_directories(path);
            if (lastPathPart(entry.chopped(1)).startsWith("locked")) {
                locked.prepend(path);
            }
        } else {
            test::writeRawFile(path, "x");
        }
    }
    for (const std::filesystem::path& path : locked) {
        std::filesystem::permissions(path, std::filesystem::perms(0555));
    }
}

bool exists(const QString& path) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(fsPath(path), ec));
}

// Bytes that are not text, as the program carries them.
QString raw(const char* bytes) {
    return textFromNameBytes(QByteArray(bytes));
}

// Every entry below folder, counted without following links.
int entryCount(const QString& folder) {
    const auto it = std::filesystem::recursive_directory_iterator(fsPath(folder));
    return int(std::distance(begin(it), end(it)));
}

// True when one message was shown and it names path.
bool saysWhy(const TestEnvironment& env, const QString& path) {
    return env.prompt.texts().size() == 1 && env.prompt.texts().first().contains(path);
}

test::FileSystemFault refusing(const QString& path) {
    test::FileSystemFault fault;
    fault.refuses = [path](const QString& p) { return p == path; };
    return fault;
}

}  // namespace

class FolderTreeTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void deletesTree_data();
    void deletesTree();
    void fullTableIsDeletedOneMoreIsRefused_data();
    void fullTableIsDeletedOneMoreIsRefused();
    void missingOrNotAFolder();
    void linkInsideTreeIsNotFollowed();
    void linkInPlaceOfTheFolderLosesOnlyTheLink();
    void undeletableFileStopsBeforeAnyFolder();
    void unremovableFolderStops();
    void collectsOneLevelSorted();
    void neverLeavesTheTree_data();
    void neverLeavesTheTree();
};

void FolderTreeTest::deletesTree_data() {
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<bool>("result");
    QTest::newRow("two files") << QStringList{"a.txt", "b.exe"} << false;
    QTest::newRow("empty") << QStringList{} << false;
    QTest::newRow("sub-folder with a file") << QStringList{"sub/", "sub/readme.txt"} << true;
    QTest::newRow("empty sub-folder") << QStringList{"sub/"} << true;
    QTest::newRow("hidden files and folders")
        << QStringList{".hidden", ".config/", ".config/.rc", "visible"} << true;
    QTest::newRow("deep and wide")
        << QStringList{"a/", "a/b/", "a/b/c/", "a/b/c/f", "a/g", "h/", "h/i", "j"} << true;
    QTest::newRow("odd names") << QStringList{"スペース 名.txt", "a,b;c", "sub dir/", "sub dir/*"}
                               << true;
    QTest::newRow("names that are not text") << QStringList{raw("bad\xff.txt"),
                                                            raw("\xfe") + "1",
                                                            raw("\xfd") + "1",
                                                            raw("\x83\x5c\x83\x74/"),
                                                            raw("\x83\x5c\x83\x74/\x93\xc7"),
                                                            "new\nline",
                                                            "-rf"}
                                             << true;
    QTest::newRow("read-only folders")
        << QStringList{"locked/", "locked/file", "open/", "open/locked2/", "open/locked2/f"}
        << true;
}

void FolderTreeTest::deletesTree() {
    QFETCH(QStringList, entries);
    QFETCH(bool, result);
    TestEnvironment env;
    makeTree(env, "soft/app", entries);
    env.writeFile("soft/neighbour.txt", "stay");
    const QString path = env.root() + "/soft/app";

    QCOMPARE(deleteFolderTree(path), result);
    QVERIFY(!exists(path));
    QVERIFY(env.prompt.messages.isEmpty());
    QVERIFY(QFileInfo::exists(env.root() + "/soft/neighbour.txt"));
}

void FolderTreeTest::fullTableIsDeletedOneMoreIsRefused_data() {
    QTest::addColumn<int>("entries");
    QTest::addColumn<bool>("spread");
    QTest::addColumn<bool>("deleted");
    QTest::newRow("1001 in one sub-folder") << 1001 << false << true;
    QTest::newRow("1002 in one sub-folder") << 1002 << false << false;
    QTest::newRow("1001 over four levels") << 1001 << true << true;
    QTest::newRow("1002 over four levels") << 1002 << true << false;
}

void FolderTreeTest::fullTableIsDeletedOneMoreIsRefused() {
    QFETCH(int, entries);
    QFETCH(bool, spread);
    QFETCH(bool, deleted);
    TestEnvironment env;
    // One sub-folder with the rest of the entries inside it, or files at every level of
    // a/b/c/ with the last ones deepest, so that the table overflows only at the bottom.
    const QStringList folders = spread ? QStringList{"a/", "a/b/", "a/b/c/"} : QStringList{"sub/"};
    QStringList names = folders;
    for (int i = int(folders.size()); i < entries; ++i) {
        const QString folder = spread ? QStringList{"", "a/", "a/b/", "a/b/c/"}.at(i * 4 / entries)
                                      : QStringLiteral("sub/");
        names.append(folder + QStringLiteral("f%1").arg(i, 4, 10, QChar(u'0')));
    }
    makeTree(env, "big", names);
    const QString path = env.root() + "/big";

    const bool result = deleteFolderTree(path);
    if (deleted) {
        QVERIFY(result);
        QVERIFY(!exists(path));
        QVERIFY(env.prompt.messages.isEmpty());
    } else {
        QVERIFY(!result);
        QCOMPARE(env.prompt.texts().size(), 1);
        QVERIFY(env.prompt.texts().first().contains("1001"));
        QCOMPARE(env.prompt.messages.first().flags, 0);
        QVERIFY(env.prompt.messages.first().title.isEmpty());
        // Refused before anything was deleted.
        QCOMPARE(entryCount(path), entries);
    }
}

void FolderTreeTest::missingOrNotAFolder() {
    TestEnvironment env;
    QVERIFY(!deleteFolderTree(env.root() + "/missing"));
    QVERIFY(saysWhy(env, env.root() + "/missing"));

    env.prompt.clear();
    const QString file = env.writeFile("plain.txt", "keep");
    QVERIFY(!deleteFolderTree(file));
    QVERIFY(saysWhy(env, file));
    QCOMPARE(TestEnvironment::readFile(file), QByteArray("keep"));

    env.prompt.clear();
    QVERIFY(!deleteFolderTree(QString()));
    QCOMPARE(env.prompt.texts().size(), 1);
}

void FolderTreeTest::linkInsideTreeIsNotFollowed() {
    TestEnvironment env;
    makeTree(env, "outside", {"precious.txt", "inner/", "inner/data"});
    makeTree(env, "app", {"sub/", "sub/file"});
    const QString outside = env.root() + "/outside";
    const QString app = env.root() + "/app";
    QVERIFY(QFile::link(outside, app + "/sub/to-folder"));
    QVERIFY(QFile::link(outside + "/precious.txt", app + "/to-file"));
    QVERIFY(QFile::link(env.root() + "/nowhere", app + "/dangling"));

    QVERIFY(deleteFolderTree(app));
    QVERIFY(!exists(app));
    QVERIFY(env.prompt.messages.isEmpty());
    QCOMPARE(TestEnvironment::readFile(outside + "/precious.txt"), QByteArray("x"));
    QCOMPARE(TestEnvironment::readFile(outside + "/inner/data"), QByteArray("x"));
}

void FolderTreeTest::linkInPlaceOfTheFolderLosesOnlyTheLink() {
    TestEnvironment env;
    makeTree(env, "real", {"a", "b/", "b/c"});
    const QString link = env.root() + "/linked";
    QVERIFY(QFile::link(env.root() + "/real", link));

    for (const QString& path : QStringList{link, link + u'/'}) {
        if (!exists(link)) {
            QVERIFY(QFile::link(env.root() + "/real", link));
        }
        QVERIFY(!deleteFolderTree(path));
        QVERIFY(!exists(link));
        QVERIFY(env.prompt.messages.isEmpty());
        QVERIFY(QFileInfo::exists(env.root() + "/real/a"));
        QVERIFY(QFileInfo::exists(env.root() + "/real/b/c"));
    }
}

void FolderTreeTest::undeletableFileStopsBeforeAnyFolder() {
    TestEnvironment env;
    // Breadth-first and sorted: a1, b/, z9, then b/c1, b/c2.
    makeTree(env, "app", {"a1", "b/", "b/c1", "b/c2", "z9"});
    const QString app = env.root() + "/app";
    const test::ScopedFileSystemFault guard(refusing(app + "/b/c1"));

    QVERIFY(!deleteFolderTree(app));
    QVERIFY(saysWhy(env, app + "/b/c1"));
    QVERIFY(!exists(app + "/a1"));
    QVERIFY(!exists(app + "/z9"));
    QVERIFY(exists(app + "/b/c1"));
    QVERIFY(exists(app + "/b/c2"));  // listed after the refused file
    QVERIFY(QFileInfo(app + "/b").isDir());
}

void FolderTreeTest::unremovableFolderStops() {
    TestEnvironment env;
    makeTree(env, "app", {"a/", "a/f", "b/", "b/g", "top"});
    const QString app = env.root() + "/app";
    {
        const test::ScopedFileSystemFault guard(refusing(app + "/a"));
        QVERIFY(!deleteFolderTree(app));
    }
    QVERIFY(saysWhy(env, app + "/a"));
    // Files are all gone; b (removed before a, deepest-last order) is gone; a and app stay.
    QVERIFY(!exists(app + "/top"));
    QVERIFY(!exists(app + "/a/f"));
    QVERIFY(!exists(app + "/b"));
    QVERIFY(QFileInfo(app + "/a").isDir());

    env.prompt.clear();
    {
        const test::ScopedFileSystemFault guard(refusing(app));
        QVERIFY(!deleteFolderTree(app));
    }
    QVERIFY(saysWhy(env, app));
    QVERIFY(!exists(app + "/a"));
    QVERIFY(QFileInfo(app).isDir());

    env.prompt.clear();
    QVERIFY(!deleteFolderTree(app));  // an empty folder now
    QVERIFY(!exists(app));
    QVERIFY(env.prompt.messages.isEmpty());
}

void FolderTreeTest::collectsOneLevelSorted() {
    TestEnvironment env;
    makeTree(env, "app", {"b", ".h", "a/", "a/deep"});
    // A second deletion resets the table: the first tree's entries do not leak into it.
    makeTree(env, "other", {"x"});
    QVERIFY(!collectFolderEntries(env.root() + "/missing"));
    QVERIFY(collectFolderEntries(env.root() + "/app/b"));  // a file adds nothing
    QVERIFY(!deleteFolderTree(env.root() + "/other"));
    QVERIFY(exists(env.root() + "/app/b"));
    QVERIFY(deleteFolderTree(env.root() + "/app"));
    QVERIFY(env.prompt.messages.isEmpty());
}

void FolderTreeTest::neverLeavesTheTree_data() {
    QTest::addColumn<QString>("danger");
    QTest::newRow("a file system mounted inside") << "mount";
    QTest::newRow("a folder swapped for a link after the listing") << "swap";
    QTest::newRow("a read-only folder that fails gets its mode back") << "read-only";
}

void FolderTreeTest::neverLeavesTheTree() {
    QFETCH(QString, danger);
    TestEnvironment env;
    makeTree(env, "outside", {"precious.txt"});
    makeTree(env, "app", {"a1", "data/", "data/file", "locked/", "locked/a", "locked/kept", "z9"});
    const QString app = env.root() + "/app";
    const QString outside = env.root() + "/outside";
    const test::ScopedMount mount(danger == "mount" ? app + "/data" : QString());
    if (danger == "mount") {
        if (!mount.mounted()) {
            QSKIP("no tmpfs could be mounted inside the tree (test.sh mounts as root)");
        }
        env.writeFile("app/data/on-the-mount", "kept");
    }
    if (danger == "read-only" && ::geteuid() == 0) {
        QSKIP("root removes from any folder: test.sh runs this as an unprivileged user");
    }
    test::FileSystemFault fault;
    fault.beforeRemoving = [&] {
        if (danger == "swap") {
            QVERIFY(QDir(app + "/data").removeRecursively());
            QVERIFY(QFile::link(outside, app + "/data"));
        }
    };
    if (danger == "read-only") {
        fault.refuses = [&](const QString& p) { return p == app + "/locked/kept"; };
    }
    const test::ScopedFileSystemFault guard(fault);

    QVERIFY(!deleteFolderTree(app));
    QCOMPARE(env.prompt.texts().size(), 1);
    QCOMPARE(TestEnvironment::readFile(outside + "/precious.txt"), QByteArray("x"));
    if (danger == "mount") {
        QVERIFY(saysWhy(env, app + "/data"));
        QCOMPARE(TestEnvironment::readFile(app + "/data/on-the-mount"), QByteArray("kept"));
        QVERIFY(exists(app + "/a1"));  // refused before anything was deleted
    } else if (danger == "read-only") {
        QVERIFY(saysWhy(env, app + "/locked/kept"));
        QCOMPARE(QFileInfo(app + "/locked").permissions() & QFileDevice::WriteOwner, 0);
    }
}

QTEST_MAIN(FolderTreeTest)
#include "tst_foldertree.moc"
