// The readable tables of --format text: right-aligned columns as wide as their widest cell
// and two spaces apart, so that a value of any size never runs into its neighbour.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

namespace crackdepth::cli {

// A float in its shortest text that reads back as the same float ("100", "0.5", "1e+20").
std::string shortestText(float value);

class TextColumns {
public:
    explicit TextColumns(std::vector<std::string> headings);

    void addRow(std::vector<std::string> cells); // as many cells as headings
    std::size_t rows() const { return rows_.size(); }

    // One line each, after `indent` spaces.
    void printHeadings(std::ostream& out, std::size_t indent) const;
    void printRow(std::ostream& out, std::size_t row, std::size_t indent) const;

private:
    void printCells(std::ostream& out, const std::vector<std::string>& cells,
                    std::size_t indent) const;

    std::vector<std::string> headings_;
    std::vector<std::vector<std::string>> rows_;
    std::vector<std::size_t> widths_; // in characters (code points)
};

} // namespace crackdepth::cli
