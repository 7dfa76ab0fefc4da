// When the recovery copy is written and when it goes: at most a minute of work is lost to a
// crash. An edit after a quiet minute is written at once; later edits within the minute wait
// for the next regular check, which writes only what changed. A document that is no longer
// modified (saved, undone back to its file, another file opened) needs no copy.
#pragma once

#include <chrono>
#include <optional>

namespace crackdepth {

class RecoverySchedule {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::seconds kInterval{60};

    enum class Action { None, Write, Remove };

    explicit RecoverySchedule(Clock::duration interval = kInterval) : interval_(interval) {}

    // The document's data, its history or its modified state changed.
    Action changed(bool modified, Clock::time_point now);
    // The regular check, every interval.
    Action tick(bool modified);
    // What the caller did: a copy written (true when it was), or the copy removed.
    void written(bool ok, Clock::time_point now);
    void removed();

    Clock::duration interval() const { return interval_; }
    bool onDisk() const { return onDisk_; }
    // True while the copy on disk holds every change made.
    bool upToDate() const { return onDisk_ && !pending_; }

private:
    Clock::duration interval_;
    std::optional<Clock::time_point> lastWrite_;
    bool pending_ = false; // changes the copy does not hold yet
    bool onDisk_ = false;
};

} // namespace crackdepth
