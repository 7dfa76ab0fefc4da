// "声时修正": the selected line's correction, the correction of all lines and the button that
// drops the current file's corrections. The core's TimeCorrectionState checks every
// keystroke and the views show the corrected transit times at once (through the document's
// notifications); the dialog only shows what the state returns.
#pragma once

#include "core/document/panel_state/time_correction_state.h"

#include <QDialog>
#include <cstdint>
#include <optional>

class QLineEdit;
class QPushButton;

namespace crackdepth::app {

class TimeCorrectionDialog : public QDialog {
    Q_OBJECT

public:
    TimeCorrectionDialog(TimeCorrectionState state, QWidget* parent = nullptr);

    // The "声时修正" command for the selected tab's line. Shows the state's message when no
    // line is shown, otherwise runs the dialog modally.
    static void run(Document& doc, QWidget* parent);

    QLineEdit* lineEdit() const { return lineEdit_; }
    QLineEdit* allEdit() const { return allEdit_; }
    QPushButton* undoButton() const { return undoButton_; }
    QPushButton* okButton() const { return okButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }

public slots:
    void accept() override;
    void reject() override; // "取消", Escape and closing the window

private:
    void showView(const TimeCorrectionView& view);

    TimeCorrectionState state_;
    QLineEdit* lineEdit_;
    QLineEdit* allEdit_;
    QPushButton* undoButton_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
};

} // namespace crackdepth::app
