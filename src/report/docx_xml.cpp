#include "report/docx_xml.h"

#include "core/common/utf.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace crackdepth::report::docx {
namespace {

bool allowedInXml(char16_t unit) {
    return unit >= 0x20 ? unit != 0xFFFE && unit != 0xFFFF
                        : unit == u'\t' || unit == u'\n' || unit == u'\r';
}

// The text as well-formed UTF-8 of characters XML allows.
std::string xmlCharacters(std::string_view text) {
    const bool plain = std::all_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte >= 0x20 && byte < 0x80;
    });
    if (plain) {
        return std::string(text);
    }
    std::u16string units = utf8ToUtf16(text); // broken sequences become U+FFFD
    std::erase_if(units, [](char16_t unit) { return !allowedInXml(unit); });
    return utf16ToUtf8(units);
}

std::string number(std::int64_t value) {
    return std::to_string(value);
}

std::int64_t emu(double mm) {
    return std::llround(mm * static_cast<double>(kEmuPerMm));
}

void appendRun(std::string& out, std::string_view text, const RunFormat& format) {
    out += "<w:r>";
    if (format.bold || format.halfPoints > 0) {
        out += "<w:rPr>";
        if (format.bold) {
            out += "<w:b/><w:bCs/>";
        }
        if (format.halfPoints > 0) {
            out += "<w:sz w:val=\"" + number(format.halfPoints) + "\"/><w:szCs w:val=\"" +
                   number(format.halfPoints) + "\"/>";
        }
        out += "</w:rPr>";
    }
    out += "<w:t xml:space=\"preserve\">";
    out += xmlText(text);
    out += "</w:t></w:r>";
}

void appendParagraphProperties(std::string& out, bool keepWithNext, bool centred) {
    if (!keepWithNext && !centred) {
        return;
    }
    out += "<w:pPr>";
    if (keepWithNext) {
        out += "<w:keepNext/>";
    }
    if (centred) {
        out += "<w:jc w:val=\"center\"/>";
    }
    out += "</w:pPr>";
}

void appendDrawing(std::string& out, const Picture& picture) {
    const std::string cx = number(emu(picture.widthMm));
    const std::string cy = number(emu(picture.heightMm));
    const std::string id = number(picture.id);
    out += "<w:r><w:drawing><wp:inline distT=\"0\" distB=\"0\" distL=\"0\" distR=\"0\">"
           "<wp:extent cx=\"" +
           cx + "\" cy=\"" + cy +
           "\"/>"
           "<wp:docPr id=\"" +
           id + "\" name=\"Picture " + id +
           "\"/>"
           "<wp:cNvGraphicFramePr><a:graphicFrameLocks noChangeAspect=\"1\"/>"
           "</wp:cNvGraphicFramePr>"
           "<a:graphic><a:graphicData "
           "uri=\"http://schemas.openxmlformats.org/drawingml/2006/picture\">"
           "<pic:pic><pic:nvPicPr><pic:cNvPr id=\"" +
           id + "\" name=\"image" + id +
           ".png\"/>"
           "<pic:cNvPicPr/></pic:nvPicPr>"
           "<pic:blipFill><a:blip r:embed=\"" +
           picture.relation +
           "\"/>"
           "<a:stretch><a:fillRect/></a:stretch></pic:blipFill>"
           "<pic:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"" +
           cx + "\" cy=\"" + cy +
           "\"/></a:xfrm><a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom></pic:spPr>"
           "</pic:pic></a:graphicData></a:graphic></wp:inline></w:drawing></w:r>";
}

enum class Merge { None, Restart, Continue };

void appendCell(std::string& out, std::int32_t widthTwips, std::int32_t span, Merge merge,
                const Block* content, bool keepWithNext) {
    out += "<w:tc><w:tcPr><w:tcW w:w=\"" + number(widthTwips) + "\" w:type=\"dxa\"/>";
    if (span > 1) {
        out += "<w:gridSpan w:val=\"" + number(span) + "\"/>";
    }
    if (merge == Merge::Restart) {
        out += "<w:vMerge w:val=\"restart\"/>";
    } else if (merge == Merge::Continue) {
        out += "<w:vMerge/>";
    }
    out += "<w:vAlign w:val=\"center\"/></w:tcPr><w:p>";
    appendParagraphProperties(out, keepWithNext, true);
    if (content != nullptr) {
        for (std::size_t k = 0; k < content->lines.size(); ++k) {
            if (k > 0) {
                out += "<w:r><w:br/></w:r>";
            }
            appendRun(out, content->lines[k], {});
        }
        if (content->picture != nullptr) {
            appendDrawing(out, *content->picture);
        }
    }
    out += "</w:p></w:tc>";
}

} // namespace

std::string xmlText(std::string_view text) {
    const std::string characters = xmlCharacters(text);
    std::string escaped;
    escaped.reserve(characters.size());
    for (const char c : characters) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        case '\'':
            escaped += "&apos;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

void appendParagraph(std::string& out, const Paragraph& paragraph) {
    out += "<w:p>";
    appendParagraphProperties(out, paragraph.keepWithNext, paragraph.centred);
    if (paragraph.pageBreakFirst) {
        out += "<w:r><w:br w:type=\"page\"/></w:r>";
    }
    for (std::size_t k = 0; k < paragraph.lines.size(); ++k) {
        if (k > 0) {
            out += "<w:r><w:br/></w:r>";
        }
        appendRun(out, paragraph.lines[k], paragraph.format);
    }
    out += "</w:p>";
}

void appendPictureParagraph(std::string& out, const Picture& picture) {
    out += "<w:p>";
    appendParagraphProperties(out, false, true);
    appendDrawing(out, picture);
    out += "</w:p>";
}

void appendTable(std::string& out, const Table& table) {
    // Which block covers each grid cell.
    std::vector<std::int32_t> owner(
        static_cast<std::size_t>(table.rows) * static_cast<std::size_t>(table.columns), -1);
    const auto at = [&](std::int32_t row, std::int32_t column) -> std::int32_t& {
        return owner[static_cast<std::size_t>(row) * static_cast<std::size_t>(table.columns) +
                     static_cast<std::size_t>(column)];
    };
    for (std::size_t b = 0; b < table.blocks.size(); ++b) {
        const Block& block = table.blocks[b];
        for (std::int32_t r = block.row; r < std::min(block.row + block.rows, table.rows); ++r) {
            for (std::int32_t c = block.column;
                 c < std::min(block.column + block.columns, table.columns); ++c) {
                at(r, c) = static_cast<std::int32_t>(b);
            }
        }
    }

    // The width of `span` grid columns from column `c`.
    const auto widthOf = [&table](std::int32_t c, std::int32_t span) {
        std::int64_t sum = 0;
        for (std::int32_t k = c; k < c + span; ++k) {
            sum += static_cast<std::size_t>(table.columns) == table.columnWidths.size()
                       ? table.columnWidths[static_cast<std::size_t>(k)]
                       : table.columnTwips;
        }
        return static_cast<std::int32_t>(sum);
    };
    const std::string width = number(widthOf(0, table.columns));
    out += "<w:tbl><w:tblPr><w:tblW w:w=\"" + width +
           "\" w:type=\"dxa\"/><w:jc w:val=\"center\"/><w:tblBorders>";
    for (const char* side : {"top", "left", "bottom", "right", "insideH", "insideV"}) {
        out += std::string("<w:") + side + " w:val=\"single\" w:sz=\"4\" w:space=\"0\" " +
               "w:color=\"000000\"/>";
    }
    out += "</w:tblBorders><w:tblLayout w:type=\"fixed\"/></w:tblPr><w:tblGrid>";
    for (std::int32_t c = 0; c < table.columns; ++c) {
        out += "<w:gridCol w:w=\"" + number(widthOf(c, 1)) + "\"/>";
    }
    out += "</w:tblGrid>";

    for (std::int32_t r = 0; r < table.rows; ++r) {
        const bool keep = static_cast<std::size_t>(r) < table.keepWithNext.size() &&
                          table.keepWithNext[static_cast<std::size_t>(r)];
        out += "<w:tr><w:trPr><w:cantSplit/>";
        if (r < table.headerRows) {
            out += "<w:tblHeader/>";
        }
        if (table.exactRowTwips > 0 && r >= table.exactFrom) {
            out += "<w:trHeight w:val=\"" + number(table.exactRowTwips) + "\" w:hRule=\"exact\"/>";
        } else if (static_cast<std::size_t>(r) < table.minimumRowTwips.size() &&
                   table.minimumRowTwips[static_cast<std::size_t>(r)] > 0) {
            out += "<w:trHeight w:val=\"" +
                   number(table.minimumRowTwips[static_cast<std::size_t>(r)]) +
                   "\" w:hRule=\"atLeast\"/>";
        }
        out += "</w:trPr>";
        for (std::int32_t c = 0; c < table.columns;) {
            const std::int32_t b = at(r, c);
            if (b < 0) {
                appendCell(out, widthOf(c, 1), 1, Merge::None, nullptr, keep);
                ++c;
                continue;
            }
            const Block& block = table.blocks[static_cast<std::size_t>(b)];
            const std::int32_t span = std::min(block.columns, table.columns - c);
            const Merge merge = block.rows <= 1  ? Merge::None
                                : r == block.row ? Merge::Restart
                                                 : Merge::Continue;
            appendCell(out, widthOf(c, span), span, merge, r == block.row ? &block : nullptr, keep);
            c += span;
        }
        out += "</w:tr>";
    }
    out += "</w:tbl>";
}

} // namespace crackdepth::report::docx
