// The About box: the program's name, its version and what it is for.
#pragma once

#include <QDialog>

namespace crackdepth::app {

inline constexpr const char* kProgramName = "ULK浅裂缝分析软件";

class AboutDialog : public QDialog {
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* parent = nullptr);

    // The "关于" command, modal.
    static void run(QWidget* parent);
};

} // namespace crackdepth::app
