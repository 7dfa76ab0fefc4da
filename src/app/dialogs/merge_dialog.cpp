#include "app/dialogs/merge_dialog.h"

#include "app/dialogs/dialog_style.h"
#include "app/frame/qt_prompts.h"
#include "core/document/model/document.h"
#include "core/document/model/merge.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

namespace crackdepth::app {
namespace {

constexpr int kListWidth = 200; // one column, wide enough for the instrument's file names

} // namespace

MergeDialog::MergeDialog(Document& doc, QWidget* parent)
    : QDialog(parent), doc_(doc), session_(std::make_unique<MergeSession>(doc.prompts())),
      pathEdit_(new QLineEdit(this)), list_(new QListWidget(this)),
      addNonCrossing_(new QPushButton(QStringLiteral("添加不跨裂缝文件"), this)),
      addCrossing_(new QPushButton(QStringLiteral("添加跨裂缝文件"), this)),
      merge_(new QPushButton(QStringLiteral("合并"), this)),
      clear_(new QPushButton(QStringLiteral("清空"), this)),
      cancel_(new QPushButton(QStringLiteral("取消"), this)) {
    setWindowTitle(QStringLiteral("合并"));
    pathEdit_->setReadOnly(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setMinimumWidth(kListWidth);
    list_->setMinimumHeight(160);
    // No button takes Enter: a merge only on purpose.
    for (QPushButton* button : {addNonCrossing_, addCrossing_, merge_, clear_, cancel_}) {
        button->setAutoDefault(false);
    }

    auto* layout = new QGridLayout(this);
    layout->addWidget(pathEdit_, 0, 0);
    layout->addWidget(addNonCrossing_, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("待合并文件"), this), 1, 0);
    layout->addWidget(list_, 2, 0, 5, 1);
    layout->addWidget(addCrossing_, 2, 1);
    layout->addWidget(merge_, 3, 1);
    layout->addWidget(clear_, 4, 1);
    layout->setRowStretch(5, 1);
    layout->addWidget(cancel_, 6, 1);
    layout->setColumnMinimumWidth(0, 260); // room for a full path in the field above

    connect(addNonCrossing_, &QPushButton::clicked, this, &MergeDialog::onAddNonCrossing);
    connect(addCrossing_, &QPushButton::clicked, this, &MergeDialog::onAddCrossing);
    connect(merge_, &QPushButton::clicked, this, &MergeDialog::onMerge);
    connect(clear_, &QPushButton::clicked, this, &MergeDialog::onClear);
    connect(cancel_, &QPushButton::clicked, this, &MergeDialog::reject);
    connect(list_, &QListWidget::itemChanged, this, &MergeDialog::itemChanged);

    showSession();
    applyDialogStyle(*this);
}

MergeDialog::~MergeDialog() = default;

std::optional<std::string> MergeDialog::run(Document& doc, QWidget* parent) {
    MergeDialog dialog(doc, parent);
    dialog.exec();
    return dialog.fileToOpen();
}

std::vector<std::string> MergeDialog::openFiles(const std::string& filter) {
    if (chooseFiles_) {
        return chooseFiles_(filter);
    }
    std::vector<std::string> paths;
    for (const QString& path :
         QFileDialog::getOpenFileNames(this, QString(), QString(), qtFilter(filter))) {
        paths.push_back(path.toStdString());
    }
    return paths;
}

void MergeDialog::onAddNonCrossing() {
    session_->addNonCrossingFiles(openFiles(kNonCrossingFilter));
    showSession();
}

void MergeDialog::onAddCrossing() {
    session_->addCrossingFiles(openFiles(kCrossingFilter));
    showSession();
}

void MergeDialog::onMerge() {
    const MergeSession::Outcome outcome = session_->mergeAndOffer(doc_.projectInfo());
    showSession();
    if (outcome.written) {
        open_ = outcome.open;
        accept();
    }
}

void MergeDialog::onClear() {
    session_->clear();
    showSession();
}

void MergeDialog::itemChanged(QListWidgetItem* item) {
    session_->setChecked(static_cast<std::size_t>(list_->row(item)),
                         item->checkState() == Qt::Checked);
    // Only the buttons: the item must outlive the signal that reports its change.
    showControls();
}

// The list is rebuilt from the session each time: a merge drops the unchecked rows.
void MergeDialog::showSession() {
    {
        const QSignalBlocker blocker(list_);
        list_->clear();
        for (const MergeSession::Row& row : session_->rows()) {
            auto* item = new QListWidgetItem(QString::fromStdString(row.name), list_);
            item->setToolTip(QString::fromStdString(row.path));
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(row.checked ? Qt::Checked : Qt::Unchecked);
        }
    }
    showControls();
}

void MergeDialog::showControls() {
    const MergeSession::Controls controls = session_->controls();
    merge_->setEnabled(controls.merge);
    addCrossing_->setEnabled(controls.addCrossing);
    clear_->setEnabled(controls.clear);
    addNonCrossing_->setEnabled(controls.addNonCrossing);
    // setText leaves the caret at the end, so a long path shows its file name.
    pathEdit_->setText(QString::fromStdString(controls.nonCrossingPath));
    pathEdit_->setToolTip(pathEdit_->text());
}

} // namespace crackdepth::app
