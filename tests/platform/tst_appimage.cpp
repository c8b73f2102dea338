#include <QDir>
#include <QFile>
#include <QTest>
#include <QtEndian>

#include "platform/appimage.h"
#include "platform/desktopfile.h"
#include "platform/programtext.h"
#include "support/testappimage.h"
#include "support/testenvironment.h"
#include "support/testpe.h"

using namespace qm;
using namespace qm::test;

namespace {

const QByteArray kSvg =
    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"100\" height=\"100\">"
    "<rect width=\"100\" height=\"100\" fill=\"#3080c0\"/></svg>";

AppImageParts partsOf(const QString& kind) {
    AppImageParts parts;
    parts.files["tool.desktop"] = appDesktopEntry();
    if (kind == "png") {
        parts.files[".DirIcon"] = pngImage(48);
    } else if (kind == "svg link") {
        parts.files["tool.svg"] = kSvg;
        parts.links[".DirIcon"] = "tool.svg";
    } else if (kind == "link chain") {
        parts.files["usr/share/icons/hicolor/64x64/apps/tool.png"] = pngImage(64);
        parts.links["tool.png"] = "usr/share/icons/hicolor/64x64/apps/tool.png";
        parts.links[".DirIcon"] = "tool.png";
    } else if (kind == "loop") {
        parts.links[".DirIcon"] = "a.png";
        parts.links["a.png"] = ".DirIcon";
    } else if (kind == "climbs out") {
        parts.links[".DirIcon"] = "usr/../../etc/hostname";
    } else if (kind == "absolute") {
        parts.links[".DirIcon"] = "/usr/share/icons/hicolor/48x48/apps/x.png";
    } else if (kind == "huge") {
        parts.files[".DirIcon"] = pngImage(48) + QByteArray(kMaxAppImageIcon, '\0');
    }
    return parts;
}

// Damages a built AppImage the way a broken download or a hostile file would.
QByteArray damaged(QByteArray bytes, const QString& damage, int type) {
    const qsizetype image = QFile(QStringLiteral("/bin/true")).size();
    if (damage == "cut in half") {
        // Half of what the image uses (its file is padded beyond that).
        const qsizetype used = type == 2
                                   ? qFromLittleEndian<quint32>(bytes.constData() + image + 40)
                                   : bytes.size() - image;
        bytes.truncate(image + used / 2);
    } else if (damage == "cut after runtime") {
        bytes.truncate(image + 100);
    } else if (damage == "huge table offsets") {
        // The super block's inode, directory and fragment table positions far beyond the file.
        for (int at : {64, 72, 80, 88}) {
            putU32(bytes, image + at, 0xFFFFFF00u);
            putU32(bytes, image + at + 4, 0x7FFFFFFFu);
        }
    } else if (damage == "noise") {
        for (qsizetype i = image + 96; i < bytes.size(); i += 7) {
            bytes[i] = char(bytes[i] ^ 0x5A);
        }
    }
    return bytes;
}

}  // namespace

class TestAppImage : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsIconAndEntry_data();
    void readsIconAndEntry();
    void offeredText_data();
    void offeredText();
};

void TestAppImage::readsIconAndEntry_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("damage");
    QTest::addColumn<int>("iconSide");
    QTest::addColumn<QString>("nameJa");
    const auto row = [](const char* tag, const char* kind, int type, const char* damage,
                        int iconSide, const char* nameJa) {
        QTest::newRow(tag) << QString(kind) << type << QString(damage) << iconSide
                           << QString(nameJa);
    };
    row("PNG", "png", 2, "", 48, "ツール");
    row("link to SVG", "svg link", 2, "", 100, "ツール");
    row("links into usr", "link chain", 2, "", 64, "ツール");
    row("type 1", "png", 1, "", 48, "ツール");
    row("type 1 link", "link chain", 1, "", 64, "ツール");
    row("looping links", "loop", 2, "", 0, "ツール");
    row("link climbs out", "climbs out", 2, "", 0, "ツール");
    row("absolute link", "absolute", 2, "", 0, "ツール");
    row("icon too large", "huge", 2, "", 0, "ツール");
    row("cut in half", "png", 2, "cut in half", 0, "");
    row("cut after runtime", "png", 2, "cut after runtime", 0, "");
    row("huge table offsets", "png", 2, "huge table offsets", 0, "");
    row("noise", "png", 2, "noise", 0, "");
    row("type 1 cut", "png", 1, "cut after runtime", 0, "");
}

void TestAppImage::readsIconAndEntry() {
    QFETCH(QString, kind);
    QFETCH(int, type);
    QFETCH(QString, damage);
    QFETCH(int, iconSide);
    QFETCH(QString, nameJa);
    TestEnvironment env;
    const QByteArray built = buildAppImage(env.root(), partsOf(kind), type);
    if (built.isEmpty()) {
        QSKIP("mksquashfs or bsdtar is missing");
    }
    const QString path = env.writeFile("Tool.AppImage", damaged(built, damage, type));
    const AppImageContents contents = readAppImage(path);
    QCOMPARE(decodeIcon(contents.icon, 0).width(), iconSide);
    const ProgramDescription described =
        describedProgram(desktopEntryValues(contents.desktopEntry), "ja");
    QCOMPARE(described.name, nameJa);
    QCOMPARE(described.startupWmClass, QString(nameJa.isEmpty() ? "" : "ToolWindow"));
}

void TestAppImage::offeredText_data() {
    QTest::addColumn<QByteArray>("resource");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description");
    const QByteArray both = versionResource(
        {{"040904B0", {{"FileDescription", "Shrinks pictures"}, {"ProductName", "Shrinker"}}},
         {"041104B0", {{"FileDescription", "画像を縮める道具"}, {"ProductName", "縮小くん"}}}});
    const auto row = [](const char* tag, const QByteArray& resource, const char* language,
                        const char* name, const char* description) {
        QTest::newRow(tag) << resource << QString(language) << QString(name)
                           << QString(description);
    };
    row("Japanese block", both, "ja", "縮小くん", "画像を縮める道具");
    row("English block", both, "en", "Shrinker", "Shrinks pictures");
    row("only neutral", versionResource({{"000004B0", {{"FileDescription", "Tool"}}}}), "ja",
        "Tool", "");
    row("cut resource", both.left(60), "ja", "", "");
}

void TestAppImage::offeredText() {
    QFETCH(QByteArray, resource);
    QFETCH(QString, language);
    QFETCH(QString, name);
    QFETCH(QString, description);
    TestEnvironment env;
    const OfferedProgramText offer =
        offeredProgramText(env.writeFile("tool.exe", versionExecutable(resource)), language);
    QCOMPARE(offer.name, name);
    QCOMPARE(offer.description, description);
}

QTEST_MAIN(TestAppImage)
#include "tst_appimage.moc"
