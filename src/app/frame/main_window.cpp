#include "app/frame/main_window.h"

#include "app/frame/info_panel.h"
#include "app/frame/lock_key_indicators.h"
#include "app/frame/qt_prompts.h"
#include "app/views/distance_time_view.h"
#include "app/views/line_tab_bar.h"
#include "app/views/line_view.h"
#include "app/views/wave_train_view.h"
#include "app/views/waveform_view.h"
#include "core/document/commands/waveform_commands.h"
#include "core/document/panel_state/suggestion_menu.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QTableWidget>
#include <QVBoxLayout>

// The icons live in this static library, whose resources must be registered by hand; the
// macro has to be used outside any namespace.
static void registerResources() {
    Q_INIT_RESOURCE(resources);
}

namespace crackdepth::app {
namespace {

const QString kReady = QStringLiteral("就绪");
constexpr int kPanelWidth = 220;

// The document's title with Qt's place for the modified mark, which the window system shows
// as "*" while the window is modified.
QString markedTitle(const Document& document) {
    return QString::fromStdString(document.title()) + QStringLiteral("[*]");
}

bool isInside(const QWidget* widget, const QWidget* container) {
    return widget != nullptr && container != nullptr &&
           (widget == container || container->isAncestorOf(widget));
}

} // namespace

MainWindow::MainWindow(Document& document, QtPrompts& prompts)
    : document_(document), prompts_(prompts), analysis_(document) {
    registerResources();
    setWindowTitle(markedTitle(document_));
    setWindowModified(document_.IsModified());
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.svg")));
    setAcceptDrops(true);
    buildContent();
    buildPanel();
    buildCommands();
    buildHotKeys();
    statusBar()->showMessage(kReady);
    new LockKeyIndicators(*statusBar());
    // Hovering a menu shows its (empty) prompt; the idle message comes back afterwards.
    connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString& text) {
        if (text.isEmpty()) {
            statusBar()->showMessage(kReady);
        }
    });
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { trackActiveView(now); });
    activeView_ = waveformView_;
    refreshTimer_.setSingleShot(true);
    refreshTimer_.setInterval(0);
    connect(&refreshTimer_, &QTimer::timeout, this, &MainWindow::rebuildViews);
    document_.addListener(this);
    updateActions();
    // A window may come to a document that already holds data; its rows fit the panes.
    infoPanel_->fillFileList();
    distanceTimeView_->fitRows();
    lineView_->waveTrain()->fitRows();
    scheduleRefresh();
}

MainWindow::~MainWindow() {
    document_.removeListener(this);
}

void MainWindow::buildContent() {
    waveformView_ = new WaveformView(document_, view_);
    distanceTimeView_ = new DistanceTimeView(document_, analysis_);
    lineTabBar_ = new LineTabBar(document_);
    lineView_ = new LineView(document_, analysis_, view_);

    auto* crossing = new QWidget;
    auto* crossingLayout = new QVBoxLayout(crossing);
    crossingLayout->setContentsMargins(0, 0, 0, 0);
    crossingLayout->setSpacing(1);
    crossingLayout->addWidget(lineTabBar_);
    crossingLayout->addWidget(lineView_, 1);

    lower_ = new QSplitter(Qt::Horizontal);
    lower_->setHandleWidth(5);
    lower_->addWidget(distanceTimeView_);
    lower_->addWidget(crossing);
    lower_->setChildrenCollapsible(false);
    // A change of width goes to the crossing pane; the plot keeps the width it was given.
    lower_->setStretchFactor(0, 0);
    lower_->setStretchFactor(1, 1);

    rows_ = new QSplitter(Qt::Vertical);
    rows_->setHandleWidth(2);
    rows_->addWidget(waveformView_);
    rows_->addWidget(lower_);
    rows_->setChildrenCollapsible(false);
    setCentralWidget(rows_);
}

void MainWindow::buildPanel() {
    infoPanel_ = new InfoPanel(document_, analysis_);
    infoPanel_->setContentViewActive([this] { return isContentViewActive(); });
    panelDock_ = new QDockWidget(QStringLiteral("工程信息栏"), this);
    panelDock_->setObjectName(QStringLiteral("projectInformationPane"));
    panelDock_->setWidget(infoPanel_);
    addDockWidget(Qt::LeftDockWidgetArea, panelDock_);
    const int width =
        document_.settings().panelWidths[0] > 0 ? document_.settings().panelWidths[0] : kPanelWidth;
    resizeDocks({panelDock_}, {width}, Qt::Horizontal);
}

void MainWindow::buildHotKeys() {
    struct Binding {
        QKeySequence key;
        ArrowHotKey hotKey;
    };
    const Binding bindings[] = {
        {QKeySequence(Qt::Key_Up), ArrowHotKey::Up},
        {QKeySequence(Qt::Key_Down), ArrowHotKey::Down},
        {QKeySequence(Qt::Key_Left), ArrowHotKey::Left},
        {QKeySequence(Qt::Key_Right), ArrowHotKey::Right},
        {QKeySequence(Qt::CTRL | Qt::Key_Left), ArrowHotKey::CtrlLeft},
        {QKeySequence(Qt::CTRL | Qt::Key_Right), ArrowHotKey::CtrlRight},
    };
    for (const Binding& binding : bindings) {
        // Application-wide, so the arrows reach the document before the table sees them.
        auto* shortcut = new QShortcut(binding.key, this);
        shortcut->setContext(Qt::ApplicationShortcut);
        const ArrowHotKey hotKey = binding.hotKey;
        connect(shortcut, &QShortcut::activated, this, [this, hotKey] {
            const HotKeyOutcome outcome =
                ApplyArrowHotKey(document_, hotKey, isContentViewActive(), view_);
            if (outcome.tableRow) {
                lineView_->selectRow(*outcome.tableRow);
            }
        });
    }
    // The keyboard's context-menu keys open the menu of the view being worked in, never the
    // main window's toolbar menu.
    for (const QKeySequence& key :
         {QKeySequence(Qt::SHIFT | Qt::Key_F10), QKeySequence(Qt::Key_Menu)}) {
        auto* shortcut = new QShortcut(key, this);
        connect(shortcut, &QShortcut::activated, this, &MainWindow::showContextMenuOfFocus);
    }
    qApp->installEventFilter(this);
    // "采用建议初至" while the waveform or the table has the focus.
    for (QWidget* owner :
         {static_cast<QWidget*>(waveformView_), static_cast<QWidget*>(lineView_->table())}) {
        auto* shortcut = new QShortcut(QKeySequence(QChar(kAdoptSuggestionKey)), owner);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this,
                [this] { RunSuggestionCommand(document_, SuggestionCommand::Adopt); });
    }
}

void MainWindow::showContextMenuOfFocus() {
    QWidget* focus = QApplication::focusWidget();
    if (isInside(focus, lineView_)) {
        lineView_->showPointMenuAtCurrent();
    } else if (isInside(focus, waveformView_)) {
        waveformView_->contextMenu()->exec(
            waveformView_->mapToGlobal(waveformView_->rect().center()));
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool arrow = key->key() == Qt::Key_Up || key->key() == Qt::Key_Down ||
                           key->key() == Qt::Key_Left || key->key() == Qt::Key_Right;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (arrow && isInside(widget, panelDock_)) {
            // Accepted, the key goes to the widget instead of the hot keys.
            event->accept();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::isContentViewActive() const {
    return contentActive_;
}

void MainWindow::trackActiveView(QWidget* now) {
    if (isInside(now, panelDock_)) {
        contentActive_ = false;
        activeView_ = infoPanel_;
        return;
    }
    for (QWidget* view :
         {static_cast<QWidget*>(waveformView_), static_cast<QWidget*>(distanceTimeView_),
          static_cast<QWidget*>(lineTabBar_), static_cast<QWidget*>(lineView_)}) {
        if (isInside(now, view)) {
            contentActive_ = true;
            activeView_ = view;
            return;
        }
    }
}

QAction* MainWindow::action(Command command) const {
    const auto found = actions_.find(command);
    return found == actions_.end() ? nullptr : found->second;
}

void MainWindow::updateActions() {
    for (const auto& [command, action] : actions_) {
        action->setEnabled(isAvailable(command, document_, view_));
    }
    panelToggle_->setChecked(panelDock_->isVisible() || !isVisible());
}

void MainWindow::documentChanged(const DocumentChange& change) {
    if (change.has(DocumentChange::Title)) {
        setWindowTitle(markedTitle(document_));
    }
    setWindowModified(document_.IsModified());
    if (change.has(DocumentChange::FileList)) {
        infoPanel_->fillFileList();
    }
    if (change.has(DocumentChange::FileOpened)) {
        if (!document_.path().empty()) {
            recentFiles_.add(QString::fromStdString(document_.path()));
            rebuildRecentMenu();
        }
        distanceTimeView_->fitRows();
        lineView_->waveTrain()->fitRows();
    }
    if (change.has(DocumentChange::Selection) || change.has(DocumentChange::Tabs)) {
        // The strip must offer the document's tabs before anything else is clicked.
        lineTabBar_->rebuild();
        FollowTab(view_, document_.data());
    }
    if (change.has(DocumentChange::History)) {
        updateHistoryTexts();
    }
    scheduleRefresh();
}

void MainWindow::scheduleRefresh() {
    refreshTimer_.start();
    updateActions();
}

void MainWindow::rebuildViews() {
    waveformView_->refresh();
    distanceTimeView_->viewport()->update();
    lineTabBar_->rebuild();
    lineView_->refresh();
    infoPanel_->refresh();
}

bool MainWindow::openFile(const QString& path) {
    return document_.OpenDocument(path.toStdString());
}

bool MainWindow::confirmExit() {
    document_.setPanelWidths({panelDock_->width(), kPanelWidth, kPanelWidth});
    return document_.ExitCommand();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (confirmExit()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            openFile(url.toLocalFile());
        }
    }
}

void MainWindow::arrangeRows() {
    const int height = rows_->height();
    rows_->setSizes({3 * height / 8, height - 3 * height / 8 - rows_->handleWidth()});
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    arrangeRows();
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!arranged_) {
        arranged_ = true;
        arrangeRows();
        // Halves once, when the window first shows; the operator's division stays after.
        const int width = lower_->width();
        lower_->setSizes({width / 2, width - width / 2 - lower_->handleWidth()});
    }
}

} // namespace crackdepth::app
