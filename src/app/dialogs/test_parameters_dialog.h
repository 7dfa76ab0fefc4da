// "检测参数": the acquisition parameters of the shown line's current point, for reading only.
#pragma once

#include <QDialog>

namespace crackdepth {
class Document;
struct TestParametersView;
} // namespace crackdepth

namespace crackdepth::app {

class TestParametersDialog : public QDialog {
    Q_OBJECT

public:
    // Each value sits in a field whose caption label has it as buddy.
    explicit TestParametersDialog(const TestParametersView& view, QWidget* parent = nullptr);

    // The "检测参数" command: nothing without a shown line; otherwise the values of the
    // point the shown line's lookup reached last, shown modally. Nothing is written back.
    static void run(Document& doc, QWidget* parent);
};

} // namespace crackdepth::app
