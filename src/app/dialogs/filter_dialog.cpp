#include "app/dialogs/filter_dialog.h"

#include "app/dialogs/dialog_style.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace crackdepth::app {
namespace {

// Puts the state's text back only when it differs: setText moves the caret to the end,
// which would get in the way of typing in the middle of a number. setText raises no
// textEdited, so a text the state has already handled (a cut one) is not handled twice.
void showText(QLineEdit& edit, const std::string& text) {
    const QString shown = QString::fromStdString(text);
    if (edit.text() != shown) {
        edit.setText(shown);
    }
}

} // namespace

FilterDialog::FilterDialog(FilterDialogState state, QWidget* parent)
    : QDialog(parent), state_(std::move(state)),
      // Spelt out rather than the core's caption constants: the test-parameters header has
      // constants of the same names with other texts, and the linker keeps one of each.
      highBox_(new QCheckBox(QStringLiteral("高通(kHz)"), this)),
      lowBox_(new QCheckBox(QStringLiteral("低通(kHz)"), this)), highEdit_(new QLineEdit(this)),
      lowEdit_(new QLineEdit(this)),
      zeroPhaseBox_(new QCheckBox(QString::fromUtf8(kZeroPhaseCaption), this)),
      delayLabel_(new QLabel(this)) {
    auto* grid = new QGridLayout;
    grid->addWidget(highBox_, 0, 0);
    grid->addWidget(highEdit_, 0, 1);
    grid->addWidget(lowBox_, 1, 0);
    grid->addWidget(lowEdit_, 1, 1);
    grid->addWidget(zeroPhaseBox_, 2, 0, 1, 2);
    grid->addWidget(delayLabel_, 3, 0, 1, 2);
    grid->setColumnMinimumWidth(1, 90);
    zeroPhaseBox_->setToolTip(QStringLiteral("正向和反向各滤一次，波形不延时"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    okButton_ = buttons->button(QDialogButtonBox::Ok);
    cancelButton_ = buttons->button(QDialogButtonBox::Cancel);
    okButton_->setText(QStringLiteral("确定"));
    cancelButton_->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &FilterDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &FilterDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(6);
    layout->addWidget(buttons);

    // textEdited, not textChanged: only the operator's typing is a change; the texts the
    // state hands back are already handled.
    connect(highEdit_, &QLineEdit::textEdited, this, [this](const QString& text) {
        showView(state_.onHighPassTextChanged(text.toStdString()));
    });
    connect(lowEdit_, &QLineEdit::textEdited, this, [this](const QString& text) {
        showView(state_.onLowPassTextChanged(text.toStdString()));
    });
    connect(highBox_, &QCheckBox::clicked, this,
            [this](bool on) { showView(state_.onHighPassSwitched(on)); });
    connect(lowBox_, &QCheckBox::clicked, this,
            [this](bool on) { showView(state_.onLowPassSwitched(on)); });
    connect(zeroPhaseBox_, &QCheckBox::clicked, this,
            [this](bool on) { showView(state_.onZeroPhaseSwitched(on)); });

    showView(state_.view());
    applyDialogStyle(*this);
}

void FilterDialog::run(Document& doc, QWidget* parent) {
    std::optional<FilterDialogState> state = FilterDialogState::start(doc);
    if (!state) {
        return;
    }
    FilterDialog dialog(std::move(*state), parent);
    dialog.exec();
}

void FilterDialog::showView(const FilterDialogView& view) {
    setWindowTitle(QString::fromStdString(view.title));
    showText(*highEdit_, view.highPassText);
    showText(*lowEdit_, view.lowPassText);
    highBox_->setChecked(view.highPassOn);
    lowBox_->setChecked(view.lowPassOn);
    highEdit_->setEnabled(view.highPassOn);
    lowEdit_->setEnabled(view.lowPassOn);
    zeroPhaseBox_->setChecked(view.zeroPhase);
    delayLabel_->setText(QString::fromStdString(view.delayText));
}

void FilterDialog::accept() {
    // An entry the point cannot carry keeps the dialog open; the state has said why.
    if (!state_.onOk()) {
        showView(state_.view());
        return;
    }
    QDialog::accept();
}

void FilterDialog::reject() {
    state_.onCancel();
    QDialog::reject();
}

} // namespace crackdepth::app
