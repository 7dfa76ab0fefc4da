#include "core/document/commands/picking.h"
#include "core/document/model/document_analysis.h"
#include "core/document/model/line_table.h"
#include "core/document/model/line_tabs.h"
#include "core/document/model/scripted_prompts.h"
#include "document_support.h"
#include "test_support.h"

#include <cmath>
#include <gtest/gtest.h>

namespace crackdepth {
namespace {

using testing::makeHeader;

constexpr std::int32_t kSamples = 16;
constexpr std::size_t kPeak = 4; // amplitude index: 2048 + 1024 there, 0.01 V at gain 100

// Points at the given distances and transit times (dt 0.5 us, no delay), each with an
// amplitude of 0.01 V (112.04 dB).
PointList makeLine(const std::vector<std::pair<float, float>>& points) {
    PointList line;
    line.sampleCount = kSamples;
    for (const auto& [distance, time] : points) {
        std::vector<Sample> samples(kSamples, kZeroLine);
        samples[kPeak] = kZeroLine + 1024;
        line.Append(samples, distance);
        MeasuringPoint& point = *line.cursor();
        point.record.setSamplingInterval(0.5f);
        point.arrivalIndex = static_cast<std::int32_t>(time / 0.5f);
        point.amplitudeIndex = static_cast<std::int32_t>(kPeak);
        point.gain = 100;
    }
    return line;
}

// The non-crossing line gives A = 0 and B = 4 km/s. The crossing line's points give the depths
// 60, 80, 100 and 200 mm; their mean 110 mm excludes the point at 90 mm, and the crack depth
// is the mean of the other three, 126.67 mm.
void fillDocument(DocumentData& data, std::vector<std::pair<float, float>> crossing = {
                                          {90, 37.5f}, {120, 50}, {150, 62.5f}, {300, 125}}) {
    data.nonCrossingList = std::make_unique<PointList>(makeLine({{100, 25}, {200, 50}, {300, 75}}));
    data.nonCrossingParameters = makeHeader(kNonCrossingSignature, kSamples);
    data.crossingLists.push_back(std::make_unique<PointList>(makeLine(crossing)));
    data.crossingParameters.push_back(makeHeader(kCrossingSignature, kSamples));
    data.crossingCorrections.push_back(0.0f);
    data.shown = ShownLine::NonCrossing;
}

DocumentData documentData(std::vector<std::pair<float, float>> crossing = {
                              {90, 37.5f}, {120, 50}, {150, 62.5f}, {300, 125}}) {
    DocumentData data;
    fillDocument(data, std::move(crossing));
    return data;
}

// A document holding `data` with tab `tab` selected, and its tables as the views show them.
struct Bench {
    explicit Bench(DocumentData data, std::int32_t tab = 0) {
        doc.Load(std::move(data));
        doc.SelectTab(tab);
    }
    PointTable screen() const { return AnalyseDocument(doc.data()).screenTable; }
    PointTable report() const { return AnalyseDocument(doc.data()).reportTable; }

    ScriptedPrompts prompts;
    Document doc{prompts, {}};
};

std::vector<std::vector<std::string>> texts(const PointTable& table) {
    std::vector<std::vector<std::string>> rows;
    for (const auto& row : table.rows) {
        std::vector<std::string>& cells = rows.emplace_back();
        for (const TableCell& cell : row) {
            cells.push_back(cell.text);
        }
    }
    return rows;
}

using Rows = std::vector<std::vector<std::string>>;

TEST(ScreenTable, CrossingTabShowsTheEvaluationOfTheLine) {
    Bench bench(documentData(), 1);
    const std::vector<std::uint8_t> before = testing::serialise(bench.doc.data());
    const PointTable table = bench.screen();
    EXPECT_EQ(testing::serialise(bench.doc.data()), before) << "building a table changes nothing";
    EXPECT_EQ(table.headers, (std::vector<std::string>{"测点序列", "测距(mm)", "声时(us)",
                                                       "保留标志", "缝深(mm)", "波幅(dB)"}));
    EXPECT_EQ(texts(table), (Rows{
                                {"1", "90", "37", "自动剔除", "60.00", "112.04"},
                                {"2", "120", "50", "自动保留", "80.00", "112.04"},
                                {"3", "150", "62", "自动保留", "100.00", "112.04"},
                                {"4", "300", "125", "自动保留", "200.00", "112.04"},
                            }));
    EXPECT_EQ(table.crackDepthText, "126.67(mm)");
    EXPECT_EQ(keepFlags(*AnalyseDocument(bench.doc.data()).selected),
              (std::vector<std::int32_t>{0, 1, 1, 1}))
        << "the keep flags the evaluation gives";
}

TEST(ScreenTable, NonCrossingTabHasNoStatusDepthOrCrackDepth) {
    DocumentData data = documentData();
    // Slot 12 of the non-crossing header is the analysis method, never a reversal flag.
    data.nonCrossingParameters.lineFlag = 1;
    data.nonCrossingParameters.reversalIndex = 1;
    const PointTable table = Bench(std::move(data), 0).screen();
    EXPECT_EQ(texts(table), (Rows{
                                {"1", "100", "25", "--.--", "--.--", "112.04"},
                                {"2", "200", "50", "--.--", "--.--", "112.04"},
                                {"3", "300", "75", "--.--", "--.--", "112.04"},
                            }));
    EXPECT_EQ(table.crackDepthText, "");
    for (const auto& row : table.rows) {
        for (const TableCell& cell : row) {
            EXPECT_EQ(cell.textColour, kBlack);
        }
    }
}

TEST(ScreenTable, NonCrossingLineShownUnderACrossingTabKeepsTheCrackDepth) {
    // A click in the distance–time plot shows the non-crossing line while tab 1 stays selected.
    Bench bench(documentData(), 1);
    ShowNonCrossingPoint(bench.doc, 0);
    const PointTable table = bench.screen();
    ASSERT_EQ(table.rows.size(), 3u);
    EXPECT_EQ(table.rows[0][3].text, "--.--");
    EXPECT_EQ(table.rows[0][4].text, "--.--");
    EXPECT_EQ(table.crackDepthText, "126.67(mm)");
}

// The status column says which rows the crack depth averages under the rule in force: round a
// phase-reversal point the statuses decide nothing, and the column names the reversal rows
// whose estimates "平均裂深" takes. Before, it kept showing the statuses (row 1 "自动剔除", row
// 4 "自动保留") while the depth was the mean of rows 1 to 3.
TEST(ScreenTable, TheStatusColumnShowsTheRowsTheCrackDepthAverages) {
    struct Case {
        std::optional<std::int32_t> reversal;
        std::vector<std::string> statuses;
        const char* crackDepth;
    };
    const Case cases[] = {
        {std::nullopt, {"自动剔除", "自动保留", "自动保留", "自动保留"}, "126.67(mm)"},
        {1, {"反相参与", "反相参与", "反相参与", "不参与"}, "80.00(mm)"},
        {0, {"反相参与", "反相参与", "不参与", "不参与"}, "70.00(mm)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reversal.value_or(-1));
        DocumentData data = documentData();
        if (c.reversal) {
            data.crossingParameters[0].lineFlag = 1;
            data.crossingParameters[0].reversalIndex = *c.reversal;
        }
        const Bench bench(std::move(data), 1);
        for (const PointTable& table : {bench.screen(), bench.report()}) {
            const std::size_t column = table.headers.size() == 6 ? 3 : 4;
            std::vector<std::string> statuses;
            for (const auto& row : table.rows) {
                statuses.push_back(row[column].text);
            }
            EXPECT_EQ(statuses, c.statuses) << table.headers.size() << " columns";
            EXPECT_EQ(table.crackDepthText, c.crackDepth);
        }
    }
}

TEST(ScreenTable, RowColoursMarkTheReversalPointAndItsNeighbours) {
    struct Case {
        std::int32_t tab;
        std::optional<std::int32_t> reversal;
        std::vector<Rgb> text;
    };
    const Case cases[] = {
        {0, std::nullopt, {kBlack, kBlack, kBlack}},
        {1, std::nullopt, {kOrange, kOrange, kOrange, kOrange}},
        {1, 0, {kRed, kRed, kOrange, kOrange}},
        {1, 1, {kRed, kRed, kRed, kOrange}},
        {1, 3, {kOrange, kOrange, kRed, kRed}},
        {1, 9, {kOrange, kOrange, kOrange, kOrange}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "tab " << c.tab << " reversal " << c.reversal.value_or(-1));
        DocumentData data = documentData();
        if (c.reversal) {
            data.crossingParameters[0].lineFlag = 1;
            data.crossingParameters[0].reversalIndex = *c.reversal;
        }
        const PointTable table = Bench(std::move(data), c.tab).screen();
        ASSERT_EQ(table.rows.size(), c.text.size());
        for (std::size_t i = 0; i < table.rows.size(); ++i) {
            for (const TableCell& cell : table.rows[i]) {
                EXPECT_EQ(cell.textColour, c.text[i]) << "row " << i;
                EXPECT_EQ(cell.background, i % 2 == 0 ? kWhite : kLightGreen) << "row " << i;
            }
        }
    }
}

TEST(ScreenTable, TimeAndAmplitudeCells) {
    struct Case {
        const char* name;
        void (*change)(MeasuringPoint&);
        const char* time;
        const char* amplitude;
        float gain = 100;
    };
    const Case cases[] = {
        {"34.98 us is cut to 34",
         [](MeasuringPoint& p) {
             p.arrivalIndex = 68;
             p.delay = 0.98f;
         },
         "34", "112.04"},
        {"a negative time is cut toward zero",
         [](MeasuringPoint& p) {
             p.arrivalIndex = 0;
             p.delay = -0.7f;
         },
         "0", "112.04"},
        {"a damaged delay gives no time", [](MeasuringPoint& p) { p.delay = std::nanf(""); },
         "--.--", "112.04"},
        {"amplitude index before the waveform", [](MeasuringPoint& p) { p.amplitudeIndex = -1; },
         "25", "--.--"},
        {"amplitude index past the waveform",
         [](MeasuringPoint& p) { p.amplitudeIndex = kSamples; }, "25", "--.--"},
        {"a zero amplitude is minus infinity dB",
         [](MeasuringPoint& p) { p.samples[kPeak] = kZeroLine; }, "25", "--.--"},
        {"a gain of 0 counts as 100 and becomes it when the document takes it",
         [](MeasuringPoint& p) { p.gain = 0; }, "25", "112.04", 100},
        {"a gain of 10 is 20 dB more", [](MeasuringPoint& p) { p.gain = 10; }, "25", "132.04", 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DocumentData data = documentData();
        c.change((*data.nonCrossingList)[0]);
        const Bench bench(std::move(data), 0);
        const PointTable table = bench.screen();
        EXPECT_EQ(table.rows[0][2].text, c.time);
        EXPECT_EQ(table.rows[0][5].text, c.amplitude);
        EXPECT_EQ((*bench.doc.data().nonCrossingList)[0].gain, c.gain);
    }
}

TEST(ScreenTable, TransitTimesTakeTheSelectedTabsCorrection) {
    DocumentData data = documentData();
    data.crossingCorrections[0] = 1.0f; // two samples
    data.correctionAll = 0.5f;          // one more
    Bench bench(std::move(data), 1);
    const PointTable crossing = bench.screen();
    EXPECT_EQ(crossing.rows[0][2].text, "39");  // 37.5 + 1.5
    EXPECT_EQ(crossing.rows[3][2].text, "126"); // 125 + 1.5
    bench.doc.SelectTab(0);
    const PointTable nonCrossing = bench.screen();
    EXPECT_EQ(nonCrossing.rows[0][2].text, "25"); // 25 + 0.5: the crossing correction is gone
}

TEST(ScreenTable, CurrentRowIsTheShownLinesCurrentPoint) {
    const std::pair<std::int32_t, std::int32_t> cases[] = {{0, 0}, {2, 2}, {9, 2}, {-1, 0}};
    for (const auto& [current, row] : cases) {
        DocumentData data = documentData();
        data.nonCrossingList->currentIndex = current;
        EXPECT_EQ(BuildScreenTable(data, std::nullopt).currentRow, row) << "current " << current;
    }
    const PointTable table = BuildScreenTable(DocumentData{}, std::nullopt);
    EXPECT_TRUE(table.rows.empty());
    EXPECT_EQ(table.currentRow, -1);
}

TEST(ReportTable, RowsCoverTheLongerLineWithDashesPastTheShorter) {
    struct Case {
        const char* name;
        std::int32_t tab;
        std::vector<std::pair<float, float>> crossing;
        Rows rows;
        const char* crackDepth;
    };
    const Case cases[] = {
        {"crossing line longer: its distances",
         1,
         {{90, 37.5f}, {120, 50}, {150, 62.5f}, {300, 125}},
         {
             {"1", "90", "37", "25", "自动剔除", "60.00", "112.04"},
             {"2", "120", "50", "50", "自动保留", "80.00", "112.04"},
             {"3", "150", "62", "75", "自动保留", "100.00", "112.04"},
             {"4", "300", "125", "--.--", "自动保留", "200.00", "112.04"},
         },
         "126.67(mm)"},
        {"crossing line shorter: the non-crossing distances",
         1,
         {{120, 50}, {150, 62.5f}},
         {
             {"1", "100", "50", "25", "自动保留", "80.00", "112.04"},
             {"2", "200", "62", "50", "自动保留", "100.00", "112.04"},
             {"3", "300", "--.--", "75", "--.--", "--.--", "--.--"},
         },
         "90.00(mm)"},
        {"non-crossing tab: the line beside itself, without statuses",
         0,
         {{120, 50}},
         {
             {"1", "100", "25", "25", "--.--", "--.--", "112.04"},
             {"2", "200", "50", "50", "--.--", "--.--", "112.04"},
             {"3", "300", "75", "75", "--.--", "--.--", "112.04"},
         },
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PointTable table = Bench(documentData(c.crossing), c.tab).report();
        EXPECT_EQ(table.headers,
                  (std::vector<std::string>{"测点序列", "测距(mm)", "跨缝声时(us)",
                                            "不跨缝声时(us)", "保留标志", "缝深(mm)", "波幅(dB)"}));
        EXPECT_EQ(texts(table), c.rows);
        EXPECT_EQ(table.crackDepthText, c.crackDepth);
    }
}

TEST(ReportTable, NonCrossingTimesTakeTheSelectedTabsCorrection) {
    DocumentData data = documentData();
    data.crossingCorrections[0] = 1.0f;
    const PointTable table = Bench(std::move(data), 1).report();
    EXPECT_EQ(table.rows[0][2].text, "38"); // 37.5 + 1
    EXPECT_EQ(table.rows[0][3].text, "26"); // 25 + 1
}

TEST(ReportTable, ColoursSetTheNonCrossingColumnApart) {
    DocumentData data = documentData();
    data.crossingParameters[0].lineFlag = 1;
    data.crossingParameters[0].reversalIndex = 3; // rows 2 and 3 red
    const PointTable table = Bench(std::move(data), 1).report();
    ASSERT_EQ(table.rows.size(), 4u);
    for (std::size_t i = 0; i < table.rows.size(); ++i) {
        const Rgb text = i >= 2 ? kRed : kOrange;
        const Rgb background = i % 2 == 0 ? kWhite : kLightGreen;
        for (std::size_t c = 0; c < table.rows[i].size(); ++c) {
            const TableCell& cell = table.rows[i][c];
            SCOPED_TRACE(::testing::Message() << "row " << i << " column " << c);
            EXPECT_EQ(cell.textColour, c == 3 ? kBlack : text);
            EXPECT_EQ(cell.background, c == 3 ? kLightMauve : background);
        }
    }
}

TEST(ClickTableRow, MakesTheRowsPointCurrent) {
    struct Case {
        std::int32_t row;
        bool onPoint;
        std::int32_t current;
    };
    // The shown crossing line has 4 points; its current point starts at 2.
    const Case cases[] = {{0, false, 2}, {1, true, 0}, {4, true, 3}, {5, true, 3}, {99, true, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        Bench bench(documentData(), 1);
        Document& doc = bench.doc;
        doc.SelectPoint(*doc.data().shownId(), 2);
        testing::EventLog log;
        doc.addListener(&log);
        EXPECT_EQ(ClickTableRow(doc, c.row), c.onPoint);
        EXPECT_EQ(doc.data().shownList()->currentIndex, c.current);
        EXPECT_EQ(log.saw(DocumentChange::Selection), c.onPoint);
        EXPECT_FALSE(log.saw(DocumentChange::Data)) << "a click is no edit";
        doc.removeListener(&log);
    }
}

} // namespace
} // namespace crackdepth
