// The shortcut writer, checked by outside readers: desktop-file-validate and GLib's own launcher
// (gio launch) for Desktop Entries, lnkinfo for Shell Links.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

#include "app/helpers.h"
#include "platform/filesystem.h"
#include "platform/pathbytes.h"
#include "shortcuts/desktopentry.h"
#include "shortcuts/shortcutwriter.h"
#include "support/checkingtool.h"

using namespace qm;

namespace {

struct ToolResult {
    int exitCode = -1;
    QString output;
};

ToolResult runTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(20000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAll())};
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The value lnkinfo reports after "label:" (first match).
QString lnkField(const QString& report, const QString& label) {
    for (const QString& line : report.split(u'\n')) {
        const qsizetype colon = line.indexOf(u':');
        if (colon > 0 && line.left(colon).trimmed() == label) {
            return line.mid(colon + 1).trimmed();
        }
    }
    return QStringLiteral("<missing>");
}

}  // namespace

class ShortcutWriterTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase() { fileSystem().removeTree(m_dir.path()); }
    void desktopEntryReachesProgram_data();
    void desktopEntryReachesProgram();
    void desktopEntryNameAndTryExec();
    void windowsProgramRunsThroughWine();
    void shellLinkReadByLnkinfo_data();
    void shellLinkReadByLnkinfo();
    void shellLinkWithoutArguments();
    void overwritesExistingFile_data();
    void overwritesExistingFile();
    void missingFolderFails_data();
    void missingFolderFails();
    void controlCharacterFails();
    void splitArgumentsJoinsBack_data();
    void splitArgumentsJoinsBack();

private:
    QTemporaryDir m_dir;
    QString m_probe;  // a script that records its folder and arguments
};

void ShortcutWriterTest::initTestCase() {
    QVERIFY(m_dir.isValid());
    QM_SKIP_WITHOUT_TOOL("desktop-file-validate");
    QM_SKIP_WITHOUT_TOOL("lnkinfo");
    QM_SKIP_WITHOUT_TOOL("gio");
    // The probe lives in a folder whose name needs quoting too.
    const QString folder = m_dir.path() + QStringLiteral("/probe $dir 'x'");
    QVERIFY(QDir().mkpath(folder));
    m_probe = folder + QStringLiteral("/probe program");
    QFile script(m_probe);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write(
        "#!/bin/sh\nout=\"$(dirname \"$0\")/out\"\nprintf '%s\\0' \"$PWD\" \"$@\" > "
        "\"$out.tmp\" && mv \"$out.tmp\" \"$out\"\n");
    script.close();
    QVERIFY(script.setPermissions(script.permissions() | QFileDevice::ExeOwner));
}

void ShortcutWriterTest::desktopEntryReachesProgram_data() {
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("folderName");
    QTest::addColumn<QString>("programFolder");  // "": the probe where it is

    QTest::newRow("none") << QString() << QStringLiteral("plain") << QString();
    // Readers look the program up before they expand "%%" and then hide the entry.
    QTest::newRow("percent in program path")
        << QStringLiteral("-l /w/a%b c=%%d") << QStringLiteral("p%") << QStringLiteral("a%%b 5%=x");
    QTest::newRow("list option with blanks")
        << QStringLiteral("-l /path with spaces") << QStringLiteral("with space") << QString();
    QTest::newRow("double blanks kept")
        << QStringLiteral("-l /a  b ") << QStringLiteral("x") << QString();
    QTest::newRow("quotes") << QStringLiteral("-i /it's \"quoted\"") << QStringLiteral("q'\"")
                            << QString();
    QTest::newRow("dollar and backquote") << QStringLiteral("-l /$HOME/`touch pwned`/$(id)")
                                          << QStringLiteral("$HOME`id`") << QString();
    QTest::newRow("backslashes") << QStringLiteral("-l C:\\Soft\\ツール \\\\n")
                                 << QStringLiteral("back\\slash") << QString();
    QTest::newRow("percent field codes")
        << QStringLiteral("%f %U 100%") << QStringLiteral("%u") << QString();
    QTest::newRow("shell operators") << QStringLiteral("a;b|c&d>e<f (g) ~h *i ?j #k")
                                     << QStringLiteral("semi;colon") << QString();
    QTest::newRow("japanese") << QStringLiteral("-l /ソフト/日本語 フォルダ")
                              << QStringLiteral("作業 フォルダ") << QString();
    QTest::newRow("line break and tab")
        << QStringLiteral("a\nb\tc") << QStringLiteral("tab\there") << QString();
    // Names that are not UTF-8 (Shift-JIS bytes from an old archive) and the private-use
    // characters that stand for such bytes, written as real UTF-8.
    const QString shiftJis = textFromNameBytes("\x83\x5c\x83\x74\x83\x67");
    QTest::newRow("shift-jis folders")
        << QStringLiteral("-l /w/") + shiftJis << shiftJis << shiftJis + QStringLiteral(" prog");
    QTest::newRow("private use as utf-8")
        << QString() << textFromNameBytes("\xEE\xBE\x82") << textFromNameBytes("\xEE\xBE\x83");
}

// GLib's own launcher reads the entry and starts the probe: the words it receives, joined by
// single blanks, are the arguments, and it runs in the working directory.
void ShortcutWriterTest::desktopEntryReachesProgram() {
    QFETCH(QString, arguments);
    QFETCH(QString, folderName);
    QFETCH(QString, programFolder);
    // Through the file-system seam, which keeps names that are not text byte for byte.
    FileSystem& fs = fileSystem();
    const QString workDir = m_dir.path() + u'/' + folderName;
    QVERIFY(fs.makeFolder(workDir, true));
    QString program = m_probe;
    if (!programFolder.isEmpty()) {
        QVERIFY(fs.makeFolder(QString(m_dir.path() + u'/' + programFolder), true));
        program = m_dir.path() + u'/' + programFolder + QStringLiteral("/probe");
        QByteArray probe;
        QVERIFY(fs.readFile(m_probe, &probe) && fs.writeFile(program, probe));
        QCOMPARE(::chmod(FsPath(program).c_str(), 0755), 0);
    }
    const QString link = m_dir.path() + QStringLiteral("/entry.desktop");
    writeShortcut(link, program, arguments, workDir, ShortcutFormat::DesktopEntry);

    const ToolResult validation = runTool(QStringLiteral("desktop-file-validate"), {link});
    QVERIFY2(validation.exitCode == 0 && validation.output.isEmpty(),
             qPrintable(validation.output + QString::fromUtf8(readAll(link))));

    const QString out = parentFolder(program) + QStringLiteral("/out");
    fs.remove(out);
    const ToolResult launch = runTool(QStringLiteral("gio"), {QStringLiteral("launch"), link});
    QVERIFY2(launch.exitCode == 0, qPrintable(launch.output));
    QTRY_VERIFY_WITH_TIMEOUT(fs.status(out).exists(), 10000);
    QByteArray bytes;
    QVERIFY(fs.readFile(out, &bytes));
    QStringList received = textFromNameBytes(bytes).split(QChar(0));
    QCOMPARE(received.takeLast(), QString());  // after the last NUL
    QCOMPARE(received.takeFirst(), workDir);
    QCOMPARE(received.join(u' '), arguments);
}

void ShortcutWriterTest::desktopEntryNameAndTryExec() {
    const QString link = m_dir.path() + QStringLiteral("/ 名前 \\ x.desktop");
    writeShortcut(link, m_probe, QString(), m_dir.path(), ShortcutFormat::DesktopEntry);
    const ToolResult validation = runTool(QStringLiteral("desktop-file-validate"), {link});
    QVERIFY2(validation.exitCode == 0, qPrintable(validation.output));
    const QStringList lines = QString::fromUtf8(readAll(link)).split(u'\n');
    QVERIFY(lines.contains(QStringLiteral("Type=Application")));
    QVERIFY(lines.contains(QStringLiteral("Name=\\s名前 \\\\ x")));
    QVERIFY(lines.contains(QStringLiteral("TryExec=") + m_probe));
    // Nothing else than the five keys.
    QCOMPARE(lines.filter(QStringLiteral("=")).size(), 5);
}

void ShortcutWriterTest::windowsProgramRunsThroughWine() {
    const QString link = m_dir.path() + QStringLiteral("/wine.desktop");
    writeShortcut(link, QStringLiteral("/soft/My Tool/TOOL.EXE"), QString(),
                  QStringLiteral("/soft/My Tool"), ShortcutFormat::DesktopEntry);
    const QStringList lines = QString::fromUtf8(readAll(link)).split(u'\n');
    QVERIFY(lines.contains(QStringLiteral("Exec=wine \"/soft/My Tool/TOOL.EXE\"")));
    QVERIFY(lines.contains(QStringLiteral("TryExec=wine")));
    QVERIFY(lines.contains(QStringLiteral("Path=/soft/My Tool")));
}

void ShortcutWriterTest::shellLinkReadByLnkinfo_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("workDir");
    QTest::addColumn<QString>("expectedTarget");
    QTest::addColumn<QString>("expectedWorkDir");

    QTest::newRow("windows paths")
        << QStringLiteral("C:/Soft/Editor/edit.exe") << QString()
        << QStringLiteral("C:/Soft/Editor") << QStringLiteral("C:\\Soft\\Editor\\edit.exe")
        << QStringLiteral("C:\\Soft\\Editor");
    QTest::newRow("list shortcut")
        << QStringLiteral("C:/Quillmorn/qmorn.exe") << QStringLiteral("-l D:\\My Soft\\Tools")
        << QStringLiteral("C:/") << QStringLiteral("C:\\Quillmorn\\qmorn.exe")
        << QStringLiteral("C:\\");
    QTest::newRow("japanese") << QStringLiteral("D:/ソフト/表計算/calc.exe")
                              << QStringLiteral("-i D:\\ソフト")
                              << QStringLiteral("D:/ソフト/表計算")
                              << QStringLiteral("D:\\ソフト\\表計算\\calc.exe")
                              << QStringLiteral("D:\\ソフト\\表計算");
}

void ShortcutWriterTest::shellLinkReadByLnkinfo() {
    QFETCH(QString, target);
    QFETCH(QString, arguments);
    QFETCH(QString, workDir);
    QFETCH(QString, expectedTarget);
    QFETCH(QString, expectedWorkDir);
    const QString link = m_dir.path() + QStringLiteral("/リンク.lnk");
    writeShortcut(link, target, arguments, workDir, ShortcutFormat::ShellLink);

    const ToolResult info = runTool(QStringLiteral("lnkinfo"), {link});
    QVERIFY2(info.exitCode == 0, qPrintable(info.output));
    QVERIFY2(!info.output.contains(QStringLiteral("Error"), Qt::CaseInsensitive),
             qPrintable(info.output));
    QCOMPARE(lnkField(info.output, QStringLiteral("Local path")), expectedTarget);
    QCOMPARE(lnkField(info.output, QStringLiteral("Working directory")), expectedWorkDir);
    QCOMPARE(lnkField(info.output, QStringLiteral("Command line arguments")),
             arguments.isEmpty() ? QStringLiteral("<missing>") : arguments);
    // No icon, description or relative path is set.
    QCOMPARE(lnkField(info.output, QStringLiteral("Icon location")), QStringLiteral("<missing>"));
    QCOMPARE(lnkField(info.output, QStringLiteral("Description")), QStringLiteral("<missing>"));
    QCOMPARE(lnkField(info.output, QStringLiteral("Relative path")), QStringLiteral("<missing>"));
}

void ShortcutWriterTest::shellLinkWithoutArguments() {
    const QString link = m_dir.path() + QStringLiteral("/noargs.lnk");
    writeShortcut(link, QStringLiteral("C:/a.exe"), QString(), QStringLiteral("C:"),
                  ShortcutFormat::ShellLink);
    const QByteArray bytes = readAll(link);
    QVERIFY(bytes.size() > 0x4C);
    const quint32 flags = static_cast<quint8>(bytes[20]) | static_cast<quint8>(bytes[21]) << 8;
    QCOMPARE(flags & 0x20u, 0u);     // no arguments
    QCOMPARE(flags & 0x10u, 0x10u);  // a working directory
    QCOMPARE(flags & 0x01u, 0u);     // no item id list
}

void ShortcutWriterTest::overwritesExistingFile_data() {
    QTest::addColumn<ShortcutFormat>("format");
    QTest::newRow("desktop entry") << ShortcutFormat::DesktopEntry;
    QTest::newRow("shell link") << ShortcutFormat::ShellLink;
}

void ShortcutWriterTest::overwritesExistingFile() {
    QFETCH(ShortcutFormat, format);
    const QString link = m_dir.path() + QStringLiteral("/again") + shortcutExtension(format);
    {
        QFile old(link);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(5000, 'x'));
    }
    writeShortcut(link, QStringLiteral("/first/program"), QStringLiteral("-a"),
                  QStringLiteral("/first"), format);
    writeShortcut(link, QStringLiteral("/second/program"), QString(), QStringLiteral("/second"),
                  format);
    const QByteArray bytes = readAll(link);
    QVERIFY(bytes.size() < 5000);
    QVERIFY(!bytes.contains("x\n"));
    const QByteArray first = format == ShortcutFormat::ShellLink
                                 ? QByteArray::fromRawData("/\0f\0i\0r\0s\0t", 11)
                                 : QByteArray("first");
    QVERIFY(!bytes.contains(first));
    QVERIFY(bytes.contains(format == ShortcutFormat::ShellLink ? QByteArray("\\second\\program")
                                                               : QByteArray("/second/program")));
}

void ShortcutWriterTest::missingFolderFails_data() {
    overwritesExistingFile_data();
}

void ShortcutWriterTest::missingFolderFails() {
    QFETCH(ShortcutFormat, format);
    const QString link =
        m_dir.path() + QStringLiteral("/no such folder/x") + shortcutExtension(format);
    QVERIFY_THROWS_EXCEPTION(ShortcutError,
                             writeShortcut(link, m_probe, QString(), m_dir.path(), format));
    QVERIFY(!QFileInfo::exists(m_dir.path() + QStringLiteral("/no such folder")));
    // A link path that names a folder cannot be written either.
    QVERIFY_THROWS_EXCEPTION(ShortcutError,
                             writeShortcut(m_dir.path(), m_probe, QString(), m_dir.path(), format));
}

void ShortcutWriterTest::controlCharacterFails() {
    const QString link = m_dir.path() + QStringLiteral("/control.desktop");
    QVERIFY_THROWS_EXCEPTION(ShortcutError,
                             writeShortcut(link, m_probe, QStringLiteral("a\x01"), m_dir.path(),
                                           ShortcutFormat::DesktopEntry));
    QVERIFY(!QFileInfo::exists(link));
}

void ShortcutWriterTest::splitArgumentsJoinsBack_data() {
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<int>("words");
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("one") << QStringLiteral("-l") << 1;
    QTest::newRow("trailing blank") << QStringLiteral("-l ") << 2;
    QTest::newRow("blanks in path") << QStringLiteral("-l /a b  c") << 5;
}

void ShortcutWriterTest::splitArgumentsJoinsBack() {
    QFETCH(QString, arguments);
    QFETCH(int, words);
    const QStringList split = splitArguments(arguments);
    QCOMPARE(split.size(), words);
    QCOMPARE(split.join(u' '), arguments);
}

QTEST_GUILESS_MAIN(ShortcutWriterTest)
#include "tst_shortcutwriter.moc"
