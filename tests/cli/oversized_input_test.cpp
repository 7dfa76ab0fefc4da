// The tool never aborts on a file it cannot hold: refused from the header when the file says
// it is too large, and ended with a message when the machine runs out of memory anyway.
#include "../core/test_support.h"
#include "cli_test_support.h"
#include "core/data/memory_budget.h"

#include <gtest/gtest.h>

namespace crackdepth {
namespace {

TEST(OversizedInput, AFileTooLargeToHoldIsRefusedFromItsHeader) {
    testing::TempDir dir;
    testing::writeSparse(dir.path() / "HUGE.DP0", {{kNonCrossingSignature, 65535, 1048576}}, false);
    testing::writeSparse(dir.path() / "HUGE.DPA", {{kNonCrossingSignature, 65535, 1048576}}, true);
    for (const char* command : {"info", "analyze"}) {
        for (const char* file : {"HUGE.DP0", "HUGE.DPA"}) {
            const auto run = testing::runCli({command, file}, dir.path());
            EXPECT_EQ(run.exitCode, 1) << command << " " << file << ": " << run.err;
            EXPECT_NE(run.err.find("无法识别的文件类型！"), std::string::npos) << run.err;
            EXPECT_NE(run.err.find("memory"), std::string::npos) << run.err;
        }
    }
}

TEST(OversizedInput, RunningOutOfMemoryEndsTheCommandWithAMessage) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer cannot start under an address-space limit";
#else
    testing::TempDir dir;
    // Within the budget, but more than the 300 MiB address space the tool is given: the
    // reading fails half-way.
    testing::writeSparse(dir.path() / "BIG.DP0", {{kNonCrossingSignature, 100, 1048576}}, false);
    ASSERT_LE(100 * 4 * std::uint64_t{1048576}, kMemoryCeiling);
    // Read without trouble, and its samples as JSON (some 200 MB) far more than the limit:
    // written as they are produced, they never lie in memory whole.
    testing::writeSparse(dir.path() / "WIDE.DP0", {{kNonCrossingSignature, 16, 1048576}}, false);
    const std::string limit = "ulimit -v 307200";
    const auto refused = testing::runCli({"info", "BIG.DP0", "--samples"}, dir.path(), limit);
    EXPECT_EQ(refused.exitCode, 1) << refused.err;
    EXPECT_NE(refused.err.find("无法识别的文件类型！"), std::string::npos) << refused.err;
    const auto streamed = testing::runCli({"info", "WIDE.DP0", "--samples"}, dir.path(),
                                          limit + " && exec >/dev/null");
    EXPECT_EQ(streamed.exitCode, 0) << streamed.err;
    // Without the waveforms only the point records are read: they fit.
    const auto records = testing::runCli({"info", "BIG.DP0"}, dir.path(), limit);
    EXPECT_EQ(records.exitCode, 0) << records.err;
    EXPECT_NE(records.out.find("\"pointCount\": 100"), std::string::npos);
#endif
}

} // namespace
} // namespace crackdepth
