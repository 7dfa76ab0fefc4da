#include "core/document/model/recovery_schedule.h"

namespace crackdepth {

RecoverySchedule::Action RecoverySchedule::changed(bool modified, Clock::time_point now) {
    if (!modified) {
        pending_ = false;
        return onDisk_ ? Action::Remove : Action::None;
    }
    pending_ = true;
    const bool quiet = !lastWrite_ || now - *lastWrite_ >= interval_;
    return quiet ? Action::Write : Action::None;
}

RecoverySchedule::Action RecoverySchedule::tick(bool modified) {
    if (!modified) {
        pending_ = false;
        return onDisk_ ? Action::Remove : Action::None;
    }
    return pending_ ? Action::Write : Action::None;
}

void RecoverySchedule::written(bool ok, Clock::time_point now) {
    // A failed write stays pending, and the next check tries again.
    if (ok) {
        lastWrite_ = now;
        pending_ = false;
        onDisk_ = true;
    }
}

void RecoverySchedule::removed() {
    onDisk_ = false;
    pending_ = false;
}

} // namespace crackdepth
