// "滤波": the two filter switches with their cut-offs. Every keystroke and click goes to the
// core's FilterDialogState, which re-filters the current point (the waveform view repaints
// through the document's notifications); the dialog only shows what the state returns.
#pragma once

#include "core/document/panel_state/filter_dialog_state.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace crackdepth::app {

class FilterDialog : public QDialog {
    Q_OBJECT

public:
    FilterDialog(FilterDialogState state, QWidget* parent = nullptr);

    // The "滤波" command: shows the message of the state's start when no line is shown,
    // otherwise runs the dialog modally.
    static void run(Document& doc, QWidget* parent);

    QCheckBox* highPassBox() const { return highBox_; }
    QCheckBox* lowPassBox() const { return lowBox_; }
    QLineEdit* highPassEdit() const { return highEdit_; }
    QLineEdit* lowPassEdit() const { return lowEdit_; }
    QCheckBox* zeroPhaseBox() const { return zeroPhaseBox_; }
    QLabel* delayLabel() const { return delayLabel_; }
    QPushButton* okButton() const { return okButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }

public slots:
    void accept() override; // "确定": closes only when the entries can be applied
    void reject() override; // "取消", Escape and closing the window

private:
    void showView(const FilterDialogView& view);

    FilterDialogState state_;
    QCheckBox* highBox_;
    QCheckBox* lowBox_;
    QLineEdit* highEdit_;
    QLineEdit* lowEdit_;
    QCheckBox* zeroPhaseBox_;
    QLabel* delayLabel_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
};

} // namespace crackdepth::app
