#include "core/common/bytes.h"
#include "core/data/result_file.h"
#include "test_support.h"

#include <functional>
#include <gtest/gtest.h>

namespace crackdepth {
namespace {

using testing::makeHeader;
using testing::makePoints;

// A non-crossing line of `counts[0]` points and one crossing line per further count.
std::vector<std::uint8_t> resultBytes(const std::vector<std::int32_t>& counts,
                                      const ProjectBlock& block, std::int32_t sampleCount = 16) {
    std::vector<LineData> lines;
    for (std::size_t k = 0; k < counts.size(); ++k) {
        LineData line;
        line.header = makeHeader(k == 0 ? kNonCrossingSignature : kCrossingSignature, sampleCount);
        line.header.pointCount = counts[k];
        line.points = makePoints(counts[k], sampleCount);
        lines.push_back(std::move(line));
    }
    lines[0].header.lineCount = static_cast<std::int32_t>(counts.size());
    std::vector<LineRef> refs;
    for (const LineData& line : lines) {
        refs.push_back({&line.header, &line.points});
    }
    std::vector<std::uint8_t> out;
    WriteResultFile(out, refs, block);
    return out;
}

BlockStatus readResult(const std::vector<std::uint8_t>& bytes, ResultFileContents& contents) {
    MemorySource source(bytes);
    return ReadResultFile(source, contents);
}

TEST(ResultFile, SizeOfTenAndEightPointLines) {
    EXPECT_EQ(resultBytes({10, 8}, {}, 512).size(), 47888u);
}

TEST(ResultFile, ThreeCrackFileRoundTripsWithItsProjectBlock) {
    ProjectBlock block;
    for (std::size_t field = 0; field < ProjectBlock::kTextCount; ++field) {
        block.texts[field] = "t" + std::to_string(field);
    }
    block.texts[8] = "滨江大桥 主梁"; // the project name, with its inner blank
    block.texts[115] = "last field";
    const auto bytes = resultBytes({5, 4, 6, 3}, block);

    ResultFileContents contents;
    ASSERT_EQ(readResult(bytes, contents), BlockStatus::Ok);
    ASSERT_EQ(contents.lines.size(), 4u);
    EXPECT_EQ(contents.lines[0].header.signature, kNonCrossingSignature);
    EXPECT_EQ(contents.lines[0].header.lineCount, 4);
    const std::size_t counts[] = {5, 4, 6, 3};
    for (std::size_t k = 0; k < 4; ++k) {
        ASSERT_EQ(contents.lines[k].points.size(), counts[k]);
        const PointList expected = makePoints(static_cast<std::int32_t>(counts[k]));
        for (std::size_t p = 0; p < counts[k]; ++p) {
            EXPECT_EQ(contents.lines[k].points[p].samples, expected[p].samples);
            EXPECT_EQ(contents.lines[k].points[p].arrivalIndex, expected[p].arrivalIndex);
            EXPECT_EQ(contents.lines[k].points[p].delay, expected[p].delay);
        }
    }
    EXPECT_EQ(contents.projectBlock, block);

    ProjectInfo info;
    contents.projectBlock.copyInto(info);
    EXPECT_EQ(info.texts[kProjectName], "滨江大桥 主梁");
    EXPECT_EQ(info.texts[kReportDate], "t15");
    EXPECT_EQ(info.texts[7], "") << "indices without a role are not mapped";
}

TEST(ResultFile, ProjectTextsAreCutToTheirFieldWidths) {
    ProjectInfo info;
    info.texts[kProjectName] = std::string(24, 'p');         // fits exactly
    info.texts[kTestingOrganisation] = std::string(25, 'o'); // one too many
    info.texts[kDesignStrength] = "C40 high strength";       // an 8-wide field
    ProjectBlock block;
    block.copyFrom(info);
    ResultFileContents contents;
    ASSERT_EQ(readResult(resultBytes({2, 2}, block), contents), BlockStatus::Ok);
    ProjectInfo back;
    contents.projectBlock.copyInto(back);
    EXPECT_EQ(back.texts[kProjectName], std::string(24, 'p'));
    EXPECT_EQ(back.texts[kTestingOrganisation], std::string(24, 'o'));
    EXPECT_EQ(back.texts[kDesignStrength], "C40 high");
}

TEST(ResultFile, LineCountOneHoldsOnlyTheNonCrossingLine) {
    ResultFileContents contents;
    ASSERT_EQ(readResult(resultBytes({3}, {}), contents), BlockStatus::Ok);
    EXPECT_EQ(contents.lines.size(), 1u);
}

TEST(ResultFile, InconsistentLayoutsAreRefused) {
    const auto good = resultBytes({3, 2, 2}, {});
    const std::size_t block1 = 512 + 3 * static_cast<std::size_t>(recordSize(16));
    struct Case {
        const char* what;
        std::function<void(std::vector<std::uint8_t>&)> damage;
    };
    const Case cases[] = {
        {"line count 0", [](auto& b) { storeLE(&b[0x110 + 56], std::int32_t{0}); }},
        {"line count negative", [](auto& b) { storeLE(&b[0x110 + 56], std::int32_t{-3}); }},
        {"more lines than blocks", [](auto& b) { storeLE(&b[0x110 + 56], std::int32_t{4}); }},
        {"absurd line count", [](auto& b) { storeLE(&b[0x110 + 56], std::int32_t{0x7FFFFFFF}); }},
        {"first block is a crossing line",
         [](auto& b) {
             b[0x20 + 2 * 9] = 'D'; /* Ulk_CrackZero -> Ulk_CrackDero */
         }},
        {"a crossing block that is not one", [block1](auto& b) { b[block1 + 0x20 + 2 * 9] = 'X'; }},
        {"project block missing", [](auto& b) { b.resize(b.size() - 1); }},
        {"trailing sections missing", [](auto& b) { b.resize(b.size() - 5392 - 2304); }},
    };
    for (const Case& c : cases) {
        auto bytes = good;
        c.damage(bytes);
        ResultFileContents contents;
        contents.lines.emplace_back();
        EXPECT_EQ(readResult(bytes, contents), BlockStatus::Unrecognised) << c.what;
        EXPECT_EQ(contents.lines.size(), 1u) << "a refused file leaves the contents alone";
    }
}

} // namespace
} // namespace crackdepth
