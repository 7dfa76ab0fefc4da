// The polyline of a sampled trace on whole pixels: one vertex per sample while samples are
// wider than a pixel, a min/max envelope per pixel column once a trace has more samples than
// pixels, so a long trace costs about as much as the pixels it covers. On a pixel device the
// polyline can also be filled as the runs of pixels a one-pixel pen would cover.
#pragma once

#include <QPoint>
#include <QRect>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace crackdepth::draw {

// floor(v) and floor(v + 0.5) without a library call: these run once per sample.
inline int floorToInt(double v) {
    const int t = static_cast<int>(v);
    return v < t ? t - 1 : t;
}
inline int roundToPixel(double v) {
    return floorToInt(v + 0.5);
}

// Appends `p` to `line`, dropping repeated points and merging a point into the straight
// horizontal or vertical run it continues (only when the run still covers what it covered,
// so an envelope column keeps its full height). `Points` is a std::vector<QPoint> or a
// QPolygon.
template <typename Points> [[gnu::always_inline]] inline void appendMerged(Points& line, QPoint p) {
    const auto n = static_cast<std::size_t>(line.size());
    if (n >= 2) {
        QPoint* const points = line.data();
        const QPoint a = points[n - 2];
        QPoint& b = points[n - 1];
        if (b == p) {
            return;
        }
        const bool horizontal =
            a.y() == b.y() && b.y() == p.y() && (b.x() - a.x()) * (p.x() - b.x()) >= 0;
        const bool vertical =
            a.x() == b.x() && b.x() == p.x() && (b.y() - a.y()) * (p.y() - b.y()) >= 0;
        if (horizontal || vertical) {
            b = p;
            return;
        }
    } else if (n == 1 && *line.data() == p) {
        return;
    }
    line.push_back(p);
}

// Fills `line` with samples 0 … count−1 of a trace, sample k at x = xStart + k·step and
// y = yOf(k) (whole pixels).
template <typename Points, typename YOf>
void buildTracePolyline(Points& line, std::int32_t count, double xStart, double step, YOf&& yOf) {
    line.clear();
    constexpr double kFar = 1e9; // beyond any device, and within int
    const double xEnd = xStart + count * step;
    if (count <= 0 || !(step > 0) || !(std::abs(xStart) < kFar) || !(std::abs(xEnd) < kFar)) {
        return;
    }
    // Samples from k on that lie on pixel row y, as one past the last of them. A flat stretch
    // of a trace, however long, makes one horizontal segment: only its ends need a vertex, so
    // a trace in a low row costs little more than reading its samples.
    const auto runEnd = [&](std::int32_t k, int y) {
        while (k < count && yOf(k) == y) {
            ++k;
        }
        return k;
    };
    if (step >= 1.0) {
        std::int32_t k = 0;
        while (k < count) {
            const int y = yOf(k);
            appendMerged(line, QPoint(roundToPixel(xStart + k * step), y));
            const std::int32_t end = runEnd(k + 1, y);
            if (end - 1 > k) {
                appendMerged(line, QPoint(roundToPixel(xStart + (end - 1) * step), y));
            }
            k = end;
        }
        return;
    }
    // More samples than pixels: per column the first value, the extremes and the last value,
    // visited in the order that draws each column's span once.
    int column = floorToInt(xStart);
    int first = yOf(0);
    int low = first;
    int high = first;
    int last = first;
    const auto flush = [&] {
        appendMerged(line, QPoint(column, first));
        const bool falling = last >= first; // y grows downwards
        appendMerged(line, QPoint(column, falling ? low : high));
        appendMerged(line, QPoint(column, falling ? high : low));
        appendMerged(line, QPoint(column, last));
    };
    // A sample in column x with value y: a new column starts at y.
    const auto enterColumn = [&](int x, int y) {
        if (x != column) {
            flush();
            column = x;
            first = y;
            low = y;
            high = y;
        }
    };
    std::int32_t k = 1;
    while (k < count) {
        const int y = yOf(k);
        if (y == last) {
            // A run on the row of the sample before it changes nothing in the column it
            // starts in, and leaves the columns it crosses flat on that row: the segment from
            // this column's last value to the next column's first draws them.
            const std::int32_t end = runEnd(k + 1, y);
            enterColumn(floorToInt(xStart + (end - 1) * step), y);
            k = end;
            continue;
        }
        enterColumn(floorToInt(xStart + k * step), y);
        low = y < low ? y : low;
        high = y > high ? y : high;
        last = y;
        ++k;
    }
    flush();
}

// Appends `run` to `runs`, merged into the last run where it continues it along the same row
// (both one pixel high) or the same column (both one pixel wide).
inline void appendRun(std::vector<QRect>& runs, const QRect& run) {
    if (!runs.empty()) {
        QRect& last = runs.back();
        if (last.height() == 1 && run.height() == 1 && last.top() == run.top() &&
            run.left() <= last.right() + 1 && run.right() >= last.left() - 1) {
            last = last.united(run);
            return;
        }
        if (last.width() == 1 && run.width() == 1 && last.left() == run.left() &&
            run.top() <= last.bottom() + 1 && run.bottom() >= last.top() - 1) {
            last = last.united(run);
            return;
        }
    }
    runs.push_back(run);
}

// Appends to `runs` the pixels a one-pixel pen covers along `line` (whole pixels, x never
// decreasing, as buildTracePolyline makes it), as rectangles: a row of pixels for every step
// of a flat segment, a column of pixels for every step of a steep one. Filled on a pixel
// device they give the polyline's picture to within a pixel at a cost per step instead of
// per pixel, which pays where long traces run nearly flat.
template <typename Points> void appendPixelRuns(std::vector<QRect>& runs, const Points& line) {
    const auto n = static_cast<std::size_t>(line.size());
    if (n == 1) {
        appendRun(runs, QRect(line.data()[0], QSize(1, 1)));
    }
    for (std::size_t i = 1; i < n; ++i) {
        const QPoint p = line.data()[i - 1];
        const QPoint q = line.data()[i];
        const std::int64_t dx = std::int64_t{q.x()} - p.x();
        const std::int64_t dy = std::int64_t{q.y()} - p.y();
        const std::int64_t sign = dy < 0 ? -1 : 1;
        const bool flat = dx >= std::abs(dy);
        // Along the segment's longer side `major` steps, along the shorter `minor`: step j of
        // the shorter side covers the steps t of the longer one with round(t·minor/major) = j.
        const std::int64_t major = flat ? dx : std::abs(dy);
        const std::int64_t minor = flat ? std::abs(dy) : dx;
        const auto startOf = [&](std::int64_t j) {
            // ceil((2j − 1)·major / (2·minor)), the first t that rounds to j
            return j == 0 ? 0 : ((2 * j - 1) * major + 2 * minor - 1) / (2 * minor);
        };
        for (std::int64_t j = 0; j <= minor; ++j) {
            const std::int64_t from = startOf(j);
            const std::int64_t to = j == minor ? major : startOf(j + 1) - 1;
            if (to < from) {
                continue;
            }
            if (flat) {
                appendRun(runs,
                          QRect(static_cast<int>(p.x() + from), static_cast<int>(p.y() + sign * j),
                                static_cast<int>(to - from + 1), 1));
            } else {
                const std::int64_t y1 = p.y() + sign * from;
                const std::int64_t y2 = p.y() + sign * to;
                appendRun(runs,
                          QRect(static_cast<int>(p.x() + j), static_cast<int>(std::min(y1, y2)), 1,
                                static_cast<int>(to - from + 1)));
            }
        }
    }
}

} // namespace crackdepth::draw
