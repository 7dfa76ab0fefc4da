// The report's pictures as images, for the documents that embed pictures rather than draw
// them (spreadsheet, word processor): the distance–time plot and a range of a line's wave
// train, drawn by the shared drawing layer in black and white on white. `size` is the
// picture's size in screen pixels (its displayed size); the image has `scale` times as many
// pixels each way, so that it prints sharply at that size.
#pragma once

#include "report/report_content.h"

#include <QImage>
#include <QSize>
#include <cstdint>

namespace crackdepth::report {

// A white image when the document has no non-crossing line.
QImage plotPicture(const ReportContent& content, QSize size, double scale);

// Points first … last of the line, the first at the top, in 8-bit grey (the drawing is black
// on white); a white image for an empty or invalid range.
QImage waveTrainPicture(const ReportLine& line, std::int32_t first, std::int32_t last, QSize size,
                        double scale);

} // namespace crackdepth::report
