// The word processor's pictures as PNG files: 8-bit grey, each row stored as its difference
// from the row above (a picture's white areas and straight lines then compress to almost
// nothing) and deflated as runs of equal bytes. A document holds hundreds of pictures, and
// the image library's own writer, trying every filter at a higher level, took the most time
// of the whole report for files half the size.
#pragma once

#include <QImage>
#include <string>

namespace crackdepth::report {

// The image's grey levels as a PNG file (the image is converted to 8-bit grey first where it
// is not); empty for a null image or when zlib fails.
std::string encodeGrayPng(const QImage& image);

} // namespace crackdepth::report
