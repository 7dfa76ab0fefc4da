// The face names the program draws with, and their mapping onto the fonts installed on
// this machine, so that Chinese text renders wherever the program runs.
#pragma once

#include <QFont>
#include <QString>

namespace crackdepth::draw {

// Face names used by the displays and reports.
inline const QString kSongTi = QStringLiteral("宋体");
inline const QString kHeiTi = QStringLiteral("黑体");
inline const QString kLiShu = QStringLiteral("隶书");
inline const QString kFangSong = QStringLiteral("仿宋_GB2312");
inline const QString kKaiTi = QStringLiteral("楷体_GB2312");
inline const QString kTimes = QStringLiteral("Times New Roman");
inline const QString kArial = QStringLiteral("Arial");

// Registers substitutes for every face name above (Noto CJK for the Chinese faces,
// Liberation or DejaVu for the Latin ones). Call once after the application object exists.
void installFontSubstitutions();

// A font of the given face and pixel size.
QFont fontOf(const QString& face, int pixelSize, bool bold = false);

} // namespace crackdepth::draw
