#include "report/silenced_stderr.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace crackdepth::report {

SilencedStderr::SilencedStderr() {
    std::fflush(stderr);
    const int sink = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (sink < 0) {
        return; // nothing silenced: the library's lines show, the failure is still ours
    }
    saved_ = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
    if (saved_ >= 0 && ::dup2(sink, STDERR_FILENO) < 0) {
        ::close(saved_);
        saved_ = -1;
    }
    ::close(sink);
}

SilencedStderr::~SilencedStderr() {
    if (saved_ >= 0) {
        std::fflush(stderr);
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
    }
}

} // namespace crackdepth::report
