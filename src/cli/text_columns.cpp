#include "cli/text_columns.h"

#include <algorithm>
#include <charconv>

namespace crackdepth::cli {
namespace {

// Code points, so that a column of Chinese texts lines up as well as the terminal allows.
std::size_t characters(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

} // namespace

std::string shortestText(float value) {
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

TextColumns::TextColumns(std::vector<std::string> headings) : headings_(std::move(headings)) {
    for (const std::string& heading : headings_) {
        widths_.push_back(characters(heading));
    }
}

void TextColumns::addRow(std::vector<std::string> cells) {
    cells.resize(headings_.size());
    for (std::size_t k = 0; k < cells.size(); ++k) {
        widths_[k] = std::max(widths_[k], characters(cells[k]));
    }
    rows_.push_back(std::move(cells));
}

void TextColumns::printHeadings(std::ostream& out, std::size_t indent) const {
    printCells(out, headings_, indent);
}

void TextColumns::printRow(std::ostream& out, std::size_t row, std::size_t indent) const {
    printCells(out, rows_[row], indent);
}

void TextColumns::printCells(std::ostream& out, const std::vector<std::string>& cells,
                             std::size_t indent) const {
    out << std::string(indent, ' ');
    for (std::size_t k = 0; k < cells.size(); ++k) {
        out << std::string((k > 0 ? 2 : 0) + widths_[k] - characters(cells[k]), ' ') << cells[k];
    }
    out << '\n';
}

} // namespace crackdepth::cli
