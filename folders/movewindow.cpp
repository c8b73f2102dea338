#include "folders/movewindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "app/busycursor.h"
#include "app/folderbrowse.h"
#include "app/helpers.h"
#include "app/messages.h"
#include "app/programstate.h"
#include "app/translatedtext.h"
#include "app/workingfolder.h"
#include "folders/foldermove.h"
#include "folders/transfertexts.h"
#include "platform/pathbytes.h"
#include "platform/paths.h"
#include "platform/prompt.h"

namespace qm {
namespace {

const TranslatedText kMissingFolder{"qm::MoveWindow",
                                    QT_TRANSLATE_NOOP("qm::MoveWindow", "フォルダが存在しません")};
const TranslatedText kFilesLeftMessage{
    "qm::MoveWindow",
    QT_TRANSLATE_NOOP("qm::MoveWindow",
                      "移動中に作られたか変更されたファイルが移動元に残っているため、次のフォルダは"
                      "削除していません。中身を確認してください。\n")};

}  // namespace

MoveWindow::MoveWindow()
    : Form(WindowKind::Move),
      m_promptLabel(new QLabel(tr("フォルダの移動先を指定してください。"), this)),
      m_sourceLabel(new QLabel(this)),
      m_workingFolderOption(new QRadioButton(tr("リスト登録されているフォルダ"), this)),
      m_workingFolderList(new QListWidget(this)),
      m_otherFolderOption(new QRadioButton(tr("上記以外のフォルダ"), this)),
      m_otherFolderEdit(new QLineEdit(this)),
      m_browseButton(new QPushButton(tr("開く"), this)),
      m_unusedCheck(new QCheckBox(QStringLiteral("Check1"), this)),
      m_moveButton(new QPushButton(tr("移 動"), this)) {
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(tr("フォルダの移動"));
    m_promptLabel->setObjectName(QStringLiteral("Label1"));
    m_sourceLabel->setObjectName(QStringLiteral("Label2"));
    m_workingFolderOption->setObjectName(QStringLiteral("Option1"));
    m_workingFolderList->setObjectName(QStringLiteral("List1"));
    m_otherFolderOption->setObjectName(QStringLiteral("Option2"));
    m_otherFolderEdit->setObjectName(QStringLiteral("Text1"));
    m_browseButton->setObjectName(QStringLiteral("Command2"));
    m_unusedCheck->setObjectName(QStringLiteral("Check1"));
    m_moveButton->setObjectName(QStringLiteral("Command1"));

    setClientSizeTwips(6480, 4620);
    placeTwips(m_promptLabel, 240, 180, 6000, 300);
    placeTwips(m_sourceLabel, 480, 540, 5760, 300);
    placeTwips(m_workingFolderOption, 240, 960, 6000, 300);
    placeTwips(m_workingFolderList, 480, 1290, 5760, 1440);
    placeTwips(m_otherFolderOption, 240, 2880, 6000, 300);
    placeTwips(m_otherFolderEdit, 480, 3210, 4560, 330);
    placeTwips(m_browseButton, 5160, 3195, 1080, 360);
    placeTwips(m_unusedCheck, 240, 3840, 1200, 300);
    placeTwips(m_moveButton, 4680, 3840, 1560, 480);

    // The lists and boxes are named after the option that chooses them.
    m_workingFolderList->setAccessibleName(m_workingFolderOption->text());
    m_otherFolderEdit->setAccessibleName(m_otherFolderOption->text());
    m_sourceLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_workingFolderOption->setChecked(true);
    // The check box has no role: never ticked, never offered.
    m_unusedCheck->setChecked(false);
    m_unusedCheck->setEnabled(false);
    m_unusedCheck->hide();
    m_moveButton->setDefault(true);

    connect(m_workingFolderOption, &QRadioButton::clicked, this,
            &MoveWindow::workingFolderOptionClicked);
    connect(m_otherFolderOption, &QRadioButton::clicked, this,
            &MoveWindow::otherFolderOptionClicked);
    connect(m_browseButton, &QPushButton::clicked, this, &MoveWindow::browseClicked);
    connect(m_moveButton, &QPushButton::clicked, this, &MoveWindow::moveClicked);
}

void MoveWindow::load() {
    m_workingFolderList->clear();
    m_workingFolderList->addItems(preparedWorkingFolders());
    const QString source = state().moveSource;
    // A long path loses its middle, so that the folder's own name stays in sight.
    m_sourceLabel->setText(
        m_sourceLabel->fontMetrics().elidedText(source, Qt::ElideMiddle, m_sourceLabel->width()));
    m_sourceLabel->setToolTip(source);
}

void MoveWindow::unload() {
    if (state().moveTarget.isEmpty()) {
        // Nothing was moved: the catalogue keeps the entry.
        state().moveSource.clear();
    }
}

void MoveWindow::closeEvent(QCloseEvent* event) {
    if (m_transferring) {
        event->ignore();
        return;
    }
    Form::closeEvent(event);
}

void MoveWindow::workingFolderOptionClicked() {
    m_otherFolderEdit->setEnabled(false);
    m_browseButton->setEnabled(false);
    m_workingFolderList->setEnabled(true);
}

void MoveWindow::otherFolderOptionClicked() {
    m_otherFolderEdit->setEnabled(true);
    m_browseButton->setEnabled(true);
    m_workingFolderList->setEnabled(false);
}

void MoveWindow::browseClicked() {
    m_browsedFolder.clear();
    m_browsedFolder = browseForFolder(this, tr("対象となるフォルダを指定してください。"));
    m_otherFolderEdit->setText(m_browsedFolder);
    // A folder chosen here is the destination, whichever option was on before.
    if (!m_browsedFolder.isEmpty()) {
        m_otherFolderOption->setChecked(true);
        otherFolderOptionClicked();
    }
}

QString MoveWindow::chosenFolder() const {
    if (m_workingFolderOption->isChecked()) {
        const QListWidgetItem* row = m_workingFolderList->currentItem();
        return row && row->isSelected() ? row->text() : QString();
    }
    const QString typed = m_otherFolderEdit->text();
    // A relative path would depend on where the program happened to start.
    return isAbsolutePath(typed) ? cleanPath(typed) : QString();
}

void MoveWindow::moveClicked() {
    if (m_transferring) {
        return;
    }
    if (messageBox(tr("フォルダを移動します。よろしいですか？"), MsgYesNo) != AnswerYes) {
        return;
    }
    ProgramState& s = state();
    if (!folderExists(s.moveSource)) {
        messageBox(kMissingFolder);
        close();
        return;
    }
    const QString source = s.moveSource;
    const QString folder = chosenFolder();
    if (!folderExists(folder)) {
        messageBox(kMissingFolder);
        close();
        return;
    }
    m_previousTarget = s.moveTarget;
    m_previousPending = s.newFolderPending;
    const QString destination = joinPath(folder, lastPathPart(source));
    m_moveDestination = folder;
    s.moveTarget = m_workingFolderOption->isChecked() ? folder : QStringLiteral("E");
    s.newFolderPending = true;

    switch (checkMove(source, m_moveDestination, s.workFolder)) {
        case MoveRefusal::SameFolder:
            abandonMove();
            messageBox(tr("移動先フォルダが移動元と同じです。移動できません。"));
            return;
        case MoveRefusal::NameClash:
            abandonMove();
            messageBox(tr("移動先に同じ名前のフォルダが既に存在します。"));
            return;
        case MoveRefusal::None:
            break;
    }

    TransferOutcome outcome;
    if (transfer(source, destination, &outcome) != 0) {
        abandonMove();
        messageBox(transferFailureText(outcome, source, destination));
        return;
    }
    // Only an emptied source goes: what appeared or changed in it during the move stays there.
    if (!removeMovedFolder(source)) {
        messageBox(kFilesLeftMessage.text() + readableName(source));
    }
    close();
}

int MoveWindow::transfer(const QString& source, const QString& destination,
                         TransferOutcome* outcome) {
    const BusyCursor busy;
    EventPump pump;
    m_transferring = true;
    setEnabled(false);
    const int result = transferFolderContents(
        static_cast<quintptr>(winId()), source, destination, [&pump] { pump.pump(); }, outcome);
    setEnabled(true);
    m_transferring = false;
    return result;
}

void MoveWindow::abandonMove() {
    state().moveTarget = m_previousTarget;
    state().newFolderPending = m_previousPending;
}

}  // namespace qm
