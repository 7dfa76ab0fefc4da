// The word processor's pictures as PNG files: grey, each row stored as its difference
// from the row above (a picture's white areas and straight lines then compress to almost
// nothing) and deflated at zlib's fastest. A document holds hundreds of pictures, and
// the image library's own writer, trying every filter at a higher level, took the most time
// of the whole report for files half the size.
#pragma once

#include <QImage>
#include <string>

namespace crackdepth::report {

// The image's grey levels as a PNG file of `bits` bits a pixel: 8, or 4, 2 or 1 with each
// level rounded to the nearest the depth has (the image is converted to 8-bit grey first
// where it is not). Empty for a null image, another depth, or when zlib fails.
std::string encodeGrayPng(const QImage& image, int bits = 8);

} // namespace crackdepth::report
