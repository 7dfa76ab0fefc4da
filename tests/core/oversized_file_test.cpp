// Files whose headers are consistent but whose points could not be held in memory: refused
// from the header, before anything is allocated or read, by every way a file is opened.
#include "core/data/measurement_file.h"
#include "core/data/memory_budget.h"
#include "core/document/model/document.h"
#include "core/document/model/merge.h"
#include "core/document/model/scripted_prompts.h"
#include "test_support.h"

#include <gtest/gtest.h>

namespace crackdepth {
namespace {

constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;
constexpr std::uint64_t kGiB = std::uint64_t{1} << 30;

using Block = testing::SparseBlock;

// The refusal, with the reason on its second line.
const std::string kTooLargeMessage = std::string(kUnrecognisedFileMessage) +
                                     "\n文件所需内存超过此处允许的 " +
                                     std::to_string(memoryBudget() >> 20) + " MiB";
using testing::writeSparse;

TEST(OversizedFile, TheBudgetIsAQuarterOfTheMemoryUpToTheCeiling) {
    const struct {
        std::uint64_t physical;
        std::uint64_t budget;
    } cases[] = {
        {0, kMemoryCeiling}, // unknown
        {2 * kGiB, 512 * kMiB},
        {4 * kGiB, kGiB},
        {64 * kGiB, kMemoryCeiling},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(memoryBudgetFor(c.physical), c.budget) << c.physical;
    }
    EXPECT_EQ(kMemoryCeiling, kGiB);
    EXPECT_LE(memoryBudget(), kMemoryCeiling);

    // Both waveforms of every point count, two bytes a sample.
    TestParameters header = testing::makeHeader(kNonCrossingSignature, 1048576);
    header.pointCount = 2000;
    EXPECT_GE(memoryForBlock(header), 2000 * 2 * 2 * std::uint64_t{1048576});
    EXPECT_LT(memoryForBlock(header), 2000 * (2 * 2 * std::uint64_t{1048576} + 1024));
}

// A block of 1,048,576 samples a point that takes `share` of the budget.
Block shareOfBudget(const char* signature, double share) {
    TestParameters onePoint = testing::makeHeader(signature, 1048576);
    onePoint.pointCount = 1;
    const double perPoint = static_cast<double>(memoryForBlock(onePoint));
    return {signature,
            static_cast<std::int32_t>(share * static_cast<double>(memoryBudget()) / perPoint),
            1048576};
}

struct OversizedCase {
    const char* what;
    const char* name;
    std::vector<Block> blocks;
};

std::vector<OversizedCase> oversizedCases() {
    return {
        {"the largest counts a raw header may state (275 GB)",
         "HUGE.DP0",
         {{kNonCrossingSignature, 65535, 1048576}}},
        {"2,000 points of 262,144 samples (2.1 GB)",
         "LONG.DP0",
         {{kNonCrossingSignature, 2000, 262144}}},
        {"a result file whose lines fit one by one but not together",
         "TWO.DPA",
         {shareOfBudget(kNonCrossingSignature, 0.6), shareOfBudget(kCrossingSignature, 0.6)}},
    };
}

TEST(OversizedFile, RefusedByTheReadersAndTheOpenerWithTheirMessage) {
    testing::TempDir dir;
    for (const OversizedCase& c : oversizedCases()) {
        const auto path = dir.path() / c.name;
        const bool resultFile = c.blocks.size() > 1;
        writeSparse(path, c.blocks, resultFile);

        FileSource source(path);
        if (resultFile) {
            ResultFileContents contents;
            EXPECT_EQ(ReadResultFile(source, contents), BlockStatus::TooLarge) << c.what;
        } else {
            LineData line;
            EXPECT_EQ(ReadRawFile(source, line), BlockStatus::TooLarge) << c.what;
        }
        MeasurementFile file;
        OpenFailure failure;
        EXPECT_FALSE(openMeasurementFile(path, file, failure)) << c.what;
        EXPECT_EQ(failure.message, kUnrecognisedFileMessage) << c.what;
        EXPECT_NE(failure.explanation.find("文件所需内存超过"), std::string::npos) << c.what;
        EXPECT_NE(failure.explanation.find("memory"), std::string::npos) << c.what;
    }
}

TEST(OversizedFile, TheDocumentAndTheMergeRefuseItAndKeepWhatTheyHeld) {
    testing::TempDir dir;
    std::vector<std::uint8_t> small;
    TestParameters header = testing::makeHeader(kNonCrossingSignature);
    header.pointCount = 3;
    WriteLineBlock(small, header, testing::makePoints(3));
    const auto smallPath = dir.path() / "SMALL.DP0";
    testing::writeBytes(smallPath, small);

    for (const OversizedCase& c : oversizedCases()) {
        const auto path = dir.path() / c.name;
        writeSparse(path, c.blocks, c.blocks.size() > 1);

        ScriptedPrompts prompts;
        Document document(prompts, {});
        ASSERT_TRUE(document.OpenDocument(smallPath.string()));
        EXPECT_FALSE(document.OpenDocument(path.string())) << c.what;
        EXPECT_EQ(prompts.messages(), std::vector<std::string>{kTooLargeMessage}) << c.what;
        ASSERT_TRUE(document.hasNonCrossingLine()) << c.what;
        EXPECT_EQ(document.data().nonCrossingList->size(), 3u) << c.what;
        EXPECT_EQ(document.path(), smallPath.string()) << c.what;
    }

    // The merge reads its sources whole as well.
    ScriptedPrompts prompts;
    MergeSession session(prompts);
    session.addNonCrossingFiles({(dir.path() / "HUGE.DP0").string()});
    EXPECT_EQ(prompts.messages(), std::vector<std::string>{kTooLargeMessage});
    EXPECT_EQ(session.nonCrossingPath(), "");
}

} // namespace
} // namespace crackdepth
