#include "core/analysis/crack_evaluation.h"
#include "core/analysis/transit_time.h"

#include <gtest/gtest.h>

namespace crackdepth {
namespace {

struct PointSpec {
    float distance;
    std::int32_t arrival; // with dt 1 us and no delay, the transit time in us
    float mark = 0;
};

PointList lineOf(const std::vector<PointSpec>& specs, float dt = 1.0f) {
    PointList line;
    line.sampleCount = 1;
    const std::vector<Sample> samples{kZeroLine};
    for (const PointSpec& spec : specs) {
        line.Append(samples, spec.distance);
        MeasuringPoint& point = *line.cursor();
        point.arrivalIndex = spec.arrival;
        point.record.setSamplingInterval(dt);
        point.record.setManualMark(spec.mark);
    }
    return line;
}

TEST(TransitTime, CorrectionsShiftByWholeSamplesTowardZero) {
    struct Case {
        float all, timeShift, line, dt;
        std::int32_t shift;
        float time;
    };
    const Case cases[] = {
        {0.35f, 0, 0, 0.1f, 3, (3 + 100) * 0.1f + 2.0f}, // 3.5 samples truncate to 3
        {-0.35f, 0, 0, 0.1f, -3, (-3 + 100) * 0.1f + 2.0f},
        {0.1f, 0.2f, 0.5f, 0.2f, 4, (4 + 100) * 0.2f + 2.0f},
        {0, 0, 0, 0.5f, 0, 100 * 0.5f + 2.0f},
    };
    for (const Case& c : cases) {
        MeasuringPoint point;
        point.arrivalIndex = 100;
        point.delay = 2.0f;
        point.timeShift = c.timeShift;
        point.record.setSamplingInterval(c.dt);
        const TransitTime t = transitTime(point, c.line, c.all);
        EXPECT_EQ(t.shift, c.shift) << c.all;
        EXPECT_FLOAT_EQ(t.time, c.time) << c.all;
    }
}

TEST(FitLine, RegressionRecoversAnExactLine) {
    // L = -20 + 4·T
    PointList line = lineOf({{100, 30}, {140, 40}, {180, 50}, {260, 70}});
    const auto fit = FitLine(line, RegressionMethod::Regression, {});
    ASSERT_TRUE(fit);
    EXPECT_FLOAT_EQ(fit->B, 4.0f);
    EXPECT_NEAR(fit->A, -20.0f, 1e-3f);
    EXPECT_EQ(interceptText(fit), "-20.00(mm)");
    EXPECT_EQ(velocityText(fit), "4.00(km/s)");
}

TEST(FitLine, TwoPointUsesTheCurrentPointAndNeverThePointItself) {
    PointList line = lineOf({{100, 30}, {140, 40}, {200, 50}});
    line.currentIndex = 0;
    const auto fit = FitLine(line, RegressionMethod::TwoPoint, {});
    EXPECT_EQ(line.currentIndex, 0) << "fitting changes nothing";
    EXPECT_EQ(twoPointPartner(line), 1) << "point 0 is paired with point 1 instead";
    ASSERT_TRUE(fit);
    EXPECT_FLOAT_EQ(fit->B, 40.0f / (10.0f + 5e-6f));
    EXPECT_FLOAT_EQ(fit->A, 100.0f - fit->B * 30.0f);

    line.currentIndex = 2;
    EXPECT_FLOAT_EQ(FitLine(line, RegressionMethod::TwoPoint, {})->B, 100.0f / (20.0f + 5e-6f));
}

TEST(FitLine, BothMethodsAgreeOnTwoPoints) {
    PointList line = lineOf({{100, 30}, {160, 45}});
    const auto regression = FitLine(line, RegressionMethod::Regression, {});
    const auto twoPoint = FitLine(line, RegressionMethod::TwoPoint, {});
    ASSERT_TRUE(regression && twoPoint);
    EXPECT_NEAR(regression->B, twoPoint->B, 1e-4f);
    EXPECT_NEAR(regression->A, twoPoint->A, 1e-2f);
}

TEST(FitLine, UndefinedFitsGiveNoLine) {
    struct Case {
        const char* what;
        std::vector<PointSpec> points;
        float dt;
        RegressionMethod method;
    };
    const Case cases[] = {
        {"no point", {}, 1.0f, RegressionMethod::Regression},
        {"one point", {{100, 30}}, 1.0f, RegressionMethod::Regression},
        {"one point, two-point method", {{100, 30}}, 1.0f, RegressionMethod::TwoPoint},
        {"equal transit times", {{100, 30}, {150, 30}}, 1.0f, RegressionMethod::Regression},
        {"zero sampling interval", {{100, 30}, {150, 40}}, 0.0f, RegressionMethod::Regression},
        {"zero sampling interval, two-point",
         {{100, 30}, {150, 40}},
         0.0f,
         RegressionMethod::TwoPoint},
    };
    for (const Case& c : cases) {
        PointList line = lineOf(c.points, c.dt);
        const auto fit = FitLine(line, c.method, {});
        EXPECT_FALSE(fit) << c.what;
        EXPECT_EQ(interceptText(fit), "--.--(mm)");
        EXPECT_EQ(velocityText(fit), "--.--(km/s)");
    }
}

TEST(DepthAt, OnlyPositiveFiniteValuesAreDepths) {
    struct Case {
        float path, time, velocity, expected;
        bool depth;
    };
    const Case cases[] = {
        {16, 34, 1, 15, true}, // the 8-15-17 triangle: exact in floats
        {48, 102, 1, 45, true},
        {100, 25, 4, 0, false},           // Lc = t·B: zero, not a depth
        {100.5f, 25, 4, -1, false},       // Lc > t·B
        {-10, 25, 4, -49.749371f, false}, // L - A negative: never a depth
    };
    for (const Case& c : cases) {
        const float h = depthAt(c.path, c.time, c.velocity);
        EXPECT_FLOAT_EQ(h, c.expected) << c.path;
        EXPECT_EQ(isDepth(h), c.depth) << c.path;
    }
    EXPECT_FALSE(isDepth(depthAt(0, 25, 4))) << "a zero path length gives no depth";
}

TEST(ManualMarks, KeepAndExcludeBandsAreExclusive) {
    struct Case {
        float mark;
        std::optional<PointStatus> status;
    };
    const Case cases[] = {
        {0, std::nullopt},
        {998, std::nullopt},
        {999.5f, PointStatus::ManualKeep},
        {1000, PointStatus::ManualKeep},
        {1002, std::nullopt},
        {7998.5f, PointStatus::ManualExclude},
        {8000, PointStatus::ManualExclude},
        {8002, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(manualStatus(c.mark), c.status) << c.mark;
    }
}

// With A = 0 and B = 1 a point at L = 16k with a transit time of 34k us has the depth 15k
// exactly, so the mean depth can be placed exactly.
constexpr LineFit kUnitFit{0.0f, 1.0f};

TEST(EvaluateCrack, AutomaticRuleKeepsDistancesFromMeanToThreeTimesMeanInclusive) {
    // Depths 45, 60 and 45 give m = 50; the other points have no depth of their own.
    PointList line =
        lineOf({{48, 102}, {64, 136}, {48, 102}, {50, 1}, {150, 1}, {49.99f, 1}, {150.01f, 1}});
    const CrackResult result = EvaluateCrack(line, kUnitFit, {}, {});
    const PointStatus expected[] = {PointStatus::AutoExclude, PointStatus::AutoKeep,
                                    PointStatus::AutoExclude, PointStatus::AutoKeep,
                                    PointStatus::AutoKeep,    PointStatus::AutoExclude,
                                    PointStatus::AutoExclude};
    for (std::size_t i = 0; i < line.size(); ++i) {
        EXPECT_EQ(result.points[i].status, expected[i]) << "point " << i;
        EXPECT_EQ(result.points[i].kept, expected[i] == PointStatus::AutoKeep) << "point " << i;
    }
    EXPECT_EQ(result.points[0].depthText, "45.00");
    EXPECT_EQ(result.points[3].depthText, "--.--");
    EXPECT_EQ(result.crackDepthText, "60.00(mm)");
}

TEST(EvaluateCrack, ManualMarksOverrideTheRule) {
    // Depths 30 (manually excluded: out of m), 45 and 60: m = 52.5.
    PointList line = lineOf({{32, 68, kManualExcludeMark},
                             {48, 102},
                             {64, 136},
                             {20, 1, kManualKeepMark}, // kept by hand, no depth of its own
                             {200, 1}});
    const CrackResult result = EvaluateCrack(line, kUnitFit, {}, {});
    EXPECT_EQ(result.points[0].status, PointStatus::ManualExclude);
    EXPECT_EQ(result.points[0].depthText, "30.00") << "an excluded point still shows its depth";
    EXPECT_EQ(result.points[1].status, PointStatus::AutoExclude); // 48 < 52.5
    EXPECT_EQ(result.points[2].status, PointStatus::AutoKeep);
    EXPECT_EQ(result.points[3].status, PointStatus::ManualKeep);
    EXPECT_EQ(result.points[3].depthText, "--.--");
    EXPECT_EQ(result.points[4].status, PointStatus::AutoExclude); // beyond 3·m = 157.5
    EXPECT_FALSE(result.points[0].kept);
    EXPECT_TRUE(result.points[3].kept);
    EXPECT_EQ(result.crackDepthText, "60.00(mm)");
}

TEST(EvaluateCrack, PhaseReversalAveragesTheNeighbourhoodRoundTheCrackTip) {
    // A = 16: ordinary points use L - 16, reversal points L + 16.
    const LineFit fit{16.0f, 1.0f};
    // L + 16 = 32, 48, 64 with times 68, 102, 136 give 30, 45, 60 round the tip.
    const std::vector<PointSpec> points{{16, 68}, {32, 102}, {48, 136}, {100, 1}};
    struct Case {
        std::int32_t index;
        const char* crackDepth;
    };
    const Case cases[] = {
        {0, "37.50(mm)"}, // points 0 and 1
        {1, "45.00(mm)"}, // points 0, 1 and 2
        {3, "60.00(mm)"}, // the last index: points 2 and 3, and 3 has no depth
        {7, "--.--(mm)"}, // no point round it
    };
    for (const Case& c : cases) {
        PointList line = lineOf(points);
        const CrackResult result = EvaluateCrack(line, fit, {}, {true, c.index});
        EXPECT_EQ(result.crackDepthText, c.crackDepth) << "reversal at " << c.index;
    }
}

TEST(EvaluateCrack, WithoutAFitNoPointHasADepth) {
    PointList line = lineOf({{48, 102}, {64, 136}});
    const CrackResult result = EvaluateCrack(line, std::nullopt, {}, {});
    for (const PointEvaluation& point : result.points) {
        EXPECT_EQ(point.depthText, "--.--");
        EXPECT_FALSE(point.depth);
    }
    EXPECT_EQ(result.crackDepthText, "--.--(mm)");
    EXPECT_FALSE(result.crackDepth);
}

TEST(EvaluateCrack, TheTabCorrectionMovesEveryTransitTime) {
    PointList line = lineOf({{64, 126}});
    // 10 us of line correction brings the time to 136 us and the depth to 60.
    const CrackResult result = EvaluateCrack(line, kUnitFit, {0.0f, 10.0f}, {});
    EXPECT_EQ(result.points[0].depthText, "60.00");
}

} // namespace
} // namespace crackdepth
