// "打印设置": the tab host with its one page of print settings. Every click, choice and
// keystroke goes to the core's PrintSettingsState, which edits the document's print settings
// in place; the dialog only shows what the state returns.
#pragma once

#include "core/document/panel_state/print_settings_state.h"

#include <QAbstractSpinBox>
#include <QDialog>
#include <array>

class QLineEdit;
class QPushButton;
class QTabWidget;

namespace crackdepth::app {

// An edit with arrows: the arrows step its integer within 0 … 100, while the edit takes
// whatever is typed (a margin of 150 stays 150; the take-over decides what is an integer).
class SpinnerEdit : public QAbstractSpinBox {
    Q_OBJECT

public:
    explicit SpinnerEdit(QWidget* parent = nullptr);

    QLineEdit* edit() const { return lineEdit(); }
    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;

protected:
    StepEnabled stepEnabled() const override;
};

class PrintSettingsDialog : public QDialog {
    Q_OBJECT

public:
    PrintSettingsDialog(Document& doc, QWidget* parent = nullptr);

    // The "打印设置" command: runs the dialog modally.
    static void run(Document& doc, QWidget* parent);

    // The widget of a control: a QCheckBox, a QComboBox, a SpinnerEdit or a QLineEdit.
    QWidget* control(PrintControl control) const { return controls_[index(control)]; }
    // The edit of an integer or text control (a spinner's own edit); null for the others.
    QLineEdit* edit(PrintControl control) const;
    QTabWidget* tabs() const { return tabs_; }
    QPushButton* okButton() const { return okButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }

public slots:
    void accept() override; // "确定": closes once everything is taken over and printable
    void reject() override; // "取消", Escape and closing the window

private:
    static std::size_t index(PrintControl control) { return static_cast<std::size_t>(control); }
    QWidget* makeControl(PrintControl control);
    QWidget* buildPage();
    void showView(const PrintSettingsView& view);

    Document& doc_;
    PrintSettingsState state_;
    std::array<QWidget*, kPrintControlCount> controls_{};
    QTabWidget* tabs_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

} // namespace crackdepth::app
