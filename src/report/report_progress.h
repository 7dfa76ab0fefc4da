// How far a report that takes a while has come, and the user's way to stop it.
#pragma once

#include <cstdint>
#include <functional>

namespace crackdepth::report {

// Told after each page, picture or sheet: `done` of `total`. Returning false stops the
// report: the writer then leaves no file, and what was there stays.
using ReportProgress = std::function<bool(std::int64_t done, std::int64_t total)>;

// The outcome's error of a report stopped through its progress.
inline constexpr const char* kReportCancelled = "the report was cancelled";

// Whether the writing may go on: no progress to tell, or one that did not stop it.
inline bool goesOn(const ReportProgress& progress, std::int64_t done, std::int64_t total) {
    return !progress || progress(done, total);
}

} // namespace crackdepth::report
