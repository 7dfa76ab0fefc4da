// The point tables as data: the line view's screen table (one row per point of the shown line)
// and the wider report table, each cell with its text and colours, built from the document's
// data and the evaluation of the selected crossing line.
#pragma once

#include "core/analysis/crack_evaluation.h"
#include "core/document/model/document_data.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace crackdepth {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kRed{255, 0, 0};            // reversal rows; the selected tab's label
inline constexpr Rgb kOrange{255, 128, 0};       // crossing-line data
inline constexpr Rgb kLightGreen{230, 246, 230}; // every second data row
inline constexpr Rgb kLightMauve{245, 230, 245}; // the report's non-crossing time column

struct TableCell {
    std::string text;
    Rgb textColour = kBlack;
    Rgb background = kWhite;

    bool operator==(const TableCell&) const = default;
};

struct PointTable {
    std::vector<std::string> headers;         // the one fixed header row
    std::vector<std::vector<TableCell>> rows; // data row i (table row i + 1) is point i
    std::int32_t currentRow = -1;             // data row of the current point; -1 for none
    std::string crackDepthText;               // "平均裂深" field; empty on the non-crossing tab
};

inline constexpr const char* kStatusHeader = "保留标志";

// "%d" of a value truncated to a whole number; "--.--" for a value that is no number.
std::string truncatedText(float value);

// The line view's table of the shown line: "测点序列", "测距(mm)", "声时(us)", "保留标志",
// "缝深(mm)", "波幅(dB)". Transit times take the selected tab's correction. Statuses and depths
// are those of `selected`, the evaluation of the selected crossing line (none on the
// non-crossing tab), while the shown line is that line, "--.--" otherwise.
PointTable BuildScreenTable(const DocumentData& data, const std::optional<CrackResult>& selected);

// The report's table of the selected tab's line beside the non-crossing line, one row per point
// of the longer of the two: "测点序列", "测距(mm)", "跨缝声时(us)", "不跨缝声时(us)", "保留标志",
// "缝深(mm)", "波幅(dB)". Cells past the end of a line show "--.--".
PointTable BuildReportTable(const DocumentData& data, const std::optional<CrackResult>& selected);

} // namespace crackdepth
