#include "app/dialogs/print_settings_dialog.h"

#include "app/dialogs/dialog_style.h"
#include "app/frame/report_preferences.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace crackdepth::app {
namespace {

using C = PrintControl;
using K = PrintControlKind;

constexpr int kNumberWidth = 64; // an edit for a few digits, arrows included
constexpr int kListWidth = 110;  // the longest list entry, "楷体_GB2312"

QString caption(PrintControl control) {
    return QString::fromUtf8(printControlInfo(control).caption);
}

// See the filter dialog: only a text that differs is put back, so the caret stays where it
// is while typing.
void showText(QLineEdit& edit, const std::string& text) {
    const QString shown = QString::fromStdString(text);
    if (edit.text() != shown) {
        edit.setText(shown);
    }
}

} // namespace

SpinnerEdit::SpinnerEdit(QWidget* parent) : QAbstractSpinBox(parent) {
    setMinimumWidth(kNumberWidth);
}

void SpinnerEdit::stepBy(int steps) {
    lineEdit()->setText(
        QString::fromStdString(stepSpinnerText(lineEdit()->text().toStdString(), steps)));
}

// Every text is acceptable while typing: the take-over says which is not an integer.
QValidator::State SpinnerEdit::validate(QString& /*input*/, int& /*pos*/) const {
    return QValidator::Acceptable;
}

QAbstractSpinBox::StepEnabled SpinnerEdit::stepEnabled() const {
    return isReadOnly() ? StepNone : (StepUpEnabled | StepDownEnabled);
}

PrintSettingsDialog::PrintSettingsDialog(Document& doc, QWidget* parent)
    : QDialog(parent), doc_(doc), state_(doc) {
    setWindowTitle(QString::fromUtf8(kPrintSettingsTitle));
    for (std::size_t k = 0; k < kPrintControlCount; ++k) {
        controls_[k] = makeControl(static_cast<PrintControl>(k));
    }

    tabs_ = new QTabWidget(this);
    tabs_->addTab(buildPage(), QString::fromUtf8(kPrintPageTabCaption));
    tabs_->setCurrentIndex(0);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    okButton_ = buttons->button(QDialogButtonBox::Ok);
    cancelButton_ = buttons->button(QDialogButtonBox::Cancel);
    okButton_->setText(QStringLiteral("确定"));
    cancelButton_->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &PrintSettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PrintSettingsDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons);

    showView(state_.view());
    applyDialogStyle(*this);
}

QWidget* PrintSettingsDialog::makeControl(PrintControl control) {
    const PrintControlInfo& info = printControlInfo(control);
    switch (info.kind) {
    case K::Check: {
        auto* box = new QCheckBox(caption(control), this);
        const bool isSwitch =
            control == C::HeaderOn || control == C::FooterOn || control == C::PageNumberOn;
        connect(box, &QCheckBox::clicked, this, [this, control, isSwitch](bool on) {
            if (isSwitch) {
                showView(state_.onSwitchClicked(control, on));
            } else {
                state_.setValue(control, on ? 1 : 0);
            }
        });
        return box;
    }
    case K::Choice: {
        auto* list = new QComboBox(this);
        for (const char* choice : info.choices) {
            list->addItem(QString::fromUtf8(choice));
        }
        list->setMinimumWidth(kListWidth);
        // Only the operator's choices count: an index the list cannot show (a stored value
        // beyond its entries) stays in the record until one is chosen.
        connect(list, &QComboBox::activated, this, [this, control](int chosen) {
            if (control == C::ReportStyle) {
                showView(state_.onStyleChosen(chosen));
            } else {
                state_.setValue(control, chosen);
            }
        });
        return list;
    }
    case K::Integer:
    case K::Text: {
        QLineEdit* edit = nullptr;
        QWidget* widget = nullptr;
        if (info.spinner) {
            auto* spinner = new SpinnerEdit(this);
            edit = spinner->edit();
            widget = spinner;
        } else {
            edit = new QLineEdit(this);
            if (info.kind == K::Integer) {
                edit->setFixedWidth(kNumberWidth);
            }
            widget = edit;
        }
        // textChanged, not textEdited: the spinner's arrows change the text too. Handing the
        // state a text it already holds changes nothing.
        connect(edit, &QLineEdit::textChanged, this, [this, control](const QString& text) {
            state_.setText(control, text.toStdString());
        });
        return widget;
    }
    }
    return nullptr;
}

QWidget* PrintSettingsDialog::buildPage() {
    auto* page = new QWidget;
    const auto label = [this](PrintControl control) {
        auto* shown = new QLabel(caption(control), this);
        shown->setBuddy(controls_[index(control)]);
        return shown;
    };
    const auto widget = [this](PrintControl control) { return controls_[index(control)]; };

    auto* lines = new QGroupBox(QStringLiteral("线型"), page);
    auto* linesGrid = new QGridLayout(lines);
    linesGrid->addWidget(label(C::BorderWidth), 0, 0);
    linesGrid->addWidget(widget(C::BorderWidth), 0, 1);
    linesGrid->addWidget(label(C::GridWidth), 1, 0);
    linesGrid->addWidget(widget(C::GridWidth), 1, 1);
    linesGrid->setColumnStretch(2, 1);

    auto* margins = new QGroupBox(QStringLiteral("页边距(单位:mm)"), page);
    auto* marginsGrid = new QGridLayout(margins);
    marginsGrid->addWidget(label(C::TopMargin), 0, 0);
    marginsGrid->addWidget(widget(C::TopMargin), 0, 1);
    marginsGrid->addWidget(label(C::BottomMargin), 0, 2);
    marginsGrid->addWidget(widget(C::BottomMargin), 0, 3);
    marginsGrid->addWidget(label(C::LeftMargin), 1, 0);
    marginsGrid->addWidget(widget(C::LeftMargin), 1, 1);
    marginsGrid->addWidget(label(C::RightMargin), 1, 2);
    marginsGrid->addWidget(widget(C::RightMargin), 1, 3);
    marginsGrid->setHorizontalSpacing(10);
    marginsGrid->setColumnStretch(4, 1);

    auto* pageNumbers = new QGroupBox(QStringLiteral("页码"), page);
    auto* pageNumbersRow = new QHBoxLayout(pageNumbers);
    pageNumbersRow->addWidget(widget(C::PageNumberOn));
    for (const PrintControl control :
         {C::PageNumberPosition, C::StartPageNumber, C::PageNumberFormat}) {
        pageNumbersRow->addSpacing(16);
        pageNumbersRow->addWidget(label(control));
        pageNumbersRow->addWidget(widget(control));
    }
    pageNumbersRow->addStretch(1);

    // The header and footer groups share one arrangement: switch, height, position and font
    // on the first row, the text below, lined up under the settings.
    const auto band = [&](const QString& title, PrintControl on, PrintControl height,
                          PrintControl position, PrintControl font, PrintControl text) {
        auto* group = new QGroupBox(title, page);
        auto* grid = new QGridLayout(group);
        grid->addWidget(widget(on), 0, 0);
        auto* settings = new QHBoxLayout;
        settings->addWidget(label(height));
        settings->addWidget(widget(height));
        settings->addWidget(new QLabel(QStringLiteral("(mm)"), this));
        for (const PrintControl control : {position, font}) {
            settings->addSpacing(16);
            settings->addWidget(label(control));
            settings->addWidget(widget(control));
        }
        settings->addStretch(1);
        grid->addLayout(settings, 0, 1);
        grid->addWidget(label(text), 1, 0);
        grid->addWidget(widget(text), 1, 1);
        grid->setHorizontalSpacing(12);
        return group;
    };
    QGroupBox* header = band(QStringLiteral("页眉"), C::HeaderOn, C::HeaderHeight,
                             C::HeaderPosition, C::HeaderFont, C::HeaderText);
    QGroupBox* footer = band(QStringLiteral("页脚"), C::FooterOn, C::FooterHeight,
                             C::FooterPosition, C::FooterFont, C::FooterText);

    auto* bottomRow = new QHBoxLayout;
    bottomRow->addWidget(widget(C::TableHead));
    bottomRow->addWidget(widget(C::ListChecks));
    bottomRow->addStretch(1);
    bottomRow->addWidget(label(C::ReportStyle));
    bottomRow->addWidget(widget(C::ReportStyle));

    auto* layout = new QGridLayout(page);
    layout->addWidget(lines, 0, 0);
    layout->addWidget(margins, 0, 1);
    layout->addWidget(pageNumbers, 1, 0, 1, 2);
    layout->addWidget(header, 2, 0, 1, 2);
    layout->addWidget(footer, 3, 0, 1, 2);
    layout->addLayout(bottomRow, 4, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    return page;
}

QLineEdit* PrintSettingsDialog::edit(PrintControl control) const {
    QWidget* widget = controls_[index(control)];
    if (auto* spinner = dynamic_cast<SpinnerEdit*>(widget)) {
        return spinner->edit();
    }
    return qobject_cast<QLineEdit*>(widget);
}

void PrintSettingsDialog::showView(const PrintSettingsView& view) {
    for (std::size_t k = 0; k < kPrintControlCount; ++k) {
        const auto control = static_cast<PrintControl>(k);
        const PrintControlView& shown = view[control];
        QWidget* widget = controls_[k];
        widget->setEnabled(shown.enabled);
        switch (printControlInfo(control).kind) {
        case K::Check:
            static_cast<QCheckBox*>(widget)->setChecked(shown.value != 0);
            break;
        case K::Choice:
            static_cast<QComboBox*>(widget)->setCurrentIndex(shown.value);
            break;
        case K::Integer:
        case K::Text:
            showText(*edit(control), shown.text);
            break;
        }
    }
    if (view.focus) {
        QLineEdit* bad = edit(*view.focus);
        bad->setFocus(Qt::OtherFocusReason);
        bad->selectAll();
    }
}

void PrintSettingsDialog::accept() {
    // A field without an integer, or nothing to print, keeps the dialog open; the state has
    // said why.
    if (!state_.onOk()) {
        showView(state_.view());
        return;
    }
    rememberReportPreferences(doc_.settings().print);
    QDialog::accept();
}

void PrintSettingsDialog::reject() {
    state_.onCancel();
    QDialog::reject();
}

void PrintSettingsDialog::run(Document& doc, QWidget* parent) {
    PrintSettingsDialog dialog(doc, parent);
    dialog.exec();
}

} // namespace crackdepth::app
