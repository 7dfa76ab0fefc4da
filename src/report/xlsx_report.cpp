#include "report/xlsx_report.h"

#include "core/common/atomic_file.h"
#include "report/report_pictures.h"
#include "report/silenced_stderr.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <unistd.h>
#include <xlsxwriter.h>

namespace crackdepth::report {
namespace {

constexpr std::size_t kMaxSheetName = 31;
constexpr double kPixelsPerPoint = 96.0 / 72.0;
// A column 16 characters wide is this many pixels, a default row 20 (15 points).
constexpr int kColumnPixels = static_cast<int>(kXlsxColumnWidth * 7 + 0.5) + 5;
constexpr int kRowPixels = 20;
// The plot is rendered at this many pixels per point of its displayed size, sharp in print.
constexpr double kPlotScale = 4.0;

// The code points of a UTF-8 text, each as its bytes.
std::vector<std::string> characters(const std::string& text) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        length = std::min(length, text.size() - i);
        out.push_back(text.substr(i, length));
        i += length;
    }
    return out;
}

std::string joined(const std::vector<std::string>& parts, std::size_t count) {
    std::string out;
    for (std::size_t i = 0; i < count && i < parts.size(); ++i) {
        out += parts[i];
    }
    return out;
}

std::string folded(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

QByteArray pngOf(const QImage& image) {
    QImage copy = image;
    // 96 dots per inch: the workbook takes the picture's size from it.
    copy.setDotsPerMeterX(3780);
    copy.setDotsPerMeterY(3780);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    copy.save(&buffer, "PNG");
    return bytes;
}

// Row r, column c (0-based), a text.
lxw_error put(lxw_worksheet* sheet, int row, int column, const std::string& text) {
    return worksheet_write_string(sheet, static_cast<lxw_row_t>(row),
                                  static_cast<lxw_col_t>(column), text.c_str(), nullptr);
}

// The number formats of a workbook's values, made once per workbook: a value cell shows the
// report's text ("12", "169.64", "169.64(mm)") while it holds a number a formula can use.
class NumberFormats {
public:
    explicit NumberFormats(lxw_workbook* workbook) : workbook_(workbook) {}

    lxw_format* of(int decimals, const std::string& unit) {
        const std::string code =
            (decimals == 0 ? std::string("0")
                           : "0." + std::string(static_cast<std::size_t>(decimals), '0')) +
            (unit.empty() ? std::string() : "\"" + unit + "\"");
        const auto found = formats_.find(code);
        if (found != formats_.end()) {
            return found->second;
        }
        lxw_format* format = workbook_add_format(workbook_);
        if (format != nullptr) {
            format_set_num_format(format, code.c_str());
        }
        return formats_[code] = format;
    }

private:
    lxw_workbook* workbook_;
    std::map<std::string, lxw_format*> formats_;
};

// A value of the report: a number where its text is one (shown with as many decimals as the
// text has, and `unit` after it), else the text itself ("--.--", with `unit` after it).
lxw_error putValue(lxw_worksheet* sheet, NumberFormats& formats, int row, int column,
                   const std::string& text, const std::string& unit = {}) {
    const std::optional<CellNumber> number = cellNumberOf(text);
    if (!number) {
        return put(sheet, row, column, text + unit);
    }
    return worksheet_write_number(sheet, static_cast<lxw_row_t>(row),
                                  static_cast<lxw_col_t>(column), number->value,
                                  formats.of(number->decimals, unit));
}

lxw_error writeCrackSheet(lxw_worksheet* sheet, NumberFormats& formats,
                          const ReportContent& content, const CrackReport& crack,
                          const QByteArray& plot, bool listChecks) {
    lxw_error error = worksheet_set_column(sheet, 0, LXW_COL_MAX - 1, kXlsxColumnWidth, nullptr);
    // Printed from the office program, a sheet takes one landscape page across (the table
    // and the plot beside it), as many pages down as its points need.
    worksheet_set_landscape(sheet);
    worksheet_set_paper(sheet, 9); // A4
    worksheet_fit_to_pages(sheet, 1, 0);
    const auto keep = [&error](lxw_error result) {
        if (error == LXW_NO_ERROR) {
            error = result;
        }
    };
    keep(put(sheet, 0, 2, "报告分析表"));
    // Where each line's distance has a column of its own, the table is a column wider and the
    // result block and the plot move one column to the right.
    const PointTable table = standardTable(crack);
    const int shift = crack.sharedDistances ? 0 : 1;
    const int labelColumn = 5 + shift * 2;
    for (std::size_t c = 0; c < table.heads.size(); ++c) {
        keep(put(sheet, 1, static_cast<int>(c), table.heads[c]));
    }
    const char* labels[] = {"跨缝测线", "非跨缝测线", "裂缝深度(mm)", "回归系数A(mm)",
                            "回归系数B(km/s)"};
    for (int i = 0; i < 5; ++i) {
        keep(put(sheet, 27 + i, labelColumn, labels[i]));
    }
    for (std::size_t k = 0; k < crack.rows.size() && error == LXW_NO_ERROR; ++k) {
        const int row = 2 + static_cast<int>(k);
        if (row >= static_cast<int>(LXW_ROW_MAX)) {
            break;
        }
        const std::vector<std::string> cells = standardCells(crack, crack.rows[k]);
        for (std::size_t c = 0; c < cells.size(); ++c) {
            keep(putValue(sheet, formats, row, static_cast<int>(c), cells[c]));
        }
    }
    // The line names stay texts, whatever characters they hold.
    keep(put(sheet, 27, labelColumn + 1, crack.crossingName));
    keep(put(sheet, 28, labelColumn + 1, crack.nonCrossingName));
    keep(putValue(sheet, formats, 29, labelColumn + 1, crack.crackDepth, "(mm)"));
    keep(putValue(sheet, formats, 30, labelColumn + 1, content.intercept));
    keep(putValue(sheet, formats, 31, labelColumn + 1, content.velocity));
    // "测量检查" below the result block, one finding a row.
    if (listChecks) {
        keep(put(sheet, 33, labelColumn, kChecksTitle));
        int row = 34;
        for (const std::string& finding : checkRowsOf(crack)) {
            keep(put(sheet, row++, labelColumn, finding));
        }
    }
    if (!plot.isEmpty()) {
        const int left =
            static_cast<int>(std::lround(kXlsxPlotLeft * kPixelsPerPoint)) + shift * kColumnPixels;
        const int top = static_cast<int>(std::lround(kXlsxPlotTop * kPixelsPerPoint));
        lxw_image_options options{};
        options.x_offset = left % kColumnPixels;
        options.y_offset = top % kRowPixels;
        // Drawn at 540 × 335 screen pixels, shown at 540 × 335 points.
        options.x_scale = kPixelsPerPoint / kPlotScale;
        options.y_scale = kPixelsPerPoint / kPlotScale;
        keep(worksheet_insert_image_buffer_opt(
            sheet, static_cast<lxw_row_t>(top / kRowPixels),
            static_cast<lxw_col_t>(left / kColumnPixels),
            reinterpret_cast<const unsigned char*>(plot.constData()),
            static_cast<std::size_t>(plot.size()), &options));
    }
    return error;
}

// A name beside the target that no other writer uses.
std::filesystem::path temporaryBeside(const std::filesystem::path& path) {
    static std::atomic<unsigned> counter{0};
    std::filesystem::path temporary = path;
    temporary += ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    return temporary;
}

} // namespace

std::optional<CellNumber> cellNumberOf(std::string_view text) {
    std::size_t i = text.starts_with('-') ? 1 : 0;
    const std::size_t digitsFrom = i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) != 0) {
        ++i;
    }
    if (i == digitsFrom) {
        return std::nullopt;
    }
    int decimals = 0;
    if (i < text.size() && text[i] == '.') {
        const std::size_t fractionFrom = ++i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) != 0) {
            ++i;
        }
        decimals = static_cast<int>(i - fractionFrom);
        if (decimals == 0) {
            return std::nullopt;
        }
    }
    if (i != text.size()) {
        return std::nullopt;
    }
    // Whatever the desktop's locale: the report's texts always have a decimal point.
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return CellNumber{value, decimals};
}

std::vector<std::string> sheetNamesOf(const std::vector<std::string>& lineNames) {
    std::vector<std::string> names;
    // "History" is a name a spreadsheet keeps for itself.
    std::set<std::string> taken{folded(kFirstSheetName), "history"};
    for (const std::string& lineName : lineNames) {
        std::vector<std::string> chars = characters(lineName);
        for (std::string& c : chars) {
            const bool control = c.size() == 1 && static_cast<unsigned char>(c[0]) < 0x20;
            if (control ||
                (c.size() == 1 && std::string("[]:*?/\\").find(c[0]) != std::string::npos)) {
                c = "_";
            }
        }
        // A name may neither begin nor end with an apostrophe.
        if (!chars.empty() && chars.front() == "'") {
            chars.front() = "_";
        }
        if (chars.empty()) {
            chars = {"_"};
        }
        std::string name = joined(chars, kMaxSheetName);
        if (characters(name).back() == "'") {
            name.back() = '_';
        }
        for (int n = 2; taken.count(folded(name)) != 0; ++n) {
            const std::string suffix = " (" + std::to_string(n) + ")";
            name = joined(chars, kMaxSheetName - suffix.size()) + suffix;
        }
        taken.insert(folded(name));
        names.push_back(name);
    }
    return names;
}

WriteOutcome WriteXlsxReport(const ReportContent& content, const PrintSettings& settings,
                             const std::filesystem::path& path, const ReportProgress& progress) {
    if (content.cracks.empty()) {
        return {false, "the report has no pages: the document holds no crossing line"};
    }
    std::vector<std::string> lineNames;
    for (std::size_t i = 0; i < content.cracks.size(); ++i) {
        // The crossing line's stored name in full.
        lineNames.push_back(i + 1 < content.lines.size() ? content.lines[i + 1].fullName
                                                         : content.cracks[i].crossingName);
    }
    const std::vector<std::string> names = sheetNamesOf(lineNames);
    const QByteArray plot = content.plot
                                ? pngOf(plotPicture(content,
                                                    QSize(static_cast<int>(kXlsxPlotWidth),
                                                          static_cast<int>(kXlsxPlotHeight)),
                                                    kPlotScale))
                                : QByteArray();

    const std::filesystem::path temporary = temporaryBeside(path);
    // The temporary file is made here first, so that a folder that is missing or not writable
    // is reported with the system's reason; the library then writes into it.
    if (std::FILE* probe = std::fopen(temporary.c_str(), "wbx")) {
        std::fclose(probe);
    } else {
        return {false, "cannot write " + path.string() + ": " + std::strerror(errno)};
    }
    lxw_workbook* workbook = workbook_new(temporary.c_str());
    if (workbook == nullptr) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return {false, "cannot create the workbook " + path.string()};
    }
    // Sheet1 repeats the last crack; each crack's sheet was added after Sheet1, so the last
    // crack's sheet comes first.
    lxw_error error = LXW_NO_ERROR;
    NumberFormats formats(workbook);
    const auto sheets = static_cast<std::int64_t>(content.cracks.size()) + 1;
    std::int64_t done = 0;
    bool stopped = false;
    const auto add = [&](const std::string& name, const CrackReport& crack) {
        if (stopped || !goesOn(progress, ++done, sheets)) {
            stopped = true;
            return;
        }
        lxw_worksheet* sheet = workbook_add_worksheet(workbook, name.c_str());
        if (sheet == nullptr) {
            error = error == LXW_NO_ERROR ? LXW_ERROR_SHEETNAME_ALREADY_USED : error;
            return;
        }
        const lxw_error written =
            writeCrackSheet(sheet, formats, content, crack, plot, settings.listChecks != 0);
        if (error == LXW_NO_ERROR) {
            error = written;
        }
    };
    add(kFirstSheetName, content.cracks.back());
    for (std::size_t i = content.cracks.size(); i-- > 0;) {
        add(names[i], content.cracks[i]);
    }
    lxw_error closed = LXW_NO_ERROR;
    {
        // A failed write (a full disk) is reported below, once, as ours.
        const SilencedStderr quiet;
        closed = workbook_close(workbook);
    }
    if (error == LXW_NO_ERROR) {
        error = closed;
    }
    std::error_code ignored;
    if (stopped) {
        std::filesystem::remove(temporary, ignored);
        return {false, kReportCancelled};
    }
    if (error != LXW_NO_ERROR) {
        std::filesystem::remove(temporary, ignored);
        return {false, "cannot write the workbook " + path.string() + ": " + lxw_strerror(error)};
    }
    std::error_code renamed;
    std::filesystem::rename(temporary, path, renamed);
    if (renamed) {
        std::filesystem::remove(temporary, ignored);
        return {false, "cannot write " + path.string() + ": " + renamed.message()};
    }
    return {true, {}};
}

} // namespace crackdepth::report
