#include "installer/installerwindow.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>
#include <utility>

#include "app/endprogram.h"
#include "app/helpers.h"
#include "app/installablefile.h"
#include "app/messages.h"
#include "app/programstate.h"
#include "app/translatedtext.h"
#include "app/windowregistry.h"
#include "installer/archivecommand.h"
#include "installer/archivekind.h"
#include "installer/dropbox.h"
#include "installer/filedropfilter.h"
#include "installer/installsteps.h"
#include "installer/lhazip.h"
#include "installer/pathlabel.h"
#include "platform/filesystem.h"
#include "platform/icontheme.h"
#include "platform/launcher.h"
#include "platform/paths.h"
#include "platform/portablemode.h"
#include "platform/prompt.h"
#include "shortcuts/shortcutwriter.h"

namespace qm {
namespace {

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

PathLabel* makePathLabel(QWidget* parent, const char* name) {
    auto* label = new PathLabel(parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

// A closed carton with a taped lid: what the drop box shows.
QPixmap archivePicture(int size) {
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);
    painter.setPen(QPen(QColor(0x8a, 0x5a, 0x12), 1.2));
    painter.setBrush(QColor(0xe8, 0xb0, 0x4a));
    painter.drawRoundedRect(QRectF(3, 11, 26, 18), 2, 2);
    painter.setBrush(QColor(0xf3, 0xc9, 0x6b));
    painter.drawRect(QRectF(2, 6, 28, 6));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xc8, 0xd8, 0xe8));
    painter.drawRect(QRectF(13.5, 6.6, 5, 14));
    return picture;
}

const TranslatedText kClashMessage{
    "qm::InstallerWindow",
    QT_TRANSLATE_NOOP("qm::InstallerWindow",
                      "重複した名前が存在します。既にインストールされている可能性があります。")};
const TranslatedText kUnusableNameMessage{
    "qm::InstallerWindow",
    QT_TRANSLATE_NOOP("qm::InstallerWindow",
                      "このファイル名からはフォルダ名を作れません（制御文字が含まれています）。"
                      "ファイル名を変えてからもう一度指定してください。")};
const TranslatedText kNotInstallableMessage{
    "qm::InstallerWindow",
    QT_TRANSLATE_NOOP(
        "qm::InstallerWindow",
        "このファイルはインストールできません。LZH、ZIP、7z、RAR、CAB、tar のアーカイブか"
        "、プログラムファイル（.exe、.AppImage）を指定してください。")};
const TranslatedText kExtensionOnlyMessage{
    "qm::InstallerWindow",
    QT_TRANSLATE_NOOP(
        "qm::InstallerWindow",
        "このファイル名には拡張子の前に名前がないので、フォルダ名を決められません。ファイル名を変"
        "えてからもう一度指定してください。")};
const TranslatedText kUnusablePathMessage{
    "qm::InstallerWindow",
    QT_TRANSLATE_NOOP(
        "qm::InstallerWindow",
        "このパスは解凍に使えません（「\"」の後に空白が続いています）。ファイルかフォルダの名前を変"
        "えてからもう一度指定してください。")};

// True when folder already holds an entry called name, or one that differs only in letter case:
// a second folder of such a name would confuse the user and any file system that ignores case.
bool nameTaken(const QString& folder, const QString& name) {
    const QString path = folder + kSeparator + name;
    if (name.isEmpty() || fileSystem().status(path).exists()) {
        return true;
    }
    return fileSystem().find(folder, name).outcome != FoundName::Outcome::None;
}

}  // namespace

InstallerWindow::InstallerWindow(QWidget* parent) : Form(WindowKind::Installer, parent) {
    setWindowTitle(tr("Quillmorn - インストーラー"));
    createControls();
}

void InstallerWindow::createControls() {
    setClientSizeTwips(9840, 2280);

    auto* picture = new DropBox(this);
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setToolTip(tr("クリックするとファイルを選べます。"));
    placeTwips(picture, 120, 120, 1575, 1575);
    connect(picture, &DropBox::activated, this, &InstallerWindow::chooseFileClicked);
    picture->setAccessibleName(tr("インストールするファイル"));
    m_dropPicture = picture;

    m_dropImage = makeLabel(picture, "Image1", QString());
    m_dropImage->setPixmap(archivePicture(twips(720)));
    m_dropImage->setAlignment(Qt::AlignCenter);
    m_dropImage->setGeometry(picture->contentsRect());

    auto* drops = new FileDropFilter(this);
    drops->watch(picture);
    drops->watch(m_dropImage);
    connect(drops, &FileDropFilter::filesDropped, this, &InstallerWindow::filesDropped);

    placeTwips(makeLabel(this, "Label3", tr("←こちらに")), 1800, 180, 2900, 300);
    placeTwips(makeLabel(this, "Label2", tr(".LZH .ZIPファイルを")), 1800, 540, 2900, 300);
    QLabel* hint =
        makeLabel(this, "Label4", tr("ドラッグアンドドロップしてインストールを押してください。"));
    hint->setWordWrap(true);
    hint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeTwips(hint, 1800, 900, 2900, 780);

    m_archiveLabel = makePathLabel(this, "Label1");
    placeTwips(m_archiveLabel, 4800, 120, 4920, 360);
    placeTwips(makeLabel(this, "Label6", QStringLiteral("⇒")), 4800, 600, 300, 360);
    m_destinationLabel = makePathLabel(this, "Label5");
    placeTwips(m_destinationLabel, 5160, 600, 4560, 360);

    m_shortcutButton = makeButton(this, "Command2", tr("インストーラーをプログラムに登録"));
    m_shortcutButton->setToolTip(
#ifdef Q_OS_WIN
        tr("スタートメニュー　－　プログラムにインストーラーのショートカットを登録する。"));
#else
        tr("アプリケーションメニューにインストーラーのショートカットを登録する。"));
#endif
    placeTwips(m_shortcutButton, 4800, 1140, 3000, 420);
    m_installButton = makeButton(this, "Command1", tr("インストール"));
    placeTwips(m_installButton, 7920, 1140, 1800, 420);
    m_menuButton = makeButton(this, "Command3", tr("メニューに戻る"));
    placeTwips(m_menuButton, 7920, 1680, 1800, 420);

    // In Command1's place while an archive is being extracted.
    m_cancelButton = makeButton(this, "cancelButton", tr("中止"));
    placeTwips(m_cancelButton, 7920, 1140, 1800, 420);
    m_cancelButton->hide();
    connect(m_cancelButton, &QPushButton::clicked, this, [this] { m_cancelRequested = true; });

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("progressBar"));
    m_progress->setTextVisible(true);
    // Under Command2, beside Command3: shown only while an archive is being extracted.
    placeTwips(m_progress, 4800, 1770, 3000, 240);
    m_progress->setAccessibleName(tr("展開の進み具合"));
    m_progress->hide();

    connect(m_installButton, &QPushButton::clicked, this, &InstallerWindow::installClicked);
    connect(m_shortcutButton, &QPushButton::clicked, this,
            &InstallerWindow::registerShortcutClicked);
    connect(m_menuButton, &QPushButton::clicked, this, &InstallerWindow::backToMenuClicked);
}

void InstallerWindow::load() {
    m_destinationLabel->setPath(state().workFolder);
    // A file the program was asked to open ("Open with"): taken as if it had been dropped.
    const QString opened = std::exchange(state().pendingInstallFile, QString());
    if (!opened.isEmpty()) {
        fileChosen(opened);
    }
}

void InstallerWindow::activate() {
    if (!m_busy && !state().pendingInstallFile.isEmpty()) {
        fileChosen(std::exchange(state().pendingInstallFile, QString()));
    }
}

void InstallerWindow::unload() {
    auto& registry = WindowRegistry::instance();
    if (!registry.isVisible(WindowKind::MainMenu) && !registry.isVisible(WindowKind::Catalogue)) {
        endProgram();
    }
}

void InstallerWindow::closeEvent(QCloseEvent* event) {
    // Closed while an archive is being extracted: the extraction stops, leaves nothing behind,
    // and the window closes then.
    if (m_busy) {
        m_cancelRequested = true;
        m_closeWhenDone = true;
        event->ignore();
        return;
    }
    Form::closeEvent(event);
}

void InstallerWindow::filesDropped(const QStringList& paths) {
    if (m_busy || paths.isEmpty()) {
        return;
    }
    fileChosen(paths.first());
}

void InstallerWindow::chooseFileClicked() {
    if (m_busy) {
        return;
    }
    const QString file = Prompt::instance().chooseFile(this, tr("インストールするファイルを選択"),
                                                       installableFileFilter());
    if (!file.isEmpty()) {
        fileChosen(file);
    }
}

void InstallerWindow::fileChosen(const QString& file) {
    InstallableFile installable = installableFile(file);
    if (installable.kind == InstallKind::None) {
        // No extension of an archive: what the file holds decides, and the folder takes the
        // whole name.
        installable = {archiveKindBySignature(file), lastPathPart(file)};
    }
    if (installable.kind == InstallKind::None) {
        messageBox(kNotInstallableMessage);
        return;
    }
    // The one name used for the clash test, the extraction and the catalogue: trimmed the way
    // the destination's path is.
    const std::optional<QString> name = programFolderName(installable.baseName);
    if (!name) {
        messageBox(kUnusableNameMessage);
        return;
    }
    if (name->isEmpty()) {
        messageBox(kExtensionOnlyMessage);
        return;
    }
    const QString workFolder = state().workFolder;
    const QString destination = workFolder + kSeparator + *name;
    if (nameTaken(workFolder, *name)) {
        messageBox(kClashMessage);
        return;
    }
    const bool commandLine =
        installable.kind == InstallKind::Lzh || installable.kind == InstallKind::Zip;
    if (commandLine &&
        (!fitsCommandLine(file) || !fitsCommandLine(withTrailingBackslash(destination)))) {
        messageBox(kUnusablePathMessage);
        return;
    }
    m_archiveLabel->setPath(file);
    m_destinationLabel->setPath(destination);
    m_pendingKind = installable.kind;
}

bool InstallerWindow::extractPending(InstallKind kind) {
    const QString archive = m_archiveLabel->text();
    const QString destination = m_destinationLabel->text();
    qint32 result = 0;
    m_busy = true;
    m_cancelRequested = false;
    for (QPushButton* button : {m_installButton, m_shortcutButton, m_menuButton}) {
        button->setEnabled(false);
    }
    m_installButton->hide();
    m_cancelButton->show();
    switch (kind) {
        case InstallKind::Lzh:
            result =
                lzhMelt(this, archive, destination, QStringLiteral("e"), QStringLiteral("-x1m0"));
            break;
        case InstallKind::Zip:
            result = zipMelt(this, archive, destination, QStringLiteral("-x -s -V -i -C"));
            break;
        case InstallKind::Archive:
            result = archiveMelt(this, archive, destination);
            break;
        case InstallKind::Program:
        case InstallKind::None:
            // A single program file is copied, not extracted: its own message says a failure.
            result = programPlace(archive, destination);
            break;
    }
    for (QPushButton* button : {m_installButton, m_shortcutButton, m_menuButton}) {
        button->setEnabled(true);
    }
    m_cancelButton->hide();
    m_installButton->show();
    m_busy = false;
    // Each step has said why it failed, in one message.
    return result == 0;
}

bool InstallerWindow::offerSetup() {
    const QString setup = findFileNoCase(m_destinationLabel->text() + QStringLiteral("/setup.exe"));
    if (setup.isEmpty() || !fileExists(setup)) {
        return false;
    }
    const int answer =
        messageBox(tr("このアーカイブには Setup.exe（特有のインストーラー）が含まれています。") +
                       QChar(10) + tr("セットアップを起動しますか？"),
                   MsgYesNo);
    if (answer != AnswerYes) {
        return false;
    }
    QString error;
    if (!Launcher::instance().start(setup, {}, m_destinationLabel->text(), &error)) {
        // The archive is in place all the same: go on and register it.
        messageBox(tr("セットアップを起動できませんでした。") + QChar(10) + error);
        return false;
    }
    endProgram();
    return true;
}

void InstallerWindow::installClicked() {
    if (m_busy) {
        return;
    }
    const InstallKind kind = m_pendingKind;
    if (kind == InstallKind::None) {
        messageBox(tr("適切なファイルを指定してください。"), MsgOkOnly);
        return;
    }
    if (!extractPending(kind)) {
        if (m_closeWhenDone) {
            close();
        }
        return;
    }
    if (kind != InstallKind::Program && offerSetup()) {
        return;
    }
    state().newFolderName = lastPathPart(m_destinationLabel->text());
    state().newFolderPending = true;
    WindowRegistry::instance().show(WindowKind::Catalogue);
    close();
}

void InstallerWindow::registerShortcutClicked() {
    const QString workFolder = state().workFolder;
    try {
        const QString programs = specialFolderPath(kCsidlPrograms);
        if (programs.isEmpty() || !fileSystem().makeFolder(programs, true)) {
            throw ShortcutError("no folder for menu shortcuts");
        }
        const QString executable = programExecutable();
        writeShortcut(
            joinPath(programs, lastPathPart(workFolder) + QStringLiteral(" にインストール") +
                                   shortcutExtension()),
            executable, PortableMode::shortcutArguments(QStringLiteral("-i ") + workFolder),
            parentFolder(FsPath(executable).parent().text()), defaultShortcutFormat(),
            {ownIconName(), {}});
    } catch (const ShortcutError&) {
        messageBox(kShortcutFailedMessage);
        return;
    }
    messageBox(tr("作成しました。"));
}

void InstallerWindow::backToMenuClicked() {
    WindowRegistry::instance().show(WindowKind::MainMenu);
    close();
}

void InstallerWindow::extractionStarted() {
    m_progress->setRange(0, 0);
    m_progress->setFormat(QString());
    m_progress->show();
}

void InstallerWindow::extractionProgress(const ExtractionProgress& progress) {
    m_progress->setFormat(
        tr("%1 個、%2").arg(progress.entries).arg(locale().formattedDataSize(progress.bytes)));
    if (progress.totalBytes <= 0) {
        // Size unknown (a compressed tar): the counts alone, on an empty bar.
        m_progress->setRange(0, 1);
        m_progress->setValue(0);
        return;
    }
    // Per mille, so that sizes beyond an int fit.
    m_progress->setRange(0, 1000);
    m_progress->setValue(
        static_cast<int>(qMin<qint64>(1000, progress.bytes * 1000 / progress.totalBytes)));
}

void InstallerWindow::extractionFinished() {
    m_progress->hide();
}

}  // namespace qm
