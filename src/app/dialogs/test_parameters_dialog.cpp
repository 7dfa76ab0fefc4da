#include "app/dialogs/test_parameters_dialog.h"

#include "app/dialogs/dialog_style.h"
#include "core/document/commands/waveform_commands.h"
#include "core/document/model/document.h"
#include "core/document/panel_state/test_parameters_view.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <string>
#include <utility>

namespace crackdepth::app {

TestParametersDialog::TestParametersDialog(const TestParametersView& view, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QString::fromUtf8(kTestParametersTitle));
    const std::pair<const char*, const std::string*> rows[] = {
        {kSamplingIntervalCaption, &view.samplingInterval},
        {kParametersLowPassCaption, &view.lowPassCut},
        {kParametersHighPassCaption, &view.highPassCut},
        {kSampleCountCaption, &view.sampleCount},
        {kZeroCalibrationCaption, &view.zeroCalibration},
    };
    auto* grid = new QGridLayout;
    int row = 0;
    for (const auto& [caption, value] : rows) {
        auto* label = new QLabel(QString::fromUtf8(caption), this);
        auto* field = new QLineEdit(QString::fromStdString(*value), this);
        // For reading only: no typing, and no focus, so no caret is ever shown in them.
        field->setReadOnly(true);
        field->setFocusPolicy(Qt::NoFocus);
        field->setMinimumWidth(90);
        label->setBuddy(field);
        grid->addWidget(label, row, 0, Qt::AlignRight);
        grid->addWidget(field, row, 1);
        ++row;
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(6);
    layout->addWidget(buttons);
    applyDialogStyle(*this);
}

void TestParametersDialog::run(Document& doc, QWidget* parent) {
    const DocumentData& data = doc.data();
    if (data.shownList() == nullptr) {
        return;
    }
    TestParametersDialog dialog(ViewTestParameters(currentPoint(data), data.shownParameters()),
                                parent);
    dialog.exec();
}

} // namespace crackdepth::app
