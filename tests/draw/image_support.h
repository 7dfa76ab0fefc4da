// Pixel counting for the drawing tests: a drawing is checked by what lies where, and two
// renderings by how many pixels differ.
#pragma once

#include <QImage>
#include <QRect>

namespace crackdepth::draw::testing {

inline int differingPixels(const QImage& a, const QImage& b) {
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            count += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
        }
    }
    return count;
}

// Pixels of `region` (cut to the image) for which `pred` holds.
template <typename Pred> int countIn(const QImage& image, const QRect& region, Pred pred) {
    int count = 0;
    const QRect r = region.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            count += pred(image.pixel(x, y)) ? 1 : 0;
        }
    }
    return count;
}

} // namespace crackdepth::draw::testing
