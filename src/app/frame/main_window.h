// The main window: menus, toolbar, status bar, the "工程信息栏" pane and the fixed arrangement of
// the content views over the one document. It turns commands and keys into document calls
// and the document's notifications into repaints.
#pragma once

#include "app/frame/analysis_cache.h"
#include "app/frame/recent_files.h"
#include "app/frame/report_files.h"
#include "core/document/commands/command_availability.h"
#include "core/document/model/document.h"
#include "core/document/model/view_state.h"
#include "report/report_exports.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <map>

class QAction;
class QDockWidget;
class QMenu;
class QSplitter;
class QToolBar;

namespace crackdepth::app {

class QtPrompts;
class InfoPanel;
class WaveformView;
class DistanceTimeView;
class LineTabBar;
class LineView;

class MainWindow final : public QMainWindow, public DocumentListener {
    Q_OBJECT

public:
    MainWindow(Document& document, QtPrompts& prompts);
    ~MainWindow() override;

    void documentChanged(const DocumentChange& change) override;

    // Opens a file through the document (command line, dropped files, recent files).
    bool openFile(const QString& path);

    // True while the active view is one of the content views (not the information panel).
    bool isContentViewActive() const;

    QAction* action(Command command) const;
    QAction* toolbarToggle() const { return toolbarToggle_; }
    QAction* panelToggle() const { return panelToggle_; }
    QDockWidget* panelDock() const { return panelDock_; }
    InfoPanel* infoPanel() const { return infoPanel_; }
    WaveformView* waveformView() const { return waveformView_; }
    DistanceTimeView* distanceTimeView() const { return distanceTimeView_; }
    LineTabBar* lineTabBar() const { return lineTabBar_; }
    LineView* lineView() const { return lineView_; }
    const RecentFiles& recentFiles() const { return recentFiles_; }
    const ViewState& viewState() const { return view_; }

    // How written office reports are opened (the desktop's program unless replaced).
    void setFileOpener(FileOpener opener) { fileOpener_ = std::move(opener); }

    // Enables every action by the document's state (menus also do it when they open).
    void updateActions();
    // The exit steps; true when the window may close.
    bool confirmExit();

protected:
    void closeEvent(QCloseEvent* event) override;
    // Lets a widget outside the content views that has the focus (a list of the information
    // panel) keep its arrow keys, which the hot keys would otherwise take.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildContent();
    void buildPanel();
    void buildCommands();
    void buildHotKeys();
    // Shift+F10 and the Menu key: the context menu of the content view that has the focus.
    void showContextMenuOfFocus();
    void rebuildRecentMenu();
    void runCommand(Command command);
    // "输出到PDF", "输出到word", "输出到excel"; the office files open in the office program.
    void exportReport(report::ReportFile kind);
    // Every view is rebuilt from the data once the running command has returned, whatever
    // widget has the focus; many changes in one command give one rebuild.
    void scheduleRefresh();
    void rebuildViews();
    void updateHistoryTexts();
    void arrangeRows();
    void trackActiveView(QWidget* now);

    Document& document_;
    QtPrompts& prompts_;
    ViewState view_;
    AnalysisCache analysis_;
    RecentFiles recentFiles_;
    std::map<Command, QAction*> actions_;
    QAction* toolbarToggle_ = nullptr;
    QAction* panelToggle_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QAction* recentPlaceholder_ = nullptr;
    QList<QAction*> recentEntries_;
    QToolBar* toolbar_ = nullptr;
    QDockWidget* panelDock_ = nullptr;
    InfoPanel* infoPanel_ = nullptr;
    QSplitter* rows_ = nullptr;
    QSplitter* lower_ = nullptr;
    WaveformView* waveformView_ = nullptr;
    DistanceTimeView* distanceTimeView_ = nullptr;
    LineTabBar* lineTabBar_ = nullptr;
    LineView* lineView_ = nullptr;
    QPointer<QWidget> activeView_;
    bool contentActive_ = true;
    bool arranged_ = false;
    QTimer refreshTimer_;
    FileOpener fileOpener_ = openWithDesktop;
};

} // namespace crackdepth::app
