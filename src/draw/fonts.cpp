#include "draw/fonts.h"

#include <QStringList>

namespace crackdepth::draw {

void installFontSubstitutions() {
    const QStringList chinese{QStringLiteral("Noto Sans CJK SC"),
                              QStringLiteral("Noto Serif CJK SC"),
                              QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("DejaVu Sans")};
    for (const QString& face : {kSongTi, kHeiTi, kLiShu, kFangSong, kKaiTi}) {
        QFont::insertSubstitutions(face, chinese);
    }
    QFont::insertSubstitutions(kTimes,
                               {QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif"),
                                QStringLiteral("Noto Sans CJK SC")});
    QFont::insertSubstitutions(kArial,
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans"),
                                QStringLiteral("Noto Sans CJK SC")});
}

QFont fontOf(const QString& face, int pixelSize, bool bold) {
    QFont font(face);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

} // namespace crackdepth::draw
