#include "registration/registrationwindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <limits>

#include "app/accessiblecontrols.h"
#include "app/elidinglabel.h"
#include "app/helpers.h"
#include "app/programstate.h"
#include "app/storedtext.h"
#include "platform/paths.h"
#include "platform/programicon.h"
#include "platform/programtext.h"
#include "registration/filelistbox.h"
#include "registration/folderlistbox.h"

namespace qm {
namespace {

// The state texts, shown translated (the stored state is a number).
constexpr const char* kRegistered = QT_TRANSLATE_NOOP("qm::RegistrationWindow", "設定");
constexpr const char* kUnregistered = QT_TRANSLATE_NOOP("qm::RegistrationWindow", "未設定");
constexpr const char* kExcluded = QT_TRANSLATE_NOOP("qm::RegistrationWindow", "対象外");

constexpr int kStripHeight = 615;
constexpr int kCoverHeight = 3855;
constexpr int kIconSize = 32;

template <typename W>
W* named(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

template <typename Label = QLabel>
Label* plainLabel(QWidget* parent, const char* name, const QString& text, bool bordered) {
    auto* label = named(new Label(text, parent), name);
    label->setTextFormat(Qt::PlainText);
    if (bordered) {
        label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        label->setIndent(3);
    }
    return label;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text,
                    const QString& toolTip) {
    auto* b = named(new QPushButton(text, parent), name);
    b->setToolTip(toolTip);
    return b;
}

QLineEdit* textBox(QWidget* parent, const char* name, const QString& toolTip) {
    auto* edit = named(new QLineEdit(parent), name);
    edit->setToolTip(toolTip);
    // Stored texts of any length come back unshortened.
    edit->setMaxLength(std::numeric_limits<int>::max());
    return edit;
}

// Texts taken into the one-line fields: line breaks (a selection of several lines holds them)
// become spaces, as they would in the list file.
QString singleLine(const QString& text) {
    QString line = text;
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    for (const QChar breakChar : {QChar(u'\r'), QChar(u'\n'), QChar(QChar::ParagraphSeparator),
                                  QChar(QChar::LineSeparator)}) {
        line.replace(breakChar, u' ');
    }
    return line;
}

}  // namespace

RegistrationWindow::RegistrationWindow(QWidget* parent) : Form(WindowKind::Registration, parent) {
    setObjectName(QStringLiteral("Form3"));
    buildControls();
    setClientSizeTwips(9600, 5340);
    const QList<QWidget*> tabOrder = {m_nameEdit,        m_categoryCombo,
                                      m_folderList,      m_exeList,
                                      m_descriptionEdit, m_okButton,
                                      m_cancelButton,    m_excludeButton,
                                      m_previousButton,  m_nextButton,
                                      m_textList,        m_preview,
                                      m_useAsNameButton, m_useAsDescriptionButton,
                                      m_excludeCheck};
    for (int i = 1; i < tabOrder.size(); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }
    // Key preview: Enter anywhere in the dialog saves.
    for (QWidget* child : findChildren<QWidget*>()) {
        child->installEventFilter(this);
    }
}

void RegistrationWindow::buildControls() {
    m_nameCaption = plainLabel(this, "Label3", tr("名　　前"), false);
    m_nameEdit = textBox(this, "Label2", tr("対象フォルダ、ショートカット名を指定します。"));
    m_folderCaption = plainLabel(this, "Label4", tr("フォルダ名"), false);
    m_folderLabel = plainLabel(this, "Label1", QStringLiteral("Label1"), true);
    m_categoryCaption = plainLabel(this, "Label10", tr("分　　類"), false);
    m_categoryCombo = named(new QComboBox(this), "Combo1");
    m_categoryCombo->setEditable(true);
    m_categoryCombo->setInsertPolicy(QComboBox::NoInsert);
    m_categoryCombo->setMaxVisibleItems(16);
    m_categoryCombo->setToolTip(tr("対象フォルダのジャンルを指定します。"));
    m_exeCaption = plainLabel(this, "Label5", tr("プログラム 名"), false);
    // A long program path keeps its start and its file name, with the whole path as tool tip.
    m_exeLabel = plainLabel<ElidingLabel>(this, "Text1", QStringLiteral("Label8"), true);
    m_exeLabel->setElideMode(Qt::ElideMiddle);
    m_exeLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_iconBox = named(new QLabel(this), "Picture1");
    m_iconBox->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_folderList = named(new FolderListBox(this), "Dir1");
    m_exeList = named(new FileListBox(isProgramFile, this), "File1");
    m_exeList->setToolTip(tr("対象フォルダ中のEXE(実行ファイル)を指定します。"));
    m_descriptionCaption = plainLabel(this, "Label6", tr("説　　明"), false);
    m_descriptionEdit = textBox(this, "Text2", tr("対象フォルダの説明を指定します。"));
    m_offerLabel = plainLabel(this, "Label11", QString(), false);

    m_okFrame = named(new QFrame(this), "Shape1");
    m_okFrame->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_excludeButton =
        button(this, "Command3", tr("対象外"), tr("検索対象外に設定して登録・変更します"));
    m_cancelButton =
        button(this, "Command2", tr("キャンセル"), tr("登録、順次登録をキャンセルします。"));
    m_okButton = button(this, "Command1", tr("OK / 登録"), tr("上記の情報で登録します。"));
    m_previousButton =
        button(this, "Command5", QStringLiteral("<<<"), tr("登録・変更して、前の項目に戻ります"));
    m_nextButton =
        button(this, "Command4", QStringLiteral(">>>"), tr("登録・変更して次の項目に進みます"));

    buildPreviewFrame();
    buildStateFrame();  // last, so that it lies above the rows it covers

    m_nameCaption->setBuddy(m_nameEdit);
    m_categoryCaption->setBuddy(m_categoryCombo);
    m_exeCaption->setBuddy(m_exeList);
    m_descriptionCaption->setBuddy(m_descriptionEdit);
    m_folderList->setAccessibleName(tr("フォルダ"));
    m_previousButton->setAccessibleName(tr("前の項目"));
    m_nextButton->setAccessibleName(tr("次の項目"));

    placeTwips(m_nameCaption, 120, 810, 1200, 255);
    placeTwips(m_nameEdit, 1320, 780, 3480, 315);
    placeTwips(m_folderCaption, 120, 1170, 1200, 255);
    placeTwips(m_folderLabel, 1320, 1140, 3480, 315);
    placeTwips(m_categoryCaption, 120, 1530, 1200, 255);
    placeTwips(m_categoryCombo, 1320, 1500, 3480, 315);
    placeTwips(m_exeCaption, 120, 1890, 1200, 255);
    placeTwips(m_exeLabel, 1320, 1860, 3480, 315);
    placeTwips(m_iconBox, 120, 2235, 615, 615);
    placeTwips(m_folderList, 840, 2235, 1920, 1200);
    placeTwips(m_exeList, 2820, 2235, 1980, 1200);
    placeTwips(m_descriptionCaption, 120, 3570, 1200, 255);
    placeTwips(m_descriptionEdit, 1320, 3540, 3480, 315);
    placeTwips(m_excludeButton, 120, 4035, 1440, 420);
    placeTwips(m_cancelButton, 1680, 4035, 1440, 420);
    placeTwips(m_okFrame, 3315, 3990, 1530, 510);
    placeTwips(m_okButton, 3360, 4035, 1440, 420);
    placeTwips(m_previousButton, 1680, 4575, 1440, 360);
    placeTwips(m_nextButton, 3360, 4575, 1440, 360);
    placeTwips(m_offerLabel, 120, 5010, 9360, 255);
    placeTwips(m_previewFrame, 4920, 60, 4560, 4935);
    placeTwips(m_stateFrame, 120, 60, 4680, kStripHeight);

    connect(m_excludeCheck, &QCheckBox::clicked, this, &RegistrationWindow::onCheck1Click);
    connect(m_okButton, &QPushButton::clicked, this, &RegistrationWindow::onCommand1Click);
    connect(m_cancelButton, &QPushButton::clicked, this, &RegistrationWindow::onCommand2Click);
    connect(m_excludeButton, &QPushButton::clicked, this, &RegistrationWindow::onCommand3Click);
    connect(m_nextButton, &QPushButton::clicked, this, &RegistrationWindow::onCommand4Click);
    connect(m_previousButton, &QPushButton::clicked, this, &RegistrationWindow::onCommand5Click);
    connect(m_useAsNameButton, &QPushButton::clicked, this, &RegistrationWindow::onCommand6Click);
    connect(m_useAsDescriptionButton, &QPushButton::clicked, this,
            &RegistrationWindow::onCommand7Click);
    connect(m_folderList, &FolderListBox::pathChanged, this, &RegistrationWindow::onDir1Change);
    connect(m_folderList, &FolderListBox::clicked, this, &RegistrationWindow::onDir1Click);
    connect(m_exeList, &FileListBox::clicked, this, &RegistrationWindow::onFile1Click);
    connect(m_textList, &FileListBox::clicked, this, &RegistrationWindow::onFile2Click);
}

void RegistrationWindow::buildStateFrame() {
    m_stateFrame = named(new QGroupBox(tr("状態"), this), "Frame1");
    m_stateFrame->setAutoFillBackground(true);
    m_stateLabel = plainLabel(m_stateFrame, "Label7", QStringLiteral("Label2"), false);
    m_excludeCheck = named(new QCheckBox(tr("対象外にする"), m_stateFrame), "Check1");
    m_excludeCheck->setToolTip(tr("検索対象外に設定します。"));
    m_nothingLabel = plainLabel(m_stateFrame, "Label8", tr("設定する情報がありません"), false);
    m_nothingLabel->setAlignment(Qt::AlignCenter);
    placeTwips(m_stateLabel, 240, 270, 1500, 255);
    placeTwips(m_excludeCheck, 2400, 240, 2160, 300);
    placeTwips(m_nothingLabel, 240, 1680, 4200, 300);
}

void RegistrationWindow::buildPreviewFrame() {
    m_previewFrame = named(new QGroupBox(tr("Readme.txt ファイルの参照"), this), "Frame2");
    m_textList = named(new FileListBox(isTextFile, m_previewFrame), "File2");
    m_textList->setToolTip(tr(
        "フォルダ内のテキストファイルを表示しています。こちらをクリックすると、下にその内容が表示"
        "されます。"));
    m_selectionCaption = plainLabel(m_previewFrame, "Label9", tr("選択範囲を："), false);
    m_useAsNameButton =
        button(m_previewFrame, "Command6", tr("名前に使用"),
               tr("下に表示されているテキストのソフト名を選択してクリックするとその名前"
                  "が適用されます。"));
    m_useAsDescriptionButton =
        button(m_previewFrame, "Command7", tr("説明に使用"),
               tr("下に表示されているテキストの説明を選択してクリックするとその説明が"
                  "適用されます。あまり長いものは入りません。"));
    m_preview = named(new QPlainTextEdit(m_previewFrame), "Text3");
    m_preview->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_preview->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_preview->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_textList->setAccessibleName(textFileListName());
    m_preview->setAccessibleName(textFileContentsName());
    placeTwips(m_textList, 120, 300, 4320, 1080);
    placeTwips(m_selectionCaption, 120, 1500, 1200, 255);
    placeTwips(m_useAsNameButton, 1380, 1440, 1440, 360);
    placeTwips(m_useAsDescriptionButton, 2940, 1440, 1440, 360);
    placeTwips(m_preview, 120, 1920, 4320, 2895);
}

void RegistrationWindow::load() {
    ProgramState& s = state();
    // A registered entry whose program has disappeared is shown as unregistered.
    if (s.editState != 0 && s.editState != 2 && !fileExists(s.editExe)) {
        s.editState = 2;
    }
    m_folderLabel->setText(s.editFolder);
    const bool excluded = s.editState == 0;
    m_excludeCheck->setChecked(excluded);
    setCovered(excluded);
    if (excluded || s.editState == 2) {
        m_stateLabel->setText(tr(excluded ? kExcluded : kUnregistered));
        m_folderList->setPath(programFolder());
    } else {
        m_stateLabel->setText(tr(kRegistered));
        m_folderList->setPath(exeFolder());
    }
    m_nameEdit->setText(s.editName);
    m_categoryCombo->setEditText(shownText(s.editCategory));
    setExePath(s.editExe);
    m_descriptionEdit->setText(shownText(s.editDescription));
    setWindowTitle(m_nameEdit->text() + tr(" の設定"));
}

void RegistrationWindow::activate() {
    drawIcon();
    if (m_activated) {
        return;
    }
    m_activated = true;
    // The known categories; the first slot is listed even when empty. Adding items must not
    // replace the category shown.
    const QString shown = m_categoryCombo->currentText();
    const auto& table = state().categoryTable;
    m_categoryCombo->addItem(shownText(table[1]));
    for (std::size_t i = 2; i < table.size() && !table[i].isEmpty(); ++i) {
        m_categoryCombo->addItem(shownText(table[i]));
    }
    m_categoryCombo->setEditText(shown);
    // A folder with a single program gets it chosen.
    if (m_exeList->listCount() == 1) {
        m_exeList->setListIndex(0);
    }
}

void RegistrationWindow::setCovered(bool covered) {
    m_stateFrame->setFixedHeight(twips(covered ? kCoverHeight : kStripHeight));
    m_stateFrame->raise();
    m_nothingLabel->setVisible(covered);
    // What lies under the frame cannot be reached by the keyboard either.
    for (QWidget* widget : std::initializer_list<QWidget*>{
             m_nameEdit, m_categoryCombo, m_folderList, m_exeList, m_descriptionEdit}) {
        widget->setEnabled(!covered);
    }
}

void RegistrationWindow::setExePath(const QString& path) {
    m_exeLabel->setText(shownText(path));
    drawIcon();
}

// Fills the name and description the program gives of itself into the fields that hold nothing
// the user typed: empty ones, the catalogue's placeholders, or an earlier program's offer.
void RegistrationWindow::offerProgramText(const QString& path) {
    const QString language = tr(kRegistered) == QString::fromUtf8(kRegistered)
                                 ? QStringLiteral("ja")
                                 : QStringLiteral("en");
    const OfferedProgramText offer = offeredProgramText(path, language);
    const auto replaceable = [](const QLineEdit* edit, const QString& placeholder,
                                const QString& offered) {
        const QString text = edit->text();
        return !edit->isModified() &&
               (text.trimmed().isEmpty() || text == placeholder || text == offered);
    };
    bool used = false;
    if (!offer.name.isEmpty() && replaceable(m_nameEdit, m_folderLabel->text(), m_offeredName)) {
        m_nameEdit->setText(offer.name);
        m_offeredName = offer.name;
        used = true;
    }
    if (!offer.description.isEmpty() &&
        replaceable(m_descriptionEdit, shownText(QStringLiteral("未設定")), m_offeredDescription)) {
        m_descriptionEdit->setText(offer.description);
        m_offeredDescription = offer.description;
        used = true;
    }
    if (!used) {
        m_offerLabel->clear();
        return;
    }
    const QString file = path.mid(path.lastIndexOf(kSeparator) + 1);
    m_offerLabel->setText(
        offer.source == OfferedProgramText::Source::AppImage
            ? tr("名前と説明は %1 のデスクトップエントリから取りました。").arg(file)
            : tr("名前と説明は %1 のバージョン情報から取りました。").arg(file));
}

void RegistrationWindow::drawIcon() {
    m_iconBox->clear();
    const QString path = m_exeLabel->text();
    if (fileExists(path)) {
        m_iconBox->setPixmap(programIcon(path, kIconSize));
    }
}

// The folder of the entry's program; "/" for a program in the root folder.
QString RegistrationWindow::exeFolder() const {
    const QString exe = state().editExe;
    const QString folder = parentFolder(exe);
    if (folder.isEmpty() && exe.startsWith(kSeparator)) {
        return QString(kSeparator);
    }
    return folder;
}

QString RegistrationWindow::programFolder() const {
    return joinPath(state().workFolder, m_folderLabel->text());
}

bool RegistrationWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && !m_leaving) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        // A focused button keeps Enter for itself, so that Enter on "Cancel" cancels.
        if (enter && !qobject_cast<QPushButton*>(watched)) {
            onCommand1Click();
            return true;
        }
    }
    if (event->type() == QEvent::FocusIn &&
        (watched == m_nameEdit || watched == m_descriptionEdit)) {
        // Typing replaces the whole field, also after a click into it.
        auto* edit = static_cast<QLineEdit*>(watched);
        QTimer::singleShot(0, edit, [edit] { edit->selectAll(); });
    }
    return Form::eventFilter(watched, event);
}

void RegistrationWindow::onCheck1Click() {
    if (m_excludeCheck->isChecked()) {
        setCovered(true);
        m_stateLabel->setText(tr(kExcluded));
    } else {
        setCovered(false);
        m_stateLabel->setText(tr(fileExists(m_exeLabel->text()) ? kRegistered : kUnregistered));
    }
}

void RegistrationWindow::onCommand1Click() {
    if (m_leaving) {
        return;
    }
    m_leaving = true;
    ProgramState& s = state();
    const QString category = storedText(singleLine(m_categoryCombo->currentText()));
    addCategory(category);
    const QString shown = m_stateLabel->text();
    if (shown == tr(kRegistered)) {
        s.editState = 1;
        s.editExe = storedText(m_exeLabel->text());
    } else if (shown == tr(kUnregistered)) {
        s.editState = 2;
    } else {
        s.editState = 0;
    }
    s.editName = singleLine(m_nameEdit->text());
    s.editCategory = category;
    s.editDescription = storedText(singleLine(m_descriptionEdit->text()));
    close();
}

void RegistrationWindow::onCommand2Click() {
    if (m_leaving) {
        return;
    }
    m_leaving = true;
    state().editResult = 1;
    close();
}

void RegistrationWindow::onCommand3Click() {
    if (m_leaving) {
        return;
    }
    m_excludeCheck->setChecked(true);
    onCheck1Click();
    onCommand1Click();
}

void RegistrationWindow::onCommand4Click() {
    if (m_leaving) {
        return;
    }
    state().editResult = 2;
    onCommand1Click();
}

void RegistrationWindow::onCommand5Click() {
    if (m_leaving) {
        return;
    }
    state().editResult = 3;
    onCommand1Click();
}

// The selected text of the preview as one line without surrounding blanks: a selection that
// ends with a line break would otherwise leave a blank at the end of the name, and so of the
// shortcut's file name.
QString RegistrationWindow::takenText() const {
    return singleLine(m_preview->textCursor().selectedText()).trimmed();
}

void RegistrationWindow::onCommand6Click() {
    const QString taken = takenText();
    if (!taken.isEmpty()) {
        m_nameEdit->setText(taken);
    }
}

void RegistrationWindow::onCommand7Click() {
    const QString taken = takenText();
    if (!taken.isEmpty()) {
        m_descriptionEdit->setText(taken);
    }
}

void RegistrationWindow::onDir1Change() {
    const QString folder = m_folderList->path();
    m_exeList->setPath(folder);
    m_textList->setPath(folder);
    const QString readme = joinPath(folder, QStringLiteral("readme.txt"));
    if (fileExists(readme)) {
        showTextFile(readme, m_preview);
    }
}

void RegistrationWindow::onDir1Click() {
    // Browsing stays inside the program folder: the open folder or an ancestor leads back to it.
    if (m_folderList->listIndex() < 0) {
        m_folderList->setPath(programFolder());
        m_folderList->setListIndex(-1);
    }
}

void RegistrationWindow::onFile1Click() {
    const QString name = m_exeList->fileName();
    if (name.isEmpty()) {
        return;
    }
    const QString path = joinPath(m_folderList->path(), name);
    setExePath(path);
    offerProgramText(path);
    // The choice of a program does not undo an exclusion the user has ticked.
    if (fileExists(path) && !m_excludeCheck->isChecked()) {
        m_stateLabel->setText(tr(kRegistered));
    }
}

void RegistrationWindow::onFile2Click() {
    const QString name = m_textList->fileName();
    if (!name.isEmpty()) {
        showTextFile(joinPath(m_textList->path(), name), m_preview);
    }
}

}  // namespace qm
