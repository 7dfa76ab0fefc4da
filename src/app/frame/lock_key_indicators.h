// The status bar's key indicators "CAP", "NUM" and "SCRL": each shows its text while its lock
// key is on and stays blank otherwise. They are read again after every lock-key press and
// whenever the program becomes active (the keys may have changed in another program).
#pragma once

#include "app/frame/lock_keys.h"

#include <QObject>
#include <array>
#include <functional>

class QLabel;
class QStatusBar;

namespace crackdepth::app {

class LockKeyIndicators final : public QObject {
    Q_OBJECT

public:
    using Reader = std::function<std::optional<LockKeys>()>;

    // Adds the three indicators at the right end of `bar`, which owns them and this object.
    explicit LockKeyIndicators(QStatusBar& bar, Reader read = readLockKeys);

    // Shows the keys as they are now.
    void refresh();
    // The indicators, left to right: CAP, NUM, SCRL.
    QLabel* indicator(std::size_t index) const { return labels_.at(index); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Reader read_;
    std::array<QLabel*, 3> labels_{};
};

} // namespace crackdepth::app
