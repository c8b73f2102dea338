#include "catalogue/cataloguewindow.h"

#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "app/accessiblecontrols.h"
#include "app/busycursor.h"
#include "app/elidinglabel.h"
#include "app/endprogram.h"
#include "app/preferences.h"
#include "app/programstate.h"
#include "catalogue/cataloguemarks.h"
#include "catalogue/cataloguemodel.h"
#include "catalogue/folderpreview.h"
#include "catalogue/listcolumns.h"
#include "catalogue/registrationsession.h"
#include "platform/prompt.h"

namespace qm {
namespace {

const QString kCompactKey = QStringLiteral("pmode");
const QString kRegisterAtStartKey = QStringLiteral("kmode");

constexpr int kClientWidth = 7830;
constexpr int kClientHeight = 6375;
// The title reaches up to the buttons beside it, which differ between the two layouts.
constexpr int kTitleWidthNormal = 5460;
constexpr int kTitleWidthCompact = 4500;
// The list takes this part of the height the window gains, the preview the rest.
constexpr qreal kListShare = 2.0 / 3.0;
constexpr qreal kPreviewShare = 1.0 - kListShare;

const QString kWidthKey = QStringLiteral("listwidth");
const QString kHeightKey = QStringLiteral("listheight");

using Share = ElasticPlacement::Share;
constexpr Share kFixed{};
constexpr Share kRightEdge{1, 0, 0, 0};
constexpr Share kBottomEdge{0, 0, 1, 0};
constexpr Share kWide{0, 1, 0, 0};

// A stored option is on only when its value is the number 1; anything else is off.
bool optionOn(const QString& key) {
    bool ok = false;
    const double value = readPreference(key, QStringLiteral("0")).trimmed().toDouble(&ok);
    return ok && value == 1.0;
}

void writeOption(const QString& key, bool on) {
    writePreference(key, on ? QStringLiteral("1") : QStringLiteral("0"));
}

}  // namespace

CatalogueWindow::CatalogueWindow()
    : Form(WindowKind::Catalogue),
      m_model(new CatalogueModel(this)),
      m_service(*m_model),
      m_placement(QSize(twips(kClientWidth), twips(kClientHeight))) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));
    // People keep hundreds of programs: this window, unlike the others, can be made larger.
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    buildControls();
    buildMenus();
    applyLayout(false);
}

CatalogueWindow::~CatalogueWindow() = default;

void CatalogueWindow::buildControls() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    m_client->setMinimumSize(twips(kClientWidth), twips(kClientHeight));
    m_client->installEventFilter(this);
    layout->addWidget(m_client);

    const auto label = [this](const char* name, const QString& text, int left, int top, int width,
                              int height, Share share = kFixed) {
        // Pictures are plain labels; texts end in an ellipsis where their place is too small.
        QLabel* widget = text.isEmpty() ? new QLabel(m_client) : new ElidingLabel(text, m_client);
        widget->setObjectName(QLatin1String(name));
        place(widget, left, top, width, height, share);
        return widget;
    };
    const auto button = [this](const char* name, const QString& text, const QString& tip) {
        auto* widget = new QPushButton(text, m_client);
        widget->setObjectName(QLatin1String(name));
        widget->setToolTip(tip);
        widget->setAutoDefault(false);
        return widget;
    };

    // The explanation area: labels and the two marks of the legend. Texts that do not fit their
    // place at the window's font size end in an ellipsis and show whole as a tool tip; the places
    // reach up to the buttons on the right and end where the next control begins, so that no two
    // controls overlap.
    m_titleLabel = label("Label1", tr("フォルダリスト　-　こちらにフォルダの情報が表示されます。"),
                         240, 120, kTitleWidthNormal, 240, kWide);
    QLabel* unregisteredImage = label("Image1", QString(), 1920, 600, 240, 240);
    unregisteredImage->setPixmap(unregisteredMark());
    QLabel* registeredImage = label("Image2", QString(), 1920, 840, 240, 240);
    registeredImage->setPixmap(registeredMark());
    m_explanation = {
        label("Label2", tr("項目をダブルクリックすると情報が変更されます。"), 1680, 360, 4020, 240,
              kWide),
        unregisteredImage,
        label("Label3", tr("- 未登録（情報が登録されていません。）"), 2160, 630, 3540, 240, kWide),
        registeredImage,
        label("Label4", tr("- 登録済（登録されています。）"), 2160, 870, 3375, 255),
        label("Label5", tr("印なし- 対象外（検索対象外とされています。）"), 1680, 1125, 4020, 255,
              kWide)};
    // The hint under "順次登録" wraps in the room between the button and the list.
    QLabel* hint =
        label("Label7", tr("↑まず。順次登録を押してください。ボタンにマウスを置くと説明が出ます。"),
              5760, 870, 1935, 555, kRightEdge);
    hint->setWordWrap(true);
    hint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_explanation.append(hint);
    label("Label6", tr("フォルダ内のReadme.txt やその他の TXT ファイルを表示します"), 1080, 4200,
          6615, 240, {0, 1, kListShare, 0});

    m_listView = new QTreeView(m_client);
    m_listView->setObjectName(QStringLiteral("ListView1"));
    m_listView->setModel(m_model);
    m_listView->setRootIsDecorated(false);
    m_listView->setItemsExpandable(false);
    m_listView->setUniformRowHeights(true);
    m_listView->setAllColumnsShowFocus(true);
    m_listView->setSortingEnabled(false);
    m_listView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_listView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_listView->setEditTriggers(QAbstractItemView::SelectedClicked |
                                QAbstractItemView::EditKeyPressed);
    m_listView->setIconSize(QSize(16, 16));
    m_listView->header()->setSectionsClickable(true);
    m_listView->header()->setStretchLastSection(false);
    m_listView->header()->setSectionResizeMode(QHeaderView::Interactive);
    m_columns = new ListColumns(m_listView);

    m_iconPicture = label("Picture1", QString(), 240, 4200, 615, 615, {0, 0, kListShare, 0});
    m_iconPicture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_iconPicture->setFrameShape(QFrame::StyledPanel);

    m_textFiles = new QListWidget(m_client);
    m_textFiles->setObjectName(QStringLiteral("File2"));
    m_textFiles->setToolTip(
        tr("フォルダ内のテキストファイルを表示しています。こちらをクリックすると、右に"
           "その内容が表示されます。"));
    place(m_textFiles, 960, 4440, 1335, 1710, {0, 0, kListShare, kPreviewShare});

    m_textPreview = new QPlainTextEdit(m_client);
    m_textPreview->setObjectName(QStringLiteral("Text1"));
    m_textPreview->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_textPreview->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_textPreview->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_textPreview->setPlainText(FolderPreview::noReadmeText());
    place(m_textPreview, 2400, 4440, 5295, 1695, {0, 1, kListShare, kPreviewShare});
    m_listView->setAccessibleName(tr("プログラムの一覧"));
    m_textFiles->setAccessibleName(textFileListName());
    m_textPreview->setAccessibleName(textFileContentsName());
    m_preview = std::make_unique<FolderPreview>(m_iconPicture, m_textFiles, m_textPreview);

    m_menuButton = button("Command12", tr("メニューに戻る"), tr("メインメニューに戻ります。"));
    m_registerAllButton =
        button("Command7", tr("順次登録"),
               tr("こちらをクリックすると、未登録の情報を要求するダイアログが順次出現し、情報を"
                  "すべて登録できます。"));
    QPushButton* launch =
        button("Command10", tr("起 動"), tr("リスト選択中の登録されたEXEを起動します。"));
    place(launch, 120, 4920, 735, 255, kBottomEdge);
    QPushButton* open =
        button("Command11", tr("開 く"), tr("リストで選択されたフォルダを開きます。"));
    place(open, 120, 5280, 735, 255, kBottomEdge);
    QPushButton* move =
        button("Command1", tr("移 動"), tr("選択フォルダとリスト項目を移動します。"));
    place(move, 120, 5640, 735, 255, kBottomEdge);
    QPushButton* remove =
        button("Command13", tr("削 除"), tr("選択フォルダとリスト項目を削除します。"));
    place(remove, 120, 6000, 735, 255, kBottomEdge);

    // Picture2 lies below the client area, as the scratch surface always did; nothing is drawn
    // on it, so it is not shown.
    label("Picture2", QString(), 120, 6480, 255, 255, kBottomEdge)->hide();

    // The hidden buttons that serve as procedures.
    QPushButton* loadDir = button("Command3", QStringLiteral("load dir"), QString());
    QPushButton* save = button("Command4", QStringLiteral("save list"), QString());
    QPushButton* edit = button("Command8", tr("登録情報の変更"),
                               tr("ファイルの設定情報が表示され、変更できます。"));
    QPushButton* icons = button("Command9", tr("アイコン更新"), QString());
    for (QPushButton* hidden : {loadDir, save, edit, icons}) {
        hidden->hide();
    }

    connect(m_menuButton, &QPushButton::clicked, this, &CatalogueWindow::backToMenu);
    connect(m_registerAllButton, &QPushButton::clicked, this, &CatalogueWindow::registerAll);
    connect(launch, &QPushButton::clicked, this, &CatalogueWindow::launchSelected);
    connect(open, &QPushButton::clicked, this, &CatalogueWindow::openSelectedFolder);
    connect(move, &QPushButton::clicked, this, &CatalogueWindow::moveSelected);
    connect(remove, &QPushButton::clicked, this, &CatalogueWindow::deleteSelected);
    connect(loadDir, &QPushButton::clicked, this, &CatalogueWindow::loadDirectory);
    connect(save, &QPushButton::clicked, this, &CatalogueWindow::saveList);
    connect(edit, &QPushButton::clicked, this, &CatalogueWindow::editSelected);
    connect(icons, &QPushButton::clicked, this, &CatalogueWindow::refreshIcons);

    connect(m_listView, &QTreeView::doubleClicked, this, &CatalogueWindow::editSelected);
    connect(m_listView->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { m_model->sort(column, Qt::AscendingOrder); });
    connect(m_listView->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) {
                    previewRow(current.row());
                }
            });
    // Every click on an entry shows its preview, also on the row already selected (after another
    // text file was viewed); a click that selects another row was shown by the change above.
    m_listView->viewport()->installEventFilter(this);
    connect(m_listView, &QTreeView::clicked, this, [this](const QModelIndex& index) {
        if (index.isValid() && index.row() == m_rowAtPress) {
            previewRow(index.row());
        }
    });
    connect(m_model, &CatalogueModel::nameEdited, this, [this] { m_service.markChanged(); });
    connect(m_textFiles, &QListWidget::itemClicked, this,
            [this] { m_preview->showSelectedFile(); });
}

void CatalogueWindow::buildMenus() {
    m_menuBar = new QMenuBar(this);
    m_menuBar->setObjectName(QStringLiteral("menuBar"));
    layout()->setMenuBar(m_menuBar);

    const auto menu = [this](const char* name, const QString& title) {
        QMenu* result = m_menuBar->addMenu(title);
        result->setObjectName(QLatin1String(name));
        result->menuAction()->setObjectName(QLatin1String(name));
        return result;
    };
    const auto item = [](QMenu* parent, const char* name, const QString& text) {
        QAction* action = parent->addAction(text);
        action->setObjectName(QLatin1String(name));
        return action;
    };
    const auto separator = [](QMenu* parent, const char* name) {
        parent->addSeparator()->setObjectName(QLatin1String(name));
    };

    QMenu* file = menu("mnuFile", tr("ファイル(&F)"));
    connect(item(file, "mnuMnu", tr("メニューに戻る")), &QAction::triggered, this,
            &CatalogueWindow::backToMenu);
    connect(item(file, "mnuExit", tr("終了")), &QAction::triggered, this,
            &CatalogueWindow::exitWindow);

    QMenu* list = menu("mnuListP", tr("リスト編集(&P)"));
    connect(item(list, "mnuUd", tr("選択された登録情報を変更する")), &QAction::triggered, this,
            &CatalogueWindow::editSelected);
    separator(list, "mnuLine2");
    connect(item(list, "mnuAdd", tr("リストにインストール追加")), &QAction::triggered, this,
            &CatalogueWindow::showInstallerAndClose);
    connect(item(list, "mnuDel", tr("リストからアンインストール削除")), &QAction::triggered, this,
            &CatalogueWindow::deleteSelected);
    separator(list, "mnuLine1");
    connect(item(list, "mnuKidou", tr("選択されたEXEを起動")), &QAction::triggered, this,
            &CatalogueWindow::launchSelected);
    connect(item(list, "mnuOpen", tr("選択されたフォルダを開く")), &QAction::triggered, this,
            &CatalogueWindow::openSelectedFolder);
    connect(item(list, "mnuMove", tr("選択されたフォルダを移動")), &QAction::triggered, this,
            &CatalogueWindow::moveSelected);

    QMenu* settings = menu("mnuSetting", tr("設定(&S)"));
    m_compactAction = item(settings, "mnuComm", tr("説明を消す"));
    m_compactAction->setCheckable(true);
    connect(m_compactAction, &QAction::triggered, this,
            [this](bool checked) { applyLayout(checked); });
    m_registerAtStartAction = item(settings, "mnuAA", tr("起動時に順次登録を行う"));
    m_registerAtStartAction->setCheckable(true);
}

void CatalogueWindow::place(QWidget* widget, int left, int top, int width, int height,
                            ElasticPlacement::Share share) {
    m_placement.place(widget, QRect(twips(left), twips(top), twips(width), twips(height)), share);
}

void CatalogueWindow::applyLayout(bool compact) {
    // The compact layout gives the list the room of the explanation area, which it then covers
    // (so the explanation is hidden); the title gives way to "順次登録".
    const Share list{0, 1, 0, kListShare};
    if (compact) {
        place(m_listView, 120, 375, 7575, 3720, list);
        place(m_menuButton, 6240, 120, 1455, 255, kRightEdge);
        place(m_registerAllButton, 4800, 120, 1335, 255, kRightEdge);
        place(m_titleLabel, 240, 120, kTitleWidthCompact, 240, kWide);
    } else {
        place(m_listView, 120, 1440, 7575, 2655, list);
        place(m_menuButton, 5760, 120, 1935, 255, kRightEdge);
        place(m_registerAllButton, 5760, 480, 1935, 375, kRightEdge);
        place(m_titleLabel, 240, 120, kTitleWidthNormal, 240, kWide);
    }
    for (QWidget* widget : std::as_const(m_explanation)) {
        widget->setVisible(!compact);
    }
    m_listView->raise();
    m_menuButton->raise();
    m_registerAllButton->raise();
    m_compactAction->setChecked(compact);
}

bool CatalogueWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_client && event->type() == QEvent::Resize) {
        m_placement.apply(m_client->size());
        m_columns->refit();
    } else if (m_listView && watched == m_listView->viewport() &&
               event->type() == QEvent::MouseButtonPress) {
        m_rowAtPress = selectedRow();
    }
    return Form::eventFilter(watched, event);
}

void CatalogueWindow::restoreSize() {
    const QSize stored(readPreference(kWidthKey).toInt(), readPreference(kHeightKey).toInt());
    if (stored.width() > 0 && stored.height() > 0) {
        resize(stored.expandedTo(minimumSizeHint()));
    }
}

void CatalogueWindow::storeSizes() {
    const QSize size = isMaximized() || isFullScreen() ? normalGeometry().size() : this->size();
    writePreference(kWidthKey, QString::number(size.width()));
    writePreference(kHeightKey, QString::number(size.height()));
    m_columns->store();
}

bool CatalogueWindow::compactLayout() const {
    return m_compactAction->isChecked();
}

void CatalogueWindow::load() {
    auto& registry = WindowRegistry::instance();
    if (registry.hasFactory(WindowKind::Splash)) {
        registry.show(WindowKind::Splash);
        EventPump::runPending();
    }
    m_autoRegistrationDone = false;
    m_switchingWindow = false;
    m_service.setFolders(state().workFolder, state().listFolder);
    if (optionOn(kCompactKey)) {
        applyLayout(true);
    }
    restoreSize();
    setWindowTitle(QStringLiteral("Quillmorn ListView - ") + m_service.workFolder());
    loadDirectory();
    refreshIcons();
    m_columns->restore();
    // As in any list, the first entry is the selected one until the user picks another.
    if (selectedRow() < 0) {
        selectRow(0);
    }
}

void CatalogueWindow::activate() {
    const QPointer<CatalogueWindow> self(this);
    const auto gone = [&self] { return self.isNull() || self->isUnloaded(); };
    ProgramState& s = state();
    // The list is built: the splash goes before any dialog opens over it.
    WindowRegistry::instance().unload(WindowKind::Splash);

    // A folder just installed: select its row and open its registration.
    if (!s.newFolderName.isEmpty()) {
        const int row = m_model->updateRowByFolder(s.newFolderName, -1, QString(), QString(),
                                                   QString(), QString(), QString());
        s.newFolderName.clear();
        s.newFolderPending = false;
        if (row >= 0) {
            selectRow(row);
            m_autoRegistrationDone = true;
            editSelected();
            if (gone()) {
                return;
            }
        }
    }
    if (optionOn(kRegisterAtStartKey)) {
        if (!s.newFolderPending && !m_autoRegistrationDone) {
            m_autoRegistrationDone = true;
            registerAll();
            if (gone()) {
                return;
            }
        }
        m_registerAtStartAction->setChecked(true);
    }
    // A move was started: register what came of it. A move away adds nothing here, which is
    // no news to the user.
    if (s.newFolderPending) {
        s.newFolderPending = false;
        registerUnregistered(false);
        if (gone()) {
            return;
        }
    }
    // The selected folder went to another working folder: its catalogue takes over.
    if (!s.moveTarget.isEmpty()) {
        closeAndHandOver(std::nullopt);
    }
}

bool CatalogueWindow::queryUnload() {
    // A list that could not be written keeps the window open with its changes, so that nothing
    // the user registered is lost: closing again asks again.
    return saveList();
}

void CatalogueWindow::unload() {
    storeSizes();
    writeOption(kCompactKey, m_compactAction->isChecked());
    writeOption(kRegisterAtStartKey, m_registerAtStartAction->isChecked());
    auto& registry = WindowRegistry::instance();
    registry.unload(WindowKind::Splash);
    if (m_nextWindow || m_linksDue) {
        handOverFolders();
    }
    if (m_nextWindow) {
        registry.show(*m_nextWindow);
    }
    // After a save the link window brings the shortcuts up to date, unless the installer or the
    // move window goes on with this working folder.
    if (m_linksDue && m_nextWindow != WindowKind::Installer &&
        !registry.isVisible(WindowKind::Installer) && !registry.isVisible(WindowKind::Move)) {
        registry.show(WindowKind::Links);
    }
    if (!m_switchingWindow) {
        endProgram();
    }
}

void CatalogueWindow::loadDirectory() {
    setEnabled(false);
    {
        const BusyCursor busy;
        EventPump::runPending();
        EventPump pump;
        m_service.load(pump);
    }
    setEnabled(true);
}

bool CatalogueWindow::saveList() {
    const CatalogueService::SaveOutcome outcome = m_service.save();
    if (outcome == CatalogueService::SaveOutcome::Saved) {
        m_linksDue = true;
        m_switchingWindow = true;
    }
    // A list read again shows what it holds now before the window closes.
    return outcome != CatalogueService::SaveOutcome::Failed &&
           outcome != CatalogueService::SaveOutcome::Reloaded;
}

void CatalogueWindow::refreshIcons() {
    const BusyCursor busy;
    EventPump pump;
    m_service.refreshIcons(pump);
}

RegistrationSession::Hooks CatalogueWindow::registrationHooks() {
    return {[this] { return showModalWindowHere(WindowKind::Registration); },
            [this] { m_service.markChanged(); }, [this](int row) { selectRow(row); }};
}

void CatalogueWindow::editSelected() {
    RegistrationSession session(*m_model, registrationHooks());
    session.edit(selectedRow());
    // The icon box shows the program just chosen, without another click on the row.
    previewRow(selectedRow());
}

void CatalogueWindow::registerAll() {
    registerUnregistered(true);
}

void CatalogueWindow::registerUnregistered(bool sayNothingAdded) {
    RegistrationSession session(*m_model, registrationHooks());
    switch (session.registerUnregistered()) {
        case RegistrationSession::Outcome::Finished:
            if (session.leftUnregistered().isEmpty()) {
                messageBox(tr("全て登録されました。"));
            } else {
                // Never a success while rows stay unregistered: say how many, and which.
                messageBox(
                    tr("%1 件が未設定のままです：\n").arg(session.leftUnregistered().size()) +
                        session.leftUnregistered().join(u'\n'),
                    MsgExclamation);
            }
            break;
        case RegistrationSession::Outcome::NothingOffered:
            if (sayNothingAdded) {
                messageBox(tr("追加はありませんでした。"));
            }
            break;
        case RegistrationSession::Outcome::Cancelled:
        case RegistrationSession::Outcome::Gone:
            break;
    }
}

void CatalogueWindow::launchSelected() {
    m_service.launchRow(selectedRow());
}

void CatalogueWindow::openSelectedFolder() {
    m_service.openRow(selectedRow());
}

void CatalogueWindow::moveSelected() {
    if (m_service.moveRow(selectedRow(),
                          [this] { return showModalWindowHere(WindowKind::Move); })) {
        selectRow(selectedRow());
    }
}

void CatalogueWindow::deleteSelected() {
    if (m_service.deleteRow(selectedRow())) {
        selectRow(selectedRow());
    }
}

void CatalogueWindow::backToMenu() {
    closeAndHandOver(WindowKind::MainMenu);
}

void CatalogueWindow::showInstallerAndClose() {
    closeAndHandOver(WindowKind::Installer);
}

void CatalogueWindow::exitWindow() {
    closeAndHandOver(std::nullopt);
}

void CatalogueWindow::closeAndHandOver(std::optional<WindowKind> next) {
    m_nextWindow = next;
    m_switchingWindow = true;
    const QPointer<CatalogueWindow> self(this);
    close();
    // A list that could not be saved keeps the window open, and nothing is handed over.
    if (!self.isNull() && !isUnloaded()) {
        m_nextWindow.reset();
        m_switchingWindow = false;
    }
}

void CatalogueWindow::handOverFolders() const {
    ProgramState& s = state();
    s.workFolder = m_service.workFolder();
    s.listFolder = m_service.listFolder();
}

bool CatalogueWindow::showModalWindowHere(WindowKind kind) {
    // The dialogs act on the working folder through the program state.
    handOverFolders();
    return showModalWindow(kind);
}

void CatalogueWindow::selectRow(int row) {
    if (row < 0 || row >= m_model->rowCount()) {
        return;
    }
    const QModelIndex index = m_model->index(row, 0);
    m_listView->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_listView->scrollTo(index);
}

int CatalogueWindow::selectedRow() const {
    // The current row: after a row is removed it moves to a neighbour, which is then selected.
    const QModelIndex current = m_listView->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void CatalogueWindow::previewRow(int row) {
    if (row < 0 || row >= m_model->rowCount()) {
        return;
    }
    m_preview->showEntry(m_model->entry(row).exe, m_service.folderPathOfRow(row));
}

}  // namespace qm
