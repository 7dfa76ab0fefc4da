#include "core/common/atomic_file.h"
#include "core/common/utf.h"
#include "test_support.h"

#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace crackdepth {
namespace {

std::size_t entriesIn(const std::filesystem::path& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                                  std::filesystem::directory_iterator{}));
}

using Writer = WriteOutcome (*)(const std::filesystem::path&, std::span<const std::uint8_t>);

// Both ways a save can go: through an unnamed temporary file, and through a named one where
// the file system has no unnamed files.
struct WriterCase {
    const char* what;
    Writer write;
};
constexpr WriterCase kWriters[] = {
    {"unnamed temporary", writeFileAtomically},
    {"named temporary", detail::writeThroughNamedTemporary},
};

TEST(AtomicFile, ReplacesTheTargetWholeAndKeepsItsPermissions) {
    for (const WriterCase& c : kWriters) {
        testing::TempDir dir;
        const auto target = dir.path() / "LINE.DP0";
        testing::writeBytes(target, {1, 2, 3, 4, 5});
        std::filesystem::permissions(target, std::filesystem::perms(0640));
        const std::vector<std::uint8_t> bytes{9, 8};
        const WriteOutcome outcome = c.write(target, bytes);
        ASSERT_TRUE(outcome.ok) << c.what << ": " << outcome.error;
        EXPECT_EQ(testing::readBytes(target), bytes) << c.what;
        EXPECT_EQ(entriesIn(dir.path()), 1u) << c.what << ": no temporary file is left behind";
        EXPECT_EQ(std::filesystem::status(target).permissions(), std::filesystem::perms(0640))
            << c.what;
    }
}

// Runs `save` in a child process whose files may not grow beyond 64 KiB; with `ignoreSignal`
// the write fails with EFBIG, otherwise the kernel kills the child in the middle of the write
// as a power cut or a kill would. Returns the child's wait status.
template <typename Save> int inLimitedChild(bool ignoreSignal, Save save) {
    const pid_t child = ::fork();
    if (child == 0) {
        const rlimit noCore{0, 0};
        ::setrlimit(RLIMIT_CORE, &noCore);
        const rlimit small{64 * 1024, 64 * 1024};
        ::setrlimit(RLIMIT_FSIZE, &small);
        std::signal(SIGXFSZ, ignoreSignal ? SIG_IGN : SIG_DFL);
        ::_exit(save() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return status;
}

TEST(AtomicFile, AKilledSaveLeavesTheOldFileAndNoTemporaryFileOnceTheNextSaveRan) {
    const std::vector<std::uint8_t> old{1, 2, 3};
    const std::vector<std::uint8_t> big(1024 * 1024, 7);
    for (const WriterCase& c : kWriters) {
        testing::TempDir dir;
        const auto target = dir.path() / "OUT.DPA";
        testing::writeBytes(target, old);
        const int status = inLimitedChild(false, [&] { return c.write(target, big).ok; });
        ASSERT_TRUE(WIFSIGNALED(status)) << c.what;
        ASSERT_EQ(WTERMSIG(status), SIGXFSZ) << c.what;
        EXPECT_EQ(testing::readBytes(target), old) << c.what;
        if (c.write == writeFileAtomically) {
            EXPECT_EQ(entriesIn(dir.path()), 1u) << "an unnamed temporary file leaves nothing";
        }
        // The next save of the same target clears what a killed one left.
        const std::vector<std::uint8_t> next{4, 5};
        ASSERT_TRUE(writeFileAtomically(target, next).ok) << c.what;
        EXPECT_EQ(testing::readBytes(target), next) << c.what;
        EXPECT_EQ(entriesIn(dir.path()), 1u) << c.what;
    }
}

TEST(AtomicFile, AWriteThatFailsHalfwayIsReportedAndChangesNothing) {
    const std::vector<std::uint8_t> old{1, 2, 3};
    const std::vector<std::uint8_t> big(1024 * 1024, 7);
    for (const WriterCase& c : kWriters) {
        testing::TempDir dir;
        const auto target = dir.path() / "OUT.DPA";
        testing::writeBytes(target, old);
        const int status = inLimitedChild(true, [&] {
            const WriteOutcome outcome = c.write(target, big);
            return !outcome.ok && outcome.error.find("File too large") != std::string::npos;
        });
        ASSERT_TRUE(WIFEXITED(status)) << c.what;
        EXPECT_EQ(WEXITSTATUS(status), 0) << c.what << ": the failure must be reported";
        EXPECT_EQ(testing::readBytes(target), old) << c.what;
        EXPECT_EQ(entriesIn(dir.path()), 1u) << c.what;
    }
}

TEST(AtomicFile, OnlyTheTargetsOwnTemporaryNamesAreCleared) {
    const struct {
        const char* name;
        bool temporary;
    } cases[] = {
        {"OUT.DPA.tmp-1f3a9c0d22e4", true},
        {"OUT.DPA.tmp-581223", true},
        {"OUT.DPA.tmp-", false},
        {"OUT.DPA.tmp-notes.txt", false},
        {"OUT.DPA", false},
        {"XOUT.DPA.tmp-123", false},
        {"OUT.DP0.tmp-123", false},
    };
    testing::TempDir dir;
    for (const auto& c : cases) {
        EXPECT_EQ(isTemporaryNameOf(c.name, "OUT.DPA"), c.temporary) << c.name;
        testing::writeBytes(dir.path() / c.name, {1});
    }
    ASSERT_TRUE(writeFileAtomically(dir.path() / "OUT.DPA", std::vector<std::uint8_t>{2}).ok);
    for (const auto& c : cases) {
        EXPECT_EQ(std::filesystem::exists(dir.path() / c.name), !c.temporary) << c.name;
    }
}

TEST(AtomicFile, StaleTemporaryFilesOfOtherTargetsAreClearedByTheNextSaveInTheFolder) {
    // What killed saves of other files left an hour ago, what a save in progress is writing
    // now, and names that only look like ours.
    const struct {
        const char* name;
        bool stale;
        bool removed;
    } cases[] = {
        {"SITE.DPA.tmp-1f3a9c0d22e4", true, true},
        {"SITE_C1.DP1.tmp-0123456789ab", true, true},
        {"tessvel.ini.tmp-581223", true, true},
        {"SITE.DP0.tmp-abcdefabcdef", false, false}, // a save in progress
        {"SITE.DPA.tmp-notes", true, false},
        {"SITE.DPA.tmp-1F3A9C0D22E4", true, false},
        {"SITE.DPA.tmp-1f3a9c0d22e", true, false},
        {".tmp-1f3a9c0d22e4", true, false},
        {"SITE.DPA", true, false},
    };
    for (const WriterCase& writer : kWriters) {
        testing::TempDir dir;
        const auto hourAgo = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
        for (const auto& c : cases) {
            testing::writeBytes(dir.path() / c.name, {1});
            if (c.stale) {
                std::filesystem::last_write_time(dir.path() / c.name, hourAgo);
            }
        }
        // A link with our name is not a file of ours; neither is what it points to.
        std::filesystem::create_symlink("SITE.DPA", dir.path() / "LINK.DPA.tmp-1f3a9c0d22e4");
        ASSERT_TRUE(writer.write(dir.path() / "OUT.DPA", std::vector<std::uint8_t>{2}).ok);
        for (const auto& c : cases) {
            EXPECT_EQ(std::filesystem::exists(dir.path() / c.name), !c.removed)
                << writer.what << ": " << c.name;
        }
        EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "LINK.DPA.tmp-1f3a9c0d22e4"))
            << writer.what;
    }
}

TEST(AtomicFile, AFailedWriteIsReportedAndLeavesTheOldFileIntact) {
    testing::TempDir dir;
    // A name so long that no temporary sibling can be created beside it.
    const auto target = dir.path() / (std::string(250, 'x') + ".DPA");
    const std::vector<std::uint8_t> old{1, 2, 3};
    testing::writeBytes(target, old);
    const std::vector<std::uint8_t> replacement(1000, 7);

    struct Case {
        const char* what;
        std::filesystem::path path;
    };
    const Case cases[] = {
        {"temporary file cannot be created", target},
        {"folder does not exist", dir.path() / "missing" / "LINE.DP0"},
        {"target is a folder", dir.path()},
    };
    for (const WriterCase& writer : kWriters) {
        for (const Case& c : cases) {
            const WriteOutcome outcome = writer.write(c.path, replacement);
            EXPECT_FALSE(outcome.ok) << writer.what << ", " << c.what;
            EXPECT_FALSE(outcome.error.empty()) << writer.what << ", " << c.what;
        }
    }
    EXPECT_EQ(testing::readBytes(target), old);
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(Utf, MalformedInputBecomesReplacementCharacters) {
    struct Case {
        std::u16string units;
        std::string utf8;
    };
    const Case cases[] = {
        {u"桥 A", "桥 A"},
        {u"\U0001F600", "\xF0\x9F\x98\x80"},
        {std::u16string(1, u'\xD800'), "\xEF\xBF\xBD"}, // lone high surrogate
        {std::u16string(1, u'\xDC00') + u"a", "\xEF\xBF\xBD"
                                              "a"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(utf16ToUtf8(c.units), c.utf8);
    }
    EXPECT_EQ(utf8ToUtf16("\xC3"), u"\xFFFD");           // cut sequence
    EXPECT_EQ(utf8ToUtf16("\xC0\xAF"), u"\xFFFD\xFFFD"); // overlong form
    EXPECT_EQ(withoutLastUnits("SITE_C1.DP1", 4), "SITE_C1");
    EXPECT_EQ(withoutLastUnits("桥.DP0", 4), "桥");
    EXPECT_EQ(withoutLastUnits("DP0", 4), "");
}

} // namespace
} // namespace crackdepth
