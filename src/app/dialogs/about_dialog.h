// The About box: the program's name, its version and what it is for.
#pragma once

#include "app/application_setup.h"

#include <QDialog>

namespace crackdepth::app {

class AboutDialog : public QDialog {
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* parent = nullptr);

    // The "关于" command, modal.
    static void run(QWidget* parent);
};

} // namespace crackdepth::app
