// The measurement checks on the independent site measurement, which passes them all, each
// case disturbing it in one way that an engineer must be told about.
#include "core/common/byte_source.h"
#include "core/data/result_file.h"
#include "core/document/checks/measurement_checks.h"
#include "core/document/commands/suggested_picks.h"
#include "core/document/model/line_loading.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <tuple>

namespace crackdepth {
namespace {

const std::filesystem::path kFixtures = CRACKDEPTH_FIXTURES_DIR;

void loadSite(DocumentData& data) {
    FileSource source(kFixtures / "SITE.DPA");
    ResultFileContents contents;
    ASSERT_EQ(ReadResultFile(source, contents), BlockStatus::Ok);
    LoadResultLines(data, std::move(contents), "SITE.DPA");
}

// (kind, line, point) of each finding; -1 for a finding without a point.
using Finding = std::tuple<CheckKind, std::int32_t, std::int32_t>;

std::vector<Finding> findingsOf(const DocumentData& data) {
    std::vector<Finding> findings;
    for (const MeasurementCheck& check : CheckMeasurement(data, AnalyseDocument(data))) {
        EXPECT_FALSE(check.message.empty());
        findings.emplace_back(check.kind, check.line, check.point.value_or(-1));
    }
    return findings;
}

TEST(MeasurementChecks, EachDisturbanceIsFoundWhereItIs) {
    const auto crossing = [](DocumentData& data, std::int32_t number) -> PointList& {
        return *data.line(LineId{LineKind::Crossing, static_cast<std::size_t>(number - 1)});
    };
    const struct {
        const char* name;
        std::function<void(DocumentData&)> disturb;
        std::vector<Finding> expected;
    } cases[] = {
        {"nothing", [](DocumentData&) {}, {}},
        {"a velocity of about 8.7 km/s",
         [](DocumentData& data) {
             for (std::size_t i = 0; i < data.nonCrossingList->size(); ++i) {
                 (*data.nonCrossingList)[i].distance *= 2;
             }
         },
         {{CheckKind::Velocity, 0, -1}}},
        {"a non-crossing distance 40 mm off",
         [](DocumentData& data) { (*data.nonCrossingList)[2].distance += 40; },
         {{CheckKind::Residual, 0, 2}}},
        {"a pick six samples late",
         [&](DocumentData& data) { crossing(data, 2)[5].arrivalIndex += 6; },
         {{CheckKind::Pick, 2, 5}}},
        {"a pick so early that the path is shorter than the straight one",
         [&](DocumentData& data) { crossing(data, 1)[3].arrivalIndex = 20; },
         {{CheckKind::UndefinedDepth, 1, 3}, {CheckKind::Pick, 1, 3}}},
        {"all points but one excluded by hand",
         [&](DocumentData& data) {
             PointList& line = crossing(data, 1);
             for (std::size_t i = 1; i < line.size(); ++i) {
                 line[i].record.setManualMark(kManualExcludeMark);
             }
         },
         {{CheckKind::FewKept, 1, -1}}},
        {"an estimate of a few millimetres kept by hand among estimates of tens",
         [&](DocumentData& data) {
             // The distance whose path gives a depth of 1 % of it: (t·B / Lc)² = 1.0004.
             const DocumentAnalysis analysis = AnalyseDocument(data);
             const float time = analysis.cracks[1].points[6].transitTime;
             MeasuringPoint& point = crossing(data, 2)[6];
             point.distance = time * analysis.fit->B / std::sqrt(1.0004f) + analysis.fit->A;
             point.record.setManualMark(kManualKeepMark);
         },
         {{CheckKind::OutlyingDepth, 2, 6}}},
        {"the converter's limit just after the arrival",
         [&](DocumentData& data) {
             MeasuringPoint& point = crossing(data, 2)[4];
             point.samples[static_cast<std::size_t>(point.arrivalIndex + 5)] = 4095;
         },
         {{CheckKind::Clipped, 2, 4}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DocumentData data;
        loadSite(data);
        c.disturb(data);
        EXPECT_EQ(findingsOf(data), c.expected);
    }
}

// A point read without its waveform is not checked for what only the waveform shows.
TEST(MeasurementChecks, PointsWithoutWaveformsSkipTheWaveformChecks) {
    DocumentData data;
    loadSite(data);
    PointList& line = *data.line(LineId{LineKind::Crossing, 1});
    line[5].arrivalIndex += 6;
    line[5].samples.clear();
    EXPECT_TRUE(findingsOf(data).empty());
}

} // namespace
} // namespace crackdepth
