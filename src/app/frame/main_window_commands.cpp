// The command table of the main window: menus, toolbar, their availability and handlers.
#include "app/dialogs/about_dialog.h"
#include "app/dialogs/filter_dialog.h"
#include "app/dialogs/merge_dialog.h"
#include "app/dialogs/print_settings_dialog.h"
#include "app/dialogs/test_parameters_dialog.h"
#include "app/dialogs/time_correction_dialog.h"
#include "app/frame/main_window.h"
#include "app/frame/qt_prompts.h"
#include "app/frame/report_printing.h"
#include "app/frame/report_progress_dialog.h"
#include "app/views/distance_time_view.h"
#include "app/views/line_tab_bar.h"
#include "app/views/line_view.h"
#include "app/views/waveform_view.h"
#include "core/document/commands/waveform_commands.h"
#include "report/report_exports.h"

#include <QApplication>
#include <QDockWidget>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

namespace crackdepth::app {
namespace {

struct CommandSpec {
    Command command;
    const char* caption; // with the shortcut text after a tab where the menu shows one
    const char* tooltip; // toolbar tooltip; empty for commands without a button
    const char* icon;    // toolbar icon; empty for commands without a button
};

constexpr CommandSpec kFileMenu[] = {
    // Ctrl+O opens any kind of file ("打开文件..." above these), so it is shown there.
    {Command::OpenNonCrossing, "打开不跨裂缝文件(&O)...", "打开不跨裂缝文件", "open_noncrossing"},
    {Command::OpenResult, "打开结果文件(&A)...\tCtrl+A", "打开结果文件", "open_result"},
    {Command::Merge, nullptr, nullptr, nullptr}, // separator
    {Command::Merge, "合并文件", "", ""},
    {Command::QuickSave, "快存结果文件", "快存结果文件", "quick_save"},
    {Command::SaveAs, "结果文件另存为", "", ""},
    {Command::Close, nullptr, nullptr, nullptr},
    {Command::Close, "关闭当前文档(&C)", "", ""},
    {Command::PrintSettings, nullptr, nullptr, nullptr},
    {Command::PrintSettings, "打印设置", "更改打印机选项和打印选项", "print_settings"},
    {Command::PrintPreview, "打印预览(&V)", "打印预览", "print_preview"},
    {Command::Print, "打印", "打印", "print"},
};

// Their texts name the edit they would undo or redo (see updateHistoryTexts).
constexpr CommandSpec kEditMenu[] = {
    {Command::Undo, "撤销(&U)", "撤销", "undo"},
    {Command::Redo, "重做(&R)", "重做", "redo"},
};

constexpr CommandSpec kViewMenuTop[] = {
    {Command::TestParameters, "检测参数", "", ""},
    {Command::WaveTrain, nullptr, nullptr, nullptr},
    {Command::WaveTrain, "波列视图切换", "波列视图切换", "wave_train"},
    {Command::TimeFrequency, "时域/频域视图切换", "波形频域与时域视图切换", "time_frequency"},
};

constexpr CommandSpec kViewMenuBottom[] = {
    {Command::PreviousPoint, "前一测点", "", ""},
    {Command::NextPoint, "后一测点", "", ""},
};

constexpr CommandSpec kReportMenu[] = {
    {Command::WordReport, "输出到word", "输出报告到word", "report_word"},
    {Command::SpreadsheetReport, "输出到excel", "导出到EXCEL", "report_spreadsheet"},
    {Command::BitmapReport, "输出到BMP", "输出报告到BMP", "report_bitmap"},
    {Command::PdfReport, "输出到PDF", "输出报告到PDF", "report_pdf"},
};

constexpr CommandSpec kWaveformMenu[] = {
    {Command::Filter, "滤波", "", ""},
    {Command::Invert, "波形反相", "当前波形反向", "invert"},
    {Command::TimeCorrection, "声时修正", "", ""},
};

constexpr CommandSpec kHelpMenu[] = {
    {Command::Contents, "目录", "", ""},
    {Command::ContactUs, "联系我们", "", ""},
    {Command::About, "关于 ULK浅裂缝分析软件(&A)...", "", ""},
};

// The toolbar's buttons, in order, without separators.
constexpr Command kToolbar[] = {
    Command::OpenNonCrossing,
    Command::OpenResult,
    Command::QuickSave,
    Command::Undo,
    Command::Redo,
    Command::WaveTrain,
    Command::TimeFrequency,
    Command::Invert,
    Command::WordReport,
    Command::SpreadsheetReport,
    Command::BitmapReport,
    Command::PdfReport,
    Command::PrintSettings,
    Command::PrintPreview,
    Command::Print,
};

// "撤销 拾取初至": the command's caption with the edit's name, mnemonic and shortcut kept.
QString historyText(const char* verb, const char* mnemonic, const Edit* edit) {
    const QString name =
        edit != nullptr ? QStringLiteral(" ") + QString::fromStdString(edit->name()) : QString();
    return QString::fromUtf8(verb) + name + QString::fromUtf8(mnemonic);
}
// The commands that come from the window framework show a prompt in the status bar while
// the pointer is over them; the program's own commands show none.
constexpr std::pair<Command, const char*> kFrameworkPrompts[] = {
    {Command::PrintPreview, "显示整页"},
    {Command::Print, "打印活动文档"},
    {Command::About, "显示程序信息、版本号和版权"},
};

} // namespace

void MainWindow::buildCommands() {
    toolbar_ = new QToolBar(QStringLiteral("工具栏"), this);
    toolbar_->setObjectName(QStringLiteral("toolbar"));
    toolbar_->setIconSize(QSize(32, 32));
    toolbar_->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, toolbar_);

    const auto addCommands = [this](QMenu* menu, std::span<const CommandSpec> specs) {
        for (const CommandSpec& spec : specs) {
            if (spec.caption == nullptr) {
                menu->addSeparator();
                continue;
            }
            auto* action = menu->addAction(QString::fromUtf8(spec.caption));
            action->setStatusTip(QString());
            if (*spec.tooltip != 0) {
                action->setToolTip(QString::fromUtf8(spec.tooltip));
            }
            if (*spec.icon != 0) {
                action->setIcon(QIcon(QStringLiteral(":/icons/%1.svg").arg(spec.icon)));
            }
            const Command command = spec.command;
            connect(action, &QAction::triggered, this, [this, command] { runCommand(command); });
            actions_[command] = action;
        }
    };

    QMenu* file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    fileMenu_ = file;
    addCommands(file, kFileMenu);
    file->addSeparator();
    recentPlaceholder_ = file->addAction(QStringLiteral("最近的文件"));
    file->addSeparator();
    // Esc runs the menu entry itself: the window's close, which asks the document's exit
    // questions before anything unsaved could go.
    auto* exit = file->addAction(QStringLiteral("退出"));
    exit->setShortcut(QKeySequence(Qt::Key_Escape));
    connect(exit, &QAction::triggered, this, &QWidget::close);
    actions_[Command::Exit] = exit;

    addCommands(menuBar()->addMenu(QStringLiteral("编辑(&E)")), kEditMenu);
    actions_.at(Command::Undo)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    actions_.at(Command::Redo)
        ->setShortcuts(
            {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    updateHistoryTexts();

    QMenu* view = menuBar()->addMenu(QStringLiteral("查看(&V)"));
    addCommands(view, kViewMenuTop);
    view->addSeparator();
    toolbarToggle_ = view->addAction(QStringLiteral("工具栏(&T)"));
    toolbarToggle_->setCheckable(true);
    toolbarToggle_->setChecked(true);
    connect(toolbarToggle_, &QAction::toggled, toolbar_, &QToolBar::setVisible);
    panelToggle_ = view->addAction(QStringLiteral("工程信息栏"));
    panelToggle_->setCheckable(true);
    panelToggle_->setChecked(true);
    connect(panelToggle_, &QAction::triggered, panelDock_, &QDockWidget::setVisible);
    connect(panelDock_, &QDockWidget::visibilityChanged, this,
            [this](bool) { panelToggle_->setChecked(panelDock_->isVisible()); });
    auto* statusToggle = view->addAction(QStringLiteral("状态栏(&S)"));
    statusToggle->setCheckable(true);
    statusToggle->setChecked(true);
    statusToggle->setStatusTip(QStringLiteral("显示或隐藏状态栏"));
    connect(statusToggle, &QAction::toggled, statusBar(), &QStatusBar::setVisible);
    view->addSeparator();
    addCommands(view, kViewMenuBottom);

    addCommands(menuBar()->addMenu(QStringLiteral("生成报告(&R)")), kReportMenu);
    addCommands(menuBar()->addMenu(QStringLiteral("波形处理(&W)")), kWaveformMenu);
    addCommands(menuBar()->addMenu(QStringLiteral("帮助(&H)")), kHelpMenu);

    for (const Command command : kToolbar) {
        toolbar_->addAction(actions_.at(command));
    }
    for (const auto& [command, prompt] : kFrameworkPrompts) {
        actions_.at(command)->setStatusTip(QString::fromUtf8(prompt));
    }
    for (QMenu* menu : menuBar()->findChildren<QMenu*>()) {
        connect(menu, &QMenu::aboutToShow, this, &MainWindow::updateActions);
    }

    // The framework's keys: a general open dialog, save, pane cycling, print.
    actions_.at(Command::Print)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    // The general open is a menu entry of its own, so that Ctrl+O is shown beside the command
    // it runs (it opens any kind, also while a result file is open).
    auto* openAny = new QAction(QStringLiteral("打开文件..."), this);
    openAny->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    fileMenu_->insertAction(fileMenu_->actions().value(0), openAny);
    connect(openAny, &QAction::triggered, this, [this] { document_.OpenAnyCommand(); });
    auto* save = new QAction(this);
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(save, &QAction::triggered, this, [this] {
        if (document_.path().empty()) {
            document_.SaveAsCommand();
        } else {
            document_.SaveDocument(document_.path());
        }
    });
    auto* newDocument = new QAction(this);
    newDocument->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    connect(newDocument, &QAction::triggered, this, [this] { document_.NewCommand(); });
    // F6 and Shift+F6 move the active view through the content panes.
    const auto cyclePanes = [this](int step) {
        const QList<QWidget*> panes{waveformView_, distanceTimeView_, lineTabBar_, lineView_};
        const int at = static_cast<int>(panes.indexOf(activeView_.data()));
        const int next = (std::max(at, 0) + step + static_cast<int>(panes.size())) %
                         static_cast<int>(panes.size());
        panes[next]->setFocus(Qt::ShortcutFocusReason);
        activeView_ = panes[next];
        contentActive_ = true;
    };
    auto* nextPane = new QAction(this);
    nextPane->setShortcut(QKeySequence(Qt::Key_F6));
    connect(nextPane, &QAction::triggered, this, [cyclePanes] { cyclePanes(1); });
    auto* previousPane = new QAction(this);
    previousPane->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6));
    connect(previousPane, &QAction::triggered, this, [cyclePanes] { cyclePanes(-1); });
    addActions({openAny, save, newDocument, nextPane, previousPane});
    rebuildRecentMenu();
}

void MainWindow::rebuildRecentMenu() {
    fillRecentFiles(*fileMenu_, *recentPlaceholder_, recentEntries_, recentFiles_,
                    [this](const QString& path) {
                        // A file that no longer opens leaves the list; a cancelled save
                        // question keeps it.
                        if (document_.Open(path.toStdString()) == OpenOutcome::Refused) {
                            recentFiles_.remove(path);
                            rebuildRecentMenu();
                        }
                    });
}

void MainWindow::updateHistoryTexts() {
    QAction* undo = action(Command::Undo);
    QAction* redo = action(Command::Redo);
    if (undo == nullptr || redo == nullptr) {
        return;
    }
    undo->setText(historyText("撤销", "(&U)", document_.undoable()));
    redo->setText(historyText("重做", "(&R)", document_.redoable()));
    undo->setToolTip(historyText("撤销", "", document_.undoable()));
    redo->setToolTip(historyText("重做", "", document_.redoable()));
}

void MainWindow::runCommand(Command command) {
    if (!isAvailable(command, document_, view_)) {
        return;
    }
    switch (command) {
    case Command::OpenNonCrossing:
        document_.OpenNonCrossingCommand();
        break;
    case Command::OpenResult:
        document_.OpenResultCommand();
        break;
    case Command::QuickSave:
        document_.QuickSaveCommand();
        break;
    case Command::SaveAs:
        document_.SaveAsCommand();
        break;
    case Command::Close:
        document_.CloseCommand();
        break;
    case Command::Undo:
        document_.Undo();
        break;
    case Command::Redo:
        document_.Redo();
        break;
    case Command::WaveTrain:
        ToggleWaveTrain(view_, document_.data());
        scheduleRefresh();
        break;
    case Command::TimeFrequency:
        ToggleTimeDomain(view_, document_.data());
        scheduleRefresh();
        break;
    case Command::PreviousPoint:
        PreviousPoint(document_);
        break;
    case Command::NextPoint:
        NextPoint(document_);
        break;
    case Command::Invert:
        InvertCurrentPoint(document_);
        break;
    case Command::About:
        AboutDialog::run(this);
        break;
    case Command::Merge:
        if (const auto merged = MergeDialog::run(document_, this)) {
            openFile(QString::fromStdString(*merged));
        }
        break;
    case Command::Filter:
        FilterDialog::run(document_, this);
        break;
    case Command::TimeCorrection:
        TimeCorrectionDialog::run(document_, this);
        break;
    case Command::TestParameters:
        TestParametersDialog::run(document_, this);
        break;
    case Command::PrintSettings:
        PrintSettingsDialog::run(document_, this);
        break;
    case Command::Print:
        PrintReport(document_, document_.settings().print, this);
        scheduleRefresh();
        break;
    case Command::PrintPreview:
        PreviewReport(document_, document_.settings().print, this);
        break;
    case Command::BitmapReport:
        report::ExportBitmapReport(document_, document_.settings().print);
        break;
    case Command::PdfReport:
        exportReport(report::ReportFile::Pdf);
        break;
    case Command::WordReport:
        exportReport(report::ReportFile::Docx);
        break;
    case Command::SpreadsheetReport:
        exportReport(report::ReportFile::Xlsx);
        break;
    default:
        // Contents and contact are never available.
        statusBar()->showMessage(QStringLiteral("此功能将在后续版本中提供"), 3000);
        break;
    }
    updateActions();
}

void MainWindow::exportReport(report::ReportFile kind) {
    ReportProgressDialog progress(this);
    const auto written = report::ExportReportFile(
        document_, document_.settings().print, kind,
        [](bool busy) {
            if (busy) {
                QApplication::setOverrideCursor(Qt::WaitCursor);
            } else {
                QApplication::restoreOverrideCursor();
            }
        },
        progress.progress());
    if (!written || kind == report::ReportFile::Pdf) {
        return;
    }
    ShowWrittenReport(*written, fileOpener_, document_.prompts(), *statusBar());
}

} // namespace crackdepth::app
