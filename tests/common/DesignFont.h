#pragma once

#include <QFont>
#include <QStringList>

namespace sc::test {

// The design's Japanese font mapped to its installed substitute, as the program does at
// start-up (fontconfig alone would pick a face without Japanese glyphs).
inline void registerDesignFont() {
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐゴシック"),
                               {QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic")});
}

} // namespace sc::test
