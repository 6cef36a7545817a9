#include "printing/CaptionBitmap.h"

#include "printing/SheetLayout.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace sc::printing {

namespace {

// 96 dots per inch, as the sheets are laid out: 12 points are 16 pixels.
constexpr int kDotsPerMeter = 3780;

QImage whiteBitmap() {
    QImage bitmap(sheet::kCaptionWidth, sheet::kCaptionHeight, QImage::Format_Mono);
    bitmap.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    bitmap.fill(0);
    bitmap.setDotsPerMeterX(kDotsPerMeter);
    bitmap.setDotsPerMeterY(kDotsPerMeter);
    return bitmap;
}

} // namespace

// The window's default face is the design's Japanese font (substituted at start-up); a
// two-colour bitmap takes the glyphs without smoothing.
CaptionBitmap::CaptionBitmap()
    : m_font(QStringLiteral("ＭＳ Ｐゴシック")), m_bitmap(whiteBitmap()) {
    m_font.setStyleStrategy(QFont::NoAntialias);
}

void CaptionBitmap::setFontSize(int points) {
    m_font.setPointSize(points);
}

void CaptionBitmap::draw(const QString& text) {
    QImage canvas(m_bitmap.size(), QImage::Format_RGB32);
    canvas.setDotsPerMeterX(kDotsPerMeter);
    canvas.setDotsPerMeterY(kDotsPerMeter);
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        painter.setFont(m_font);
        painter.setPen(Qt::black);
        // The cell's top goes to row 0, unless that would push the descent (where underscores
        // sit) below the bitmap: the substitute face descends a row deeper than the design's.
        const QFontMetrics metrics = painter.fontMetrics();
        const int baseline = std::min(metrics.ascent(), canvas.height() - metrics.descent());
        painter.drawText(QPoint(0, baseline), text);
    }
    m_bitmap =
        canvas.convertToFormat(QImage::Format_Mono, m_bitmap.colorTable(), Qt::ThresholdDither);
}

} // namespace sc::printing
