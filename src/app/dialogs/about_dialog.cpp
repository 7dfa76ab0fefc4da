#include "app/dialogs/about_dialog.h"

#include "app/dialogs/dialog_style.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

// The program's icon lives in this static library, whose resources must be registered by
// hand (the main window does so too, but the box may be shown without it); the macro has
// to be used outside any namespace.
static void registerAboutResources() {
    Q_INIT_RESOURCE(resources);
}

namespace crackdepth::app {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    registerAboutResources();
    const QString name = QString::fromUtf8(kProgramName);
    setWindowTitle(QStringLiteral("关于 %1").arg(name));

    auto* icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/icons/app.svg")).pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop);

    auto* title = new QLabel(name, this);
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    title->setFont(titleFont);
    auto* version =
        new QLabel(QStringLiteral("版本 %1").arg(QApplication::applicationVersion()), this);
    auto* purpose = new QLabel(
        QStringLiteral("以单面平测法（CECS 21:2000）分析超声波检测数据，推定混凝土浅裂缝深度。"),
        this);

    auto* texts = new QVBoxLayout;
    texts->addWidget(title);
    texts->addWidget(version);
    texts->addSpacing(8);
    texts->addWidget(purpose);
    auto* body = new QHBoxLayout;
    body->addWidget(icon);
    body->addSpacing(12);
    body->addLayout(texts);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addSpacing(8);
    layout->addWidget(buttons);
    applyDialogStyle(*this, kAboutOpacity);
}

void AboutDialog::run(QWidget* parent) {
    AboutDialog dialog(parent);
    dialog.exec();
}

} // namespace crackdepth::app
