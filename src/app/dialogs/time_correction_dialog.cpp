#include "app/dialogs/time_correction_dialog.h"

#include "app/dialogs/dialog_style.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace crackdepth::app {
namespace {

// The button stands beside both fields, so its caption is broken at the word boundaries.
const QString kUndoButtonText = QStringLiteral("撤销当前\n文件的\n声时修正");

// See the filter dialog: only a text that differs is put back, without raising textEdited.
void showText(QLineEdit& edit, const std::string& text) {
    const QString shown = QString::fromStdString(text);
    if (edit.text() != shown) {
        edit.setText(shown);
    }
}

} // namespace

TimeCorrectionDialog::TimeCorrectionDialog(TimeCorrectionState state, QWidget* parent)
    : QDialog(parent), state_(std::move(state)), lineEdit_(new QLineEdit(this)),
      allEdit_(new QLineEdit(this)), undoButton_(new QPushButton(kUndoButtonText, this)) {
    undoButton_->setToolTip(QString::fromUtf8(kUndoCorrectionsCaption));
    undoButton_->setAutoDefault(false); // Enter in a field means OK, not undo
    undoButton_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QString::fromUtf8(kLineCorrectionCaption), this), 0, 0);
    grid->addWidget(lineEdit_, 0, 1);
    grid->addWidget(new QLabel(QString::fromUtf8(kAllCorrectionCaption), this), 1, 0);
    grid->addWidget(allEdit_, 1, 1);
    grid->addWidget(undoButton_, 0, 2, 2, 1);
    grid->setColumnMinimumWidth(1, 90);
    grid->setHorizontalSpacing(10);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    okButton_ = buttons->button(QDialogButtonBox::Ok);
    cancelButton_ = buttons->button(QDialogButtonBox::Cancel);
    okButton_->setText(QStringLiteral("确定"));
    cancelButton_->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TimeCorrectionDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TimeCorrectionDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(6);
    layout->addWidget(buttons);

    connect(lineEdit_, &QLineEdit::textEdited, this, [this](const QString& text) {
        showView(state_.onLineTextChanged(text.toStdString()));
    });
    connect(allEdit_, &QLineEdit::textEdited, this,
            [this](const QString& text) { showView(state_.onAllTextChanged(text.toStdString())); });
    connect(undoButton_, &QPushButton::clicked, this,
            [this] { showView(state_.onUndoCorrections()); });

    showView(state_.view());
    applyDialogStyle(*this);
}

void TimeCorrectionDialog::run(Document& doc, QWidget* parent) {
    std::optional<TimeCorrectionState> state = TimeCorrectionState::start(doc);
    if (!state) {
        return;
    }
    TimeCorrectionDialog dialog(std::move(*state), parent);
    dialog.exec();
}

void TimeCorrectionDialog::showView(const TimeCorrectionView& view) {
    setWindowTitle(QString::fromStdString(view.title));
    showText(*lineEdit_, view.lineText);
    showText(*allEdit_, view.allText);
    lineEdit_->setEnabled(view.lineEditable);
}

void TimeCorrectionDialog::accept() {
    // A field without a correction in range keeps the dialog open; the state has said why.
    if (!state_.onOk()) {
        showView(state_.view());
        return;
    }
    QDialog::accept();
}

void TimeCorrectionDialog::reject() {
    state_.onCancel();
    QDialog::reject();
}

} // namespace crackdepth::app
