#include "core/common/atomic_file.h"
#include "core/common/utf.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace crackdepth {
namespace {

std::size_t entriesIn(const std::filesystem::path& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                                  std::filesystem::directory_iterator{}));
}

TEST(AtomicFile, ReplacesTheTargetWhole) {
    testing::TempDir dir;
    const auto target = dir.path() / "LINE.DP0";
    testing::writeBytes(target, {1, 2, 3, 4, 5});
    const std::vector<std::uint8_t> bytes{9, 8};
    const WriteOutcome outcome = writeFileAtomically(target, bytes);
    ASSERT_TRUE(outcome.ok) << outcome.error;
    EXPECT_EQ(testing::readBytes(target), bytes);
    EXPECT_EQ(entriesIn(dir.path()), 1u) << "no temporary file is left behind";
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
    for (const Case& c : cases) {
        const WriteOutcome outcome = writeFileAtomically(c.path, replacement);
        EXPECT_FALSE(outcome.ok) << c.what;
        EXPECT_FALSE(outcome.error.empty()) << c.what;
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
