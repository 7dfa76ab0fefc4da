// How measurement lines enter a document's data: the non-crossing raw line, a crossing raw
// line (checked against the non-crossing line's geometry, every point kept) and a result
// file's lines. The document's open flows and the command-line tool both go through these,
// so a file is prepared the same way wherever it is opened: every line enters with its gains
// of 0 read as the gain the amplitude assumes and no first arrival before the first sample.
#pragma once

#include "core/data/result_file.h"
#include "core/document/model/document_data.h"

#include <string>

namespace crackdepth {

// The values that showing a line used to settle: a gain of 0 becomes the gain the amplitude
// assumes, and a first arrival before the first sample the first sample.
void SettleLine(PointList& line);

// True when a crossing line was measured with the non-crossing line's geometry: the same
// origin offset, first spacing and step parts, and the same sampling interval at the first
// point.
bool sameLineGeometry(const TestParameters& nonCrossing, const PointList& nonCrossingPoints,
                      const TestParameters& crossing, const PointList& crossingPoints);

// Replaces the non-crossing line (and the current file's names) with the raw file's line.
void LoadNonCrossingLine(DocumentData& data, LineData line, const std::string& path);

// Replaces the current crossing line (over a result file, the current one of its cracks,
// whose other cracks stay) with the raw file's line, every point of which is kept. The
// geometry must have been checked.
void LoadRawCrossingLine(DocumentData& data, LineData line, const std::string& path);

// Replaces the lines and the project information with a result file's; the non-crossing
// line is shown and every time correction starts at 0.
void LoadResultLines(DocumentData& data, ResultFileContents contents, const std::string& path);

} // namespace crackdepth
