#pragma once

#include <QFont>
#include <QImage>
#include <QString>

namespace sc::printing {

// The caption bitmap of the vertical sheets: 143 x 15 pixels, black text on white, in the
// window's default face. Each name is drawn on a bitmap cleared to white first, so a short
// name never keeps the tail of a longer one; a name wider than the bitmap is cut at its edge.
class CaptionBitmap {
public:
    CaptionBitmap();

    void setFontSize(int points);
    // Clears the bitmap to white and draws `text` from the left edge, its cell's top at the
    // top edge, raised as far as its descent needs to stay inside the bitmap.
    void draw(const QString& text);
    // The bitmap: Format_Mono, colour 0 white, colour 1 black.
    const QImage& image() const { return m_bitmap; }
    const QFont& font() const { return m_font; }

private:
    QFont m_font;
    QImage m_bitmap;
};

} // namespace sc::printing
