#include "shortcuts/linkwindow.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include "app/busycursor.h"
#include "app/endprogram.h"
#include "app/helpers.h"
#include "app/messages.h"
#include "app/programstate.h"
#include "app/translatedtext.h"
#include "app/windowregistry.h"
#include "app/workingfolder.h"
#include "catalogue/exchangerecord.h"
#include "platform/filesystem.h"
#include "platform/paths.h"
#include "platform/prompt.h"
#include "shortcuts/linktree.h"
#include "shortcuts/menufiles.h"
#include "shortcuts/rebuildreport.h"
#include "shortcuts/recentdestinations.h"
#include "shortcuts/startmenucopy.h"

namespace qm {
namespace {

const TranslatedText kRegistered{"qm::LinkWindow",
                                 QT_TRANSLATE_NOOP("qm::LinkWindow", "正常に登録されました。")};
const TranslatedText kNoDestination{
    "qm::LinkWindow",
    QT_TRANSLATE_NOOP("qm::LinkWindow", "適切なショートカットの置き場所を指定してください")};
const TranslatedText kWineMissing{
    "qm::LinkWindow",
    QT_TRANSLATE_NOOP("qm::LinkWindow",
                      "wine がインストールされていないため、Windows のプログラム（.exe）の項目は"
                      "メニューに表示されません。wine をインストールすると表示されます。")};
const TranslatedText kReplaceQuestion{
    "qm::LinkWindow",
    QT_TRANSLATE_NOOP("qm::LinkWindow", "重複するフォルダが存在しますが、置き換えますか？")};
const TranslatedText kAmbiguousDestination{
    "qm::LinkWindow", QT_TRANSLATE_NOOP("qm::LinkWindow",
                                        "大文字と小文字だけが違うフォルダが複数あります。"
                                        "置き場所の名前を正確に指定してください。")};

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

// Shrinks a one-line label's font a little where the text would be cut at its right edge, never
// below 8 points.
void fitOneLine(QLabel* label) {
    QFont font = label->font();
    while (font.pointSizeF() > 8 &&
           QFontMetrics(font).horizontalAdvance(label->text()) > label->width()) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
    }
    label->setFont(font);
}

// After a move into another working folder: that folder's catalogue opens.
void switchToMoveTarget() {
    ProgramState& s = state();
    const QString target = s.moveTarget;
    s.moveTarget.clear();
    if (!isAbsolutePath(target) || programEnded()) {
        return;
    }
    s.workFolder = target;
    s.listFolder = listFolderOf(target);
    WindowRegistry::instance().show(WindowKind::Catalogue);
}

}  // namespace

LinkWindow::LinkWindow(QWidget* parent) : Form(WindowKind::Links, parent) {
    setWindowTitle(tr("Quillmorn - リンク作成"));
    setClientSizeTwips(5325, 3915);
    buildControls();
}

void LinkWindow::buildControls() {
    m_workFolderLabel = makeLabel(this, "Label2", QStringLiteral("Label2"));
    m_workFolderLabel->setWordWrap(false);
    placeTwips(m_workFolderLabel, 240, 120, 3135, 255);

#ifdef Q_OS_WIN
    m_noticeLabel = makeLabel(this, "Label6",
                              tr("上記の対象フォルダリストが更新されました。設定を更新"
                                 "した場合、スタートメニューのショートカットを作成・更"
                                 "新しましょう。"));
#else
    m_noticeLabel = makeLabel(this, "Label6",
                              tr("上記の対象フォルダリストが更新されました。設定を更新"
                                 "した場合、アプリケーションメニューのショートカットを"
                                 "作成・更新しましょう。"));
#endif
    placeTwips(m_noticeLabel, 240, 360, 4935, 1095);

    m_listFolders = new QListWidget(this);
    m_listFolders->setObjectName(QStringLiteral("List1"));
    m_listFolders->setSelectionMode(QAbstractItemView::MultiSelection);
    connect(m_listFolders, &QListWidget::itemSelectionChanged, this, &LinkWindow::updateCopyButton);
    // Below the third line of Label6, which would otherwise hide under the list.
    placeTwips(m_listFolders, 240, 1200, 2415, 1500);
    m_listFolders->setAccessibleName(tr("登録されている対象フォルダ"));

    m_instructionLabel =
        makeLabel(this, "Label7",
                  tr("左の登録されている対象フォルダ名を選択し、ショートカットの置き場"
                     "所を指定し、作成ボタンをクリックしてください。"));
    placeTwips(m_instructionLabel, 2880, 1200, 2295, 1455);

#ifdef Q_OS_WIN
    m_destinationCaption =
        makeLabel(this, "Label8", tr("ショートカットの置き場所([スタート]-[プログラム]以降）"));
#else
    m_destinationCaption =
        makeLabel(this, "Label8", tr("ショートカットの置き場所（アプリケーションメニューの中）"));
#endif
    // One line across the window, so that it does not run into the example below it.
    m_destinationCaption->setWordWrap(false);
    placeTwips(m_destinationCaption, 240, 2880, 4935, 255);
    fitOneLine(m_destinationCaption);

    m_exampleLabel = makeLabel(this, "Label9", tr("　例：\"オンラインソフト\""));
    placeTwips(m_exampleLabel, 600, 3120, 2415, 255);

    m_destination = new QComboBox(this);
    m_destination->setObjectName(QStringLiteral("Combo1"));
    m_destination->setEditable(true);
    m_destination->setInsertPolicy(QComboBox::NoInsert);
    placeTwips(m_destination, 240, 3360, 2895, 300);
    m_destinationCaption->setBuddy(m_destination);

    // Two lines, as the caption does not fit the button's width in one. It writes the menu, not
    // the desktop.
    m_copyButton = new QPushButton(tr("メニューに\nショートカットを作成"), this);
    m_copyButton->setObjectName(QStringLiteral("Command5"));
    placeTwips(m_copyButton, 3360, 3240, 1815, 495);
    connect(m_copyButton, &QPushButton::clicked, this, &LinkWindow::copyToStartMenu);
    updateCopyButton();

    m_busyPanel = new QFrame(this);
    m_busyPanel->setObjectName(QStringLiteral("Frame1"));
    m_busyPanel->setFrameShape(QFrame::Panel);
    m_busyPanel->setFrameShadow(QFrame::Sunken);
    m_busyPanel->setAutoFillBackground(true);
    placeTwips(m_busyPanel, 1080, 1560, 3135, 975);
    auto* working = makeLabel(m_busyPanel, "Label4", tr("処理中です.........."));
    placeTwips(working, 240, 180, 2655, 255);
    auto* wait = makeLabel(m_busyPanel, "Label5", tr("しばらくお待ちください。"));
    placeTwips(wait, 240, 540, 2655, 255);
    m_busyPanel->hide();

    m_rebuildButton = new QPushButton(tr("リンク作成"), this);
    m_rebuildButton->setObjectName(QStringLiteral("Command1"));
    m_rebuildButton->hide();
    connect(m_rebuildButton, &QPushButton::clicked, this, &LinkWindow::rebuildLinks);
}

void LinkWindow::load() {
    // A long path loses its middle, so that the folder's own name stays in sight.
    const QString workFolder = state().workFolder;
    m_workFolderLabel->setText(m_workFolderLabel->fontMetrics().elidedText(
        workFolder, Qt::ElideMiddle, m_workFolderLabel->width()));
    m_workFolderLabel->setToolTip(workFolder);
    showDestinations(loadRecentDestinations());
    m_listFolders->clear();
    m_listFolders->addItems(subFolderNames(programFolder()));
    m_listFolders->selectAll();
}

void LinkWindow::activate() {
    if (!m_busy) {
        m_rebuildButton->click();
    }
}

void LinkWindow::unload() {
    storeRecentDestinations(rememberedDestinations());
    if (!state().moveTarget.isEmpty()) {
        // A pending switch happens also when the rebuild before it failed: the catalogue window
        // has already closed for it.
        QTimer::singleShot(0, QCoreApplication::instance(), switchToMoveTarget);
        return;
    }
    auto& registry = WindowRegistry::instance();
    if (!registry.isVisible(WindowKind::MainMenu) && !registry.isVisible(WindowKind::Installer)) {
        endProgram();
    }
}

void LinkWindow::closeEvent(QCloseEvent* event) {
    // A command that is running finishes first.
    if (m_busy) {
        event->ignore();
        return;
    }
    Form::closeEvent(event);
}

void LinkWindow::updateCopyButton() {
    // Nothing to copy: the button would only replace the destination with an empty folder.
    const bool chosen = !m_listFolders->selectedItems().isEmpty();
    m_copyButton->setEnabled(chosen);
    m_copyButton->setToolTip(chosen ? QString() : tr("作成する対象フォルダを選んでください。"));
}

void LinkWindow::setBusy(bool busy) {
    m_busy = busy;
    setEnabled(!busy);
    m_busyPanel->setVisible(busy);
    if (busy) {
        m_busyPanel->raise();
    }
}

void LinkWindow::rebuildLinks() {
    if (m_busy) {
        return;
    }
    ProgramState& s = state();
    LinkTreeBuilder builder(s.listFolder, s.workFolder);
    {
        const BusyCursor cursor;
        setBusy(true);
        EventPump::runPending();
        EventPump pump;
        builder.setProgress([&pump] { pump.pump(); });
        bool failed = false;
        try {
            builder.rebuild();
        } catch (const ShortcutError&) {
            failed = true;
        }
        if (!builder.records().isEmpty()) {
            // The exchange record holds the last record read.
            fillExchangeRecord(builder.records().last());
        }
        setBusy(false);
        if (failed) {
            messageBox(kShortcutFailedMessage);
            return;
        }
    }
    const QString skipped = skippedRecordsReport(builder.skipped());
    if (!skipped.isEmpty()) {
        messageBox(skipped, MsgExclamation);
    }
    if (!m_wineNoted && needsMissingWine(builder.written())) {
        m_wineNoted = true;
        messageBox(kWineMissing, MsgExclamation);
    }
    if (!s.moveTarget.isEmpty()) {
        // Unloading switches to the destination's catalogue.
        close();
        EventPump::runPending();
        return;
    }
    if (skipped.isEmpty()) {
        messageBox(kRegistered);
    }
}

void LinkWindow::copyToStartMenu() {
    if (m_busy) {
        return;
    }
    const QString destination = m_destination->currentText();
    if (!isUsableDestination(destination)) {
        messageBox(kNoDestination);
        return;
    }
    if (m_listFolders->selectedItems().isEmpty()) {
        return;
    }
    const QString applications = specialFolderPath(kCsidlPrograms);
    // A folder whose name differs only in case is this destination too (menus would show two
    // folders): it is replaced, and the new one is named as typed. Of several such folders none
    // is picked.
    const FoundName existing = existingDestination(applications, destination);
    if (existing.outcome == FoundName::Outcome::Ambiguous) {
        messageBox(kAmbiguousDestination, MsgExclamation);
        return;
    }
    const QStringList replaced = existing.isOne() ? QStringList{existing.name} : QStringList();
    if (!replaced.isEmpty() && messageBox(kReplaceQuestion, MsgYesNo) != AnswerYes) {
        return;
    }
    {
        const BusyCursor cursor;
        setBusy(true);
        EventPump::runPending();
        // The new tree is built beside the old one, which goes only once the new one is whole.
        const StagedMenuFolder staged(applications);
        const bool copied = staged.isValid() && copySelectedListFolders(staged.path()) &&
                            removeCopiedDataFiles(staged.path());
        EventPump::runPending();
        if (!copied || !staged.replace(destination, replaced)) {
            setBusy(false);
            messageBox(kTransferErrorMessage);
            return;
        }
        rememberDestination(destination);
        // Desktop menus need menu files to show the copied tree as folders; a start menu does not.
        const bool menus = defaultShortcutFormat() != ShortcutFormat::DesktopEntry ||
                           MenuFiles(applications, destination).write();
        setBusy(false);
        if (!menus) {
            messageBox(kTransferErrorMessage);
            return;
        }
    }
    messageBox(kRegistered);
    close();
    if (!WindowRegistry::instance().isVisible(WindowKind::MainMenu)) {
        endProgram();
    }
}

bool LinkWindow::copySelectedListFolders(const QString& destinationPath) {
    EventPump pump;
    const auto progress = [&pump] { pump.pump(); };
    for (int row = 0; row < m_listFolders->count(); ++row) {
        const QListWidgetItem* item = m_listFolders->item(row);
        if (!item->isSelected()) {
            continue;
        }
        if (copyListFolder(item->text(), destinationPath, winId(), progress) != 0) {
            return false;
        }
    }
    return true;
}

void LinkWindow::rememberDestination(const QString& destination) {
    showDestinations(withRecentDestination(rememberedDestinations(), destination));
}

QStringList LinkWindow::rememberedDestinations() const {
    QStringList items;
    for (int i = 0; i < m_destination->count(); ++i) {
        items << m_destination->itemData(i).toString();
    }
    return items;
}

void LinkWindow::showDestinations(const QStringList& remembered) {
    // Remembered lower-cased, shown as the folder that exists is spelt.
    const QString applications = specialFolderPath(kCsidlPrograms);
    m_destination->clear();
    for (const QString& item : remembered) {
        m_destination->addItem(shownDestination(applications, item), item);
    }
    m_destination->setCurrentIndex(0);
    m_destination->setEditText(m_destination->itemText(0));
}

}  // namespace qm
