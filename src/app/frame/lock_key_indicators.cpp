#include "app/frame/lock_key_indicators.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>
#include <utility>

namespace crackdepth::app {
namespace {

constexpr std::array<const char*, 3> kTexts{"CAP", "NUM", "SCRL"};

bool isLockKey(int key) {
    return key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock;
}

} // namespace

LockKeyIndicators::LockKeyIndicators(QStatusBar& bar, Reader read)
    : QObject(&bar), read_(std::move(read)) {
    for (std::size_t i = 0; i < labels_.size(); ++i) {
        auto* label = new QLabel(&bar);
        label->setAlignment(Qt::AlignCenter);
        // Each pane keeps the width of its text, shown or not, so the others never move.
        label->setMinimumWidth(
            label->fontMetrics().horizontalAdvance(QString::fromLatin1(kTexts[i])) + 12);
        bar.addPermanentWidget(label);
        labels_[i] = label;
    }
    // Every key event of the program passes here first, whichever window has the focus.
    if (QCoreApplication* application = QCoreApplication::instance()) {
        application->installEventFilter(this);
    }
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state == Qt::ApplicationActive) {
                    refresh();
                }
            });
    refresh();
}

void LockKeyIndicators::refresh() {
    const std::optional<LockKeys> keys = read_();
    const std::array<bool, 3> on{keys && keys->caps, keys && keys->num, keys && keys->scroll};
    for (std::size_t i = 0; i < labels_.size(); ++i) {
        labels_[i]->setText(on[i] ? QString::fromLatin1(kTexts[i]) : QString());
    }
}

bool LockKeyIndicators::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        if (isLockKey(static_cast<QKeyEvent*>(event)->key())) {
            refresh();
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace crackdepth::app
