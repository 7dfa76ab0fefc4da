// A measurement file must end exactly where its headers say: a count that does not match the
// file's length is refused, with the reason under the refusal message, by the opener and by
// the document (which then keeps what it held, so a save cannot make the damage permanent).
#include "core/common/bytes.h"
#include "core/data/measurement_file.h"
#include "document_fixture.h"

#include <functional>
#include <gtest/gtest.h>

namespace crackdepth {
namespace {

const std::filesystem::path kFixtures = testing::kIndependentFixtures;

constexpr std::size_t kLineCountAt = 0x110 + 4 * 14;
constexpr std::size_t kPointCountAt = 0x100;
constexpr std::size_t kSampleCountAt = 0x104;
// SITE.DPA: the non-crossing block (5 points) and the crossing blocks of 6 and 12 points,
// all of 512 samples.
constexpr std::size_t kRecord = 128 + 4 * 512;
constexpr std::size_t kSecondBlock = 512 + 5 * kRecord;
constexpr std::size_t kLastBlock = kSecondBlock + 512 + 6 * kRecord;

using Bytes = std::vector<std::uint8_t>;

void addTo(Bytes& bytes, std::size_t at, std::int32_t change) {
    storeLE(&bytes[at], loadLE<std::int32_t>(&bytes[at]) + change);
}

struct Case {
    const char* what;
    const char* source; // a file of the independent set
    const char* name;   // the damaged copy
    std::function<void(Bytes&)> damage;
    const char* reason; // the second line of the message, up to its first '：' and after
};

std::vector<Case> cases() {
    const char* length = "文件长度与文件头不符：";
    return {
        {"line count 2 of 3", "SITE.DPA", "LINES.DPA",
         [](Bytes& b) { storeLE(&b[kLineCountAt], std::int32_t{2}); }, length},
        {"the last crossing header with point count 0", "SITE.DPA", "EMPTY.DPA",
         [](Bytes& b) { storeLE(&b[kLastBlock + kPointCountAt], std::int32_t{0}); }, length},
        {"the last crossing line one point short", "SITE.DPA", "SHORT.DPA",
         [](Bytes& b) { addTo(b, kLastBlock + kPointCountAt, -1); }, length},
        {"a result file with a byte after the project block", "SITE.DPA", "TAIL.DPA",
         [](Bytes& b) { b.push_back(0); }, length},
        {"a result file cut short", "SITE.DPA", "CUT.DPA",
         [](Bytes& b) { b.resize(b.size() - 10); }, length},
        {"raw file: point count - 1", "SITE.DP0", "POINTS.DP0",
         [](Bytes& b) { addTo(b, kPointCountAt, -1); }, length},
        {"raw file: sample count - 1", "SITE.DP0", "SAMPLES.DP0",
         [](Bytes& b) { addTo(b, kSampleCountAt, -1); }, length},
        {"raw crossing file: point count 0", "SITE_C1.DP1", "ZERO.DP1",
         [](Bytes& b) { storeLE(&b[kPointCountAt], std::int32_t{0}); }, length},
        {"raw file: a byte of padding", "SITE.DP0", "PAD.DP0", [](Bytes& b) { b.push_back(0); },
         length},
        // The other refusals say why as well.
        {"the second block's signature", "SITE.DPA", "SIGN.DPA",
         [](Bytes& b) { b[kSecondBlock + 0x20 + 2 * 9] = 'X'; },
         "第 2 块：标志不是“Ulk_CrackDepth”"},
        {"the first block's file id", "SITE.DPA", "ID.DPA", [](Bytes& b) { b[0] = 'X'; },
         "第 1 块：文件标识不是“UlkWinID”"},
        {"a raw file of the other kind", "SITE_C1.DP1", "SWAP.DP0", [](Bytes&) {},
         "文件标志不是“Ulk_CrackZero”"},
        {"an absurd sample count", "SITE.DP0", "HUGE.DP0",
         [](Bytes& b) { storeLE(&b[kSampleCountAt], std::int32_t{-7}); },
         "采样点数 -7 超出范围 1…1048576"},
    };
}

class FileLength : public testing::DocumentFixture {};

TEST_F(FileLength, CountsThatDoNotMatchTheLengthAreRefusedWithTheReason) {
    for (const Case& c : cases()) {
        Bytes bytes = testing::readBytes(kFixtures / c.source);
        c.damage(bytes);
        testing::writeBytes(dir.path() / c.name, bytes);

        MeasurementFile file;
        OpenFailure failure;
        EXPECT_FALSE(openMeasurementFile(dir.path() / c.name, file, failure)) << c.what;
        EXPECT_EQ(failure.message, kUnrecognisedFileMessage) << c.what;
        EXPECT_NE(failure.explanation.find(std::string(": ") + c.reason), std::string::npos)
            << c.what << ": " << failure.explanation;

        // The window shows the reason on the message's second line, and the document keeps
        // the line it held.
        ASSERT_TRUE(doc.OpenDocument(at("SITE.DP0"))) << c.what;
        const PointList* held = doc.data().nonCrossingList.get();
        prompts.shown.clear();
        EXPECT_FALSE(doc.OpenDocument(at(c.name))) << c.what;
        ASSERT_EQ(prompts.messages().size(), 1u) << c.what;
        const std::string message = prompts.messages()[0];
        const std::string expected = std::string(kUnrecognisedFileMessage) + "\n" + c.reason;
        EXPECT_EQ(message.substr(0, expected.size()), expected) << c.what;
        EXPECT_EQ(message.find('\n', expected.size()), std::string::npos) << c.what;
        if (std::string(c.reason).ends_with("：")) {
            // The lengths themselves follow: the file's and the one its headers give.
            EXPECT_NE(message.find(" " + std::to_string(bytes.size()) + " 字节"), std::string::npos)
                << c.what << ": " << message;
        }
        EXPECT_EQ(failure.explanation.substr(failure.explanation.find(": ") + 2),
                  message.substr(message.find('\n') + 1))
            << c.what << ": the command-line tool gives the same reason";
        EXPECT_EQ(doc.data().nonCrossingList.get(), held) << c.what;
    }
}

TEST_F(FileLength, TheIndependentFilesEndExactlyWhereTheirHeadersSay) {
    for (const char* name : {"SITE.DP0", "SITE_C1.DP1", "SITE_C2.DP1", "SITE.DPA"}) {
        MeasurementFile file;
        OpenFailure failure;
        EXPECT_TRUE(openMeasurementFile(kFixtures / name, file, failure))
            << name << ": " << failure.message;
    }
}

} // namespace
} // namespace crackdepth
