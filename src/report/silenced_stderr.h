// The standard error stream silenced for the span of a library call that prints its own
// diagnostics there (the workbook library's "[ERROR] workbook_close(): …"): the caller
// reports the failure itself, in its own words, and the user sees one message.
#pragma once

namespace crackdepth::report {

class SilencedStderr {
public:
    SilencedStderr();
    ~SilencedStderr(); // stderr as it was
    SilencedStderr(const SilencedStderr&) = delete;
    SilencedStderr& operator=(const SilencedStderr&) = delete;

private:
    int saved_ = -1; // a copy of the stderr descriptor, -1 when nothing was silenced
};

} // namespace crackdepth::report
