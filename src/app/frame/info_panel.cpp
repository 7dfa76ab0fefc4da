#include "app/frame/info_panel.h"

#include "app/frame/analysis_cache.h"
#include "app/frame/info_page_widget.h"
#include "core/analysis/crack_evaluation.h"
#include "core/document/model/document.h"
#include "core/document/model/line_tabs.h"
#include "core/document/panel_state/panel_refresh.h"

#include <QComboBox>
#include <QDate>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>
#include <QVBoxLayout>

namespace crackdepth::app {
namespace {

// A result field that can be read and scrolled but never edited or given a caret.
QLineEdit* resultField() {
    auto* field = new QLineEdit;
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::NoFocus);
    return field;
}

CalendarDate today() {
    const QDate date = QDate::currentDate();
    return {date.year(), date.month(), date.day()};
}

} // namespace

InfoPanel::InfoPanel(Document& document, AnalysisCache& analysis, QWidget* parent)
    : QWidget(parent), document_(document), analysis_(analysis), record_(document.projectInfo()),
      testPage_(std::make_unique<TestInfoPage>(record_)),
      projectPage_(std::make_unique<ProjectInfoPage>(record_)), fileList_(new QListWidget),
      pages_(new QTabWidget), testWidget_(new InfoPageWidget(*testPage_)),
      projectWidget_(new InfoPageWidget(*projectPage_)), method_(new QComboBox),
      intercept_(resultField()), velocity_(resultField()), crackDepth_(resultField()),
      checks_(new QListWidget) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    fileList_->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(fileList_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { openFromList(fileList_->row(item)); });
    layout->addWidget(fileList_, 1);

    pages_->addTab(testWidget_, QString::fromUtf8(TestInfoPage::kTitle));
    pages_->addTab(projectWidget_, QString::fromUtf8(ProjectInfoPage::kTitle));
    connect(pages_, &QTabWidget::currentChanged, this, &InfoPanel::onPageChanged);
    connect(testWidget_, &InfoPageWidget::edited, this,
            [this](std::size_t field) { commitPage(TestInfoPage::kTitle, field); });
    connect(projectWidget_, &InfoPageWidget::edited, this,
            [this](std::size_t field) { commitPage(ProjectInfoPage::kTitle, field); });
    layout->addWidget(pages_, 2);

    auto* results = new QGroupBox(QStringLiteral("分析结果"));
    auto* form = new QFormLayout(results);
    method_->addItems({QString::fromUtf8(kRegressionText), QString::fromUtf8(kTwoPointText)});
    connect(method_, &QComboBox::activated, this,
            [this](int index) { ChooseAnalysisMethod(document_, index, contentActive_()); });
    form->addRow(QStringLiteral("分析方法"), method_);
    form->addRow(QStringLiteral("回归系数A"), intercept_);
    form->addRow(QStringLiteral("回归系数B"), velocity_);
    form->addRow(QStringLiteral("平均裂深"), crackDepth_);
    layout->addWidget(results);

    // The findings, each wrapped to the pane's width; a click shows the finding's point and
    // leaves the focus where it was, so that the keys act on that point at once.
    auto* checkGroup = new QGroupBox(QString::fromUtf8(kCheckListTitle));
    auto* checkLayout = new QVBoxLayout(checkGroup);
    checkLayout->setContentsMargins(4, 4, 4, 4);
    checks_->setFocusPolicy(Qt::NoFocus);
    checks_->setWordWrap(true);
    checks_->setResizeMode(QListView::Adjust);
    checks_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(checks_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        ShowCheck(document_, shownChecks_, static_cast<std::size_t>(checks_->row(item)));
    });
    checkLayout->addWidget(checks_);
    layout->addWidget(checkGroup, 1);
    reloadPages();
    refresh();
}

InfoPanel::~InfoPanel() = default;

void InfoPanel::refresh() {
    const PanelState state = panelStateOf(document_.data(), analysis_.current());
    method_->setEnabled(state.enabled);
    intercept_->setEnabled(state.enabled);
    velocity_->setEnabled(state.enabled);
    crackDepth_->setEnabled(state.enabled);
    method_->setCurrentIndex(state.methodIndex);
    intercept_->setText(QString::fromStdString(state.interceptText));
    velocity_->setText(QString::fromStdString(state.velocityText));
    crackDepth_->setText(QString::fromStdString(state.crackDepthText));
    crackDepth_->setToolTip(QString::fromStdString(state.crackDepthTip));
    fillChecks();
    if (!(document_.projectInfo() == record_)) {
        reloadPages();
    }
}

// The rows are rebuilt only when the findings change, so that a clicked row stays marked.
void InfoPanel::fillChecks() {
    const CheckList& list = analysis_.checks();
    if (list.checks == shownChecks_.checks && checks_->count() > 0) {
        return;
    }
    shownChecks_ = list;
    checks_->clear();
    for (const std::string& row : list.rows()) {
        auto* item = new QListWidgetItem(QString::fromStdString(row));
        item->setToolTip(item->text());
        checks_->addItem(item);
    }
}

// The pages show the document's record again (an open, an undo): what was typed and stored
// is in that record already, so nothing is lost.
void InfoPanel::reloadPages() {
    record_ = document_.projectInfo();
    testPage_->initialise(today(), document_.prompts());
    projectPage_->initialise(today(), document_.prompts());
    testWidget_->showState();
    projectWidget_->showState();
}

void InfoPanel::commitPage(const char* title, std::size_t field) {
    if (!(record_ == document_.projectInfo())) {
        EditProjectInfo(document_, record_, title, field);
    }
}

void InfoPanel::fillFileList() {
    const FileList list = document_.fileList();
    fileList_->clear();
    filePaths_.clear();
    for (std::size_t i = 0; i < list.names.size(); ++i) {
        fileList_->addItem(QString::fromStdString(list.names[i]));
        filePaths_ << QString::fromStdString(list.paths[i]);
    }
    fileList_->setCurrentRow(list.selected);
}

void InfoPanel::openFromList(int row) {
    if (row < 0 || row >= filePaths_.size()) {
        return;
    }
    document_.OpenDocument(filePaths_[row].toStdString());
}

void InfoPanel::onPageChanged(int index) {
    // The page being hidden keeps what was typed; the one being shown re-reads the record.
    InfoPage& hidden = shownPage_ == 0 ? static_cast<InfoPage&>(*testPage_) : *projectPage_;
    InfoPage& shown = index == 0 ? static_cast<InfoPage&>(*testPage_) : *projectPage_;
    hidden.store();
    commitPage(shownPage_ == 0 ? TestInfoPage::kTitle : ProjectInfoPage::kTitle, SIZE_MAX);
    shown.load();
    (index == 0 ? testWidget_ : projectWidget_)->showState();
    shownPage_ = std::clamp(index, 0, 1);
}

} // namespace crackdepth::app
