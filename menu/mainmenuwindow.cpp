#include "menu/mainmenuwindow.h"

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/busycursor.h"
#include "app/endprogram.h"
#include "app/folderbrowse.h"
#include "app/helpers.h"
#include "app/programstate.h"
#include "app/workingfolder.h"
#include "menu/recentfolders.h"
#include "platform/filesystem.h"
#include "platform/paths.h"
#include "platform/prompt.h"

namespace qm {
namespace {

QPushButton* makeButton(const QString& text, const char* name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    // No button is the window's default: Enter in the folder box must not press one.
    button->setAutoDefault(false);
    return button;
}

QLabel* makeLabel(const QString& text, const char* name, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

// The title in large, heavy letters; a bold face of the usual sans serif where the classic one
// is not installed.
QFont titleFont(const QFont& base) {
    QFont font(base);
    font.setFamilies({QStringLiteral("Arial Black"), QStringLiteral("Arial"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Black);
    font.setPointSizeF(base.pointSizeF() > 0 ? base.pointSizeF() * 2.6 : 24);
    return font;
}

}  // namespace

MainMenuWindow::MainMenuWindow(QWidget* parent) : Form(WindowKind::MainMenu, parent) {
    setWindowTitle(QStringLiteral("Quillmorn"));
    buildControls();
    layOutControls();
    connectControls();
    setButtons(Buttons::None);
}

void MainMenuWindow::buildControls() {
    m_titleLabel = makeLabel(QStringLiteral("Quillmorn"), "Label1", this);
    m_titleLabel->setFont(titleFont(font()));
    m_subtitleLabel = makeLabel(tr("小規模ソフトウェアフォルダ簡易管理ソフト"), "Label3", this);
    m_folderCaption = makeLabel(tr("管理する対象のフォルダの場所："), "Label2", this);

    m_folderBox = new QComboBox(this);
    m_folderBox->setObjectName(QStringLiteral("Combo1"));
    m_folderBox->setEditable(true);
    m_folderBox->setInsertPolicy(QComboBox::NoInsert);
    m_folderBox->setDuplicatesEnabled(true);
    m_folderBox->setCompleter(nullptr);
    m_folderBox->setMinimumContentsLength(40);
    m_folderBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    // A folder can be typed and taken with Enter; leaving the box otherwise shows the working
    // folder again.
    m_folderBox->lineEdit()->installEventFilter(this);
    m_folderBox->installEventFilter(this);
    m_folderCaption->setBuddy(m_folderBox);

    m_browseButton = makeButton(tr("参照"), "Command2", this);
    m_prepareButton = makeButton(tr("新規作成"), "Command4", this);
    m_prepareLabel = makeLabel(tr("作業フォルダを新規作成します。"), "Label6", this);
    m_catalogueButton = makeButton(tr("フォルダリスト"), "Command1", this);
    m_catalogueLabel =
        makeLabel(tr("既存のソフトウェアフォルダをリストに登録します。"), "Label4", this);
    m_installerButton = makeButton(tr("インストーラー"), "Command5", this);
    m_installerLabel =
        makeLabel(tr("小規模ソフトを対象フォルダにインストールします。"), "Label7", this);
    m_linksButton = makeButton(tr("リンク作成"), "Command3", this);
    m_linksLabel =
        makeLabel(tr("フォルダリストを元に、ショートカットを作成します。"), "Label5", this);

    m_line = new QFrame(this);
    m_line->setObjectName(QStringLiteral("Line1"));
    m_line->setFrameShape(QFrame::HLine);
    m_line->setFrameShadow(QFrame::Sunken);

    m_openFolderButton = makeButton(tr("作業フォルダを開く"), "Command8", this);
    m_quitButton = makeButton(tr("終 了"), "Command6", this);

    // A spare text box that takes no typed input and has no other role; it is not shown.
    m_spareText = new QLineEdit(this);
    m_spareText->setObjectName(QStringLiteral("Text1"));
    m_spareText->setReadOnly(true);
    m_spareText->hide();
}

void MainMenuWindow::layOutControls() {
    auto* grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->setContentsMargins(twips(360), twips(240), twips(360), twips(300));
    grid->setHorizontalSpacing(twips(180));
    grid->setVerticalSpacing(twips(90));
    grid->setColumnStretch(1, 1);

    grid->addWidget(m_titleLabel, 0, 0, 1, 3);
    grid->addWidget(m_subtitleLabel, 1, 0, 1, 3);
    grid->addItem(new QSpacerItem(0, twips(120)), 2, 0);
    grid->addWidget(m_folderCaption, 3, 0, 1, 3);
    grid->addWidget(m_folderBox, 4, 0, 1, 2);
    grid->addWidget(m_browseButton, 4, 2);
    grid->addItem(new QSpacerItem(0, twips(120)), 5, 0);

    const std::pair<QPushButton*, QLabel*> actions[] = {{m_prepareButton, m_prepareLabel},
                                                        {m_catalogueButton, m_catalogueLabel},
                                                        {m_installerButton, m_installerLabel},
                                                        {m_linksButton, m_linksLabel}};
    int row = 6;
    for (const auto& [button, label] : actions) {
        button->setMinimumWidth(twips(1800));
        button->setMinimumHeight(twips(420));
        grid->addWidget(button, row, 0);
        grid->addWidget(label, row, 1, 1, 2);
        ++row;
    }

    grid->addWidget(m_line, row++, 0, 1, 3);
    auto* bottom = new QHBoxLayout;
    m_openFolderButton->setMinimumHeight(twips(420));
    m_openFolderButton->setMinimumWidth(twips(2400));
    m_quitButton->setMinimumHeight(twips(420));
    m_quitButton->setMinimumWidth(twips(1200));
    bottom->addWidget(m_openFolderButton);
    bottom->addStretch(1);
    bottom->addWidget(m_quitButton);
    grid->addLayout(bottom, row, 0, 1, 3);

    setTabOrder(m_folderBox, m_browseButton);
    setTabOrder(m_browseButton, m_prepareButton);
    setTabOrder(m_prepareButton, m_catalogueButton);
    setTabOrder(m_catalogueButton, m_installerButton);
    setTabOrder(m_installerButton, m_linksButton);
    setTabOrder(m_linksButton, m_openFolderButton);
    setTabOrder(m_openFolderButton, m_quitButton);
}

void MainMenuWindow::connectControls() {
    connect(m_browseButton, &QPushButton::clicked, this, &MainMenuWindow::browse);
    connect(m_folderBox, &QComboBox::activated, this, &MainMenuWindow::pickFromList);
    connect(m_folderBox->lineEdit(), &QLineEdit::returnPressed, this, [this] {
        if (m_folderBox->lineEdit()->isModified()) {
            chooseTypedFolder(m_folderBox->lineEdit()->text().trimmed());
        }
    });
    connect(m_prepareButton, &QPushButton::clicked, this, &MainMenuWindow::prepare);
    connect(m_catalogueButton, &QPushButton::clicked, this, &MainMenuWindow::openCatalogue);
    connect(m_installerButton, &QPushButton::clicked, this, &MainMenuWindow::openInstaller);
    connect(m_linksButton, &QPushButton::clicked, this, &MainMenuWindow::openLinks);
    connect(m_openFolderButton, &QPushButton::clicked, this, &MainMenuWindow::openListFolder);
    connect(m_quitButton, &QPushButton::clicked, this, &MainMenuWindow::quit);
}

void MainMenuWindow::load() {
    const bool handedOver = !state().workFolder.isEmpty();
    showWorkFolder();
    m_recentRows = recentfolders::load();
    fillRecentRows();
    // A working folder handed over by the start-up or by another window is taken exactly like
    // one picked from the list, and so moves to the top of it.
    if (handedOver) {
        pickFromCombo = true;
        browse();
    }
}

void MainMenuWindow::unload() {
    recentfolders::save(m_recentRows);
}

bool MainMenuWindow::eventFilter(QObject* watched, QEvent* event) {
    // The box passes its focus events on to its line edit directly, past this filter.
    if ((watched == m_folderBox->lineEdit() || watched == m_folderBox) &&
        event->type() == QEvent::FocusOut) {
        showWorkFolder();
    }
    // Turning the mouse wheel over the box must not choose another working folder.
    if (watched == m_folderBox && event->type() == QEvent::Wheel) {
        return true;
    }
    return Form::eventFilter(watched, event);
}

void MainMenuWindow::setButtons(Buttons buttons) {
    const bool prepared = buttons == Buttons::Prepared;
    m_catalogueButton->setEnabled(prepared);
    m_installerButton->setEnabled(prepared);
    m_linksButton->setEnabled(prepared);
    m_openFolderButton->setEnabled(prepared);
    m_prepareButton->setEnabled(buttons == Buttons::NotPrepared);
}

void MainMenuWindow::browse() {
    setButtons(Buttons::None);
    QString folder;
    if (pickFromCombo) {
        folder = m_folderBox->currentText();
        pickFromCombo = false;
    } else {
        folder = browseForFolder(this, tr("対象となるフォルダを指定してください。"));
    }
    chooseFolder(folder);
}

void MainMenuWindow::chooseTypedFolder(const QString& typed) {
    m_folderBox->lineEdit()->setModified(false);
    if (!isAbsolutePath(typed) || !folderExists(typed)) {
        messageBox(
            tr("フォルダが見つかりません。フォルダの場所をフルパスで入力してください。\n") + typed,
            MsgExclamation);
        showWorkFolder();
        return;
    }
    chooseFolder(typed);
}

void MainMenuWindow::pickFromList(int row) {
    if (row < 0) {
        return;
    }
    m_folderBox->setEditText(m_folderBox->itemText(row));
    pickFromCombo = true;
    browse();
    EventPump::runPending();
    if (!isUnloaded()) {
        m_browseButton->setFocus();
    }
}

void MainMenuWindow::chooseFolder(const QString& chosen) {
    // Cancelled, or an empty row picked: nothing changes but the buttons.
    if (chosen.isEmpty()) {
        showWorkFolder();
        return;
    }
    const QString folder = resolveFolderCase(cleanWorkFolder(chosen));
    // The root has no last path part to name a list folder after.
    if (folder.size() <= 1) {
        messageBox(tr("もっと深い階層を指定してください"));
        showWorkFolder();
        return;
    }
    // "settings.dat" names the working folder; a path it cannot hold would come back as
    // another folder.
    if (!settingsFileCanHold(folder)) {
        messageBox(folder + tr("\nこのフォルダは名前にコンマと二重引用符などを含むため、"
                               "管理する対象のフォルダにできません。"),
                   MsgExclamation);
        showWorkFolder();
        return;
    }
    setButtons(isPrepared(folder) ? Buttons::Prepared : Buttons::NotPrepared);
    state().workFolder = folder;
    state().listFolder = listFolderOf(folder);

    chosenFolderKey = folder;
    m_recentRows = recentfolders::putOnTop(m_recentRows, chosenFolderKey);
    fillRecentRows();
    showWorkFolder();
}

void MainMenuWindow::fillRecentRows() {
    const QSignalBlocker blocker(m_folderBox);
    m_folderBox->clear();
    m_folderBox->addItems(m_recentRows);
    m_folderBox->setCurrentIndex(-1);
    showWorkFolder();
}

void MainMenuWindow::showWorkFolder() {
    const QSignalBlocker blocker(m_folderBox);
    m_folderBox->setEditText(state().workFolder);
}

void MainMenuWindow::prepare() {
    if (!prepareWorkingFolder(state().workFolder)) {
        return;
    }
    setButtons(Buttons::Prepared);
}

void MainMenuWindow::openCatalogue() {
    WindowRegistry::instance().show(WindowKind::Catalogue);
    close();
}

void MainMenuWindow::openInstaller() {
    WindowRegistry::instance().show(WindowKind::Installer);
    close();
}

void MainMenuWindow::openLinks() {
    showModalWindow(WindowKind::Links);
}

void MainMenuWindow::openListFolder() {
    // The list folder, not the working folder itself.
    const QString listFolder = state().listFolder;
    if (!folderExists(listFolder) || !fileSystem().open(listFolder)) {
        messageBox(tr("作業フォルダを開けません。\n") + listFolder, MsgExclamation);
    }
}

void MainMenuWindow::quit() {
    close();
    endProgram();
}

}  // namespace qm
