#include "catalogue/cataloguewindow.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QTreeView>
#include <QVBoxLayout>

#include "app/accessiblecontrols.h"
#include "app/busycursor.h"
#include "app/elidinglabel.h"
#include "app/endprogram.h"
#include "app/otherwindowsheld.h"
#include "app/programstate.h"
#include "catalogue/cataloguebuttons.h"
#include "catalogue/cataloguefilter.h"
#include "catalogue/cataloguefilterbar.h"
#include "catalogue/cataloguelistview.h"
#include "catalogue/cataloguemarks.h"
#include "catalogue/cataloguemenus.h"
#include "catalogue/cataloguemodel.h"
#include "catalogue/folderpreview.h"
#include "catalogue/iconloader.h"
#include "catalogue/listcolumns.h"
#include "catalogue/listselection.h"
#include "catalogue/listsort.h"
#include "catalogue/previewfollower.h"
#include "catalogue/registrationreport.h"
#include "catalogue/registrationsession.h"
#include "catalogue/rowactions.h"
#include "catalogue/splashwindow.h"
#include "catalogue/unfinishedmovesurvey.h"
#include "catalogue/windowpreferences.h"

namespace qm {
namespace {

constexpr int kClientWidth = 7830;
constexpr int kClientHeight = 6375;
// The title reaches up to the buttons beside it, which differ between the two layouts.
constexpr int kTitleWidthNormal = 5460;
constexpr int kTitleWidthCompact = 4500;
// The list takes this part of the height the window gains, the preview the rest.
constexpr qreal kListShare = 2.0 / 3.0;
constexpr qreal kPreviewShare = 1.0 - kListShare;

using Share = ElasticPlacement::Share;
constexpr Share kFixed{};
constexpr Share kRightEdge{1, 0, 0, 0};
constexpr Share kBottomEdge{0, 0, 1, 0};
constexpr Share kWide{0, 1, 0, 0};

}  // namespace

CatalogueWindow::CatalogueWindow()
    : Form(WindowKind::Catalogue),
      m_model(new CatalogueModel(this)),
      m_filter(new CatalogueFilter(*m_model, this)),
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
    // The filter row goes above the client area, whose controls keep their places.
    m_filterBar = new CatalogueFilterBar(*m_model, *m_filter, this);
    m_filterBar->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    layout->addWidget(m_filterBar);
    layout->addWidget(m_client, 1);

    const auto label = [this](const char* name, const QString& text, int left, int top, int width,
                              int height, Share share = kFixed) {
        // Pictures are plain labels; texts end in an ellipsis where their place is too small.
        QLabel* widget = text.isEmpty() ? new QLabel(m_client) : new ElidingLabel(text, m_client);
        widget->setObjectName(QLatin1String(name));
        place(widget, left, top, width, height, share);
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

    m_listView = makeCatalogueListView(m_filter, m_client);
    m_columns = new ListColumns(m_listView);
    m_sort = std::make_unique<ListSort>(m_listView, *m_filter);
    m_selection = std::make_unique<ListSelection>(m_listView, *m_model, *m_filter, *m_filterBar);
    addRowActions(m_listView, {[this] { launchSelected(); }, [this] { openSelectedFolder(); },
                               [this] { moveSelected(); }, [this] { deleteSelected(); },
                               [this] { editSelected(); }});
    connect(new QShortcut(QKeySequence::Find, this), &QShortcut::activated, m_filterBar,
            &CatalogueFilterBar::focusFilter);

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
    m_moveSurvey = new UnfinishedMoveSurvey(this);
    m_iconLoader = new IconLoader(
        *m_model, [this] { return m_filter->shownRows(); }, this);
    m_iconLoader->follow(m_listView);

    const CatalogueButtons buttons(m_client);
    m_menuButton = buttons.menu;
    m_registerAllButton = buttons.registerAll;
    place(buttons.launch, 120, 4920, 735, 255, kBottomEdge);
    place(buttons.openFolder, 120, 5280, 735, 255, kBottomEdge);
    place(buttons.move, 120, 5640, 735, 255, kBottomEdge);
    place(buttons.remove, 120, 6000, 735, 255, kBottomEdge);

    // Picture2 lies below the client area, as the scratch surface always did; nothing is drawn
    // on it, so it is not shown.
    label("Picture2", QString(), 120, 6480, 255, 255, kBottomEdge)->hide();

    connect(m_menuButton, &QPushButton::clicked, this, &CatalogueWindow::backToMenu);
    connect(m_registerAllButton, &QPushButton::clicked, this, &CatalogueWindow::registerAll);
    connect(buttons.launch, &QPushButton::clicked, this, &CatalogueWindow::launchSelected);
    connect(buttons.openFolder, &QPushButton::clicked, this, &CatalogueWindow::openSelectedFolder);
    connect(buttons.move, &QPushButton::clicked, this, &CatalogueWindow::moveSelected);
    connect(buttons.remove, &QPushButton::clicked, this, &CatalogueWindow::deleteSelected);
    connect(buttons.loadDirectory, &QPushButton::clicked, this, &CatalogueWindow::loadDirectory);
    connect(buttons.saveList, &QPushButton::clicked, this, &CatalogueWindow::saveList);
    connect(buttons.edit, &QPushButton::clicked, this, &CatalogueWindow::editSelected);
    connect(buttons.refreshIcons, &QPushButton::clicked, this, &CatalogueWindow::refreshIcons);

    connect(m_listView, &QTreeView::doubleClicked, this, &CatalogueWindow::editSelected);
    new PreviewFollower(m_listView, *m_filter, *m_selection, [this](int row) { previewRow(row); });
    connect(m_model, &CatalogueModel::nameEdited, this, [this] { m_service.markChanged(); });
    connect(m_textFiles, &QListWidget::itemClicked, this,
            [this] { m_preview->showSelectedFile(); });

    // Tab goes from the filter through the list and the buttons beside it to the preview.
    const QList<QWidget*> tabOrder{m_filterBar->filterBox(),
                                   m_filterBar->categoryBox(),
                                   m_listView,
                                   buttons.launch,
                                   buttons.openFolder,
                                   buttons.move,
                                   buttons.remove,
                                   m_registerAllButton,
                                   m_menuButton,
                                   m_textFiles,
                                   m_textPreview};
    for (qsizetype i = 1; i < tabOrder.size(); ++i) {
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    }
}

void CatalogueWindow::buildMenus() {
    const CatalogueMenus menus(this);
    m_menuBar = menus.bar;
    layout()->setMenuBar(m_menuBar);
    connect(menus.backToMenu, &QAction::triggered, this, &CatalogueWindow::backToMenu);
    connect(menus.exit, &QAction::triggered, this, &CatalogueWindow::exitWindow);
    connect(menus.edit, &QAction::triggered, this, &CatalogueWindow::editSelected);
    connect(menus.install, &QAction::triggered, this, &CatalogueWindow::showInstallerAndClose);
    connect(menus.remove, &QAction::triggered, this, &CatalogueWindow::deleteSelected);
    connect(menus.launch, &QAction::triggered, this, &CatalogueWindow::launchSelected);
    connect(menus.open, &QAction::triggered, this, &CatalogueWindow::openSelectedFolder);
    connect(menus.move, &QAction::triggered, this, &CatalogueWindow::moveSelected);
    m_compactAction = menus.compactLayout;
    connect(m_compactAction, &QAction::triggered, this,
            [this](bool checked) { applyLayout(checked); });
    m_registerAtStartAction = menus.registerAtStart;
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
    }
    return Form::eventFilter(watched, event);
}

bool CatalogueWindow::compactLayout() const {
    return m_compactAction->isChecked();
}

void CatalogueWindow::load() {
    // Events run while a large list loads: a click in the main menu behind must not start
    // anything meanwhile, least of all a second window on this working folder.
    const OtherWindowsHeld held(this);
    auto& registry = WindowRegistry::instance();
    if (registry.hasFactory(WindowKind::Splash)) {
        registry.show(WindowKind::Splash);
        EventPump::runPending();
    }
    m_autoRegistrationDone = false;
    m_switchingWindow = false;
    m_service.setFolders(state().workFolder, state().listFolder);
    if (CatalogueWindowPreferences::compactLayout()) {
        applyLayout(true);
    }
    CatalogueWindowPreferences::restoreSize(*this);
    setWindowTitle(QStringLiteral("Quillmorn ListView - ") + m_service.workFolder());
    loadDirectory();
    m_sort->restore();
    m_iconLoader->start();
    m_columns->restore();
    m_moveSurvey->start(
        m_service.workFolder(), m_service.folderNames(),
        [this](const QStringList& marked) { m_service.tellUnfinishedMoves(marked); });
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
    if (CatalogueWindowPreferences::registerAtStart()) {
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
    CatalogueWindowPreferences::storeSize(*this);
    m_columns->store();
    CatalogueWindowPreferences::storeOptions(m_compactAction->isChecked(),
                                             m_registerAtStartAction->isChecked());
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
        auto* splash =
            qobject_cast<SplashWindow*>(WindowRegistry::instance().find(WindowKind::Splash));
        if (splash) {
            pump.setProgress([splash](qint64 done) { splash->showProgress(done); });
        }
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
    m_iconLoader->stop();
    const BusyCursor busy;
    EventPump pump;
    // The rows in the order shown, so that those on screen get their icons first.
    m_service.refreshIcons(pump, m_filter->shownRows());
}

RegistrationSession::Hooks CatalogueWindow::registrationHooks() {
    // Rows are offered in the order the list shows them.
    return {
        [this] { return showModalWindowHere(WindowKind::Registration); },
        [this] { m_service.markChanged(); }, [this](int row) { selectRow(row); },
        [this] { return QList<int>(m_filter->shownRows().begin(), m_filter->shownRows().end()); }};
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
    const RegistrationSession::Outcome outcome = session.registerUnregistered();
    reportRegistration(session, outcome, sayNothingAdded);
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
    m_selection->select(row);
}

int CatalogueWindow::selectedRow() const {
    return m_selection->selected();
}

void CatalogueWindow::previewRow(int row) {
    if (row < 0 || row >= m_model->rowCount()) {
        return;
    }
    m_preview->showEntry(m_model->entry(row).exe, m_service.folderPathOfRow(row));
}

}  // namespace qm
