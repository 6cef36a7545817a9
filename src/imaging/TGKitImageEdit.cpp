#include "imaging/TGKitImageEdit.h"

#include "imaging/PixelOps.h"
#include "platform/Error.h"

#include <QPainter>

namespace sc {

TGKitImageEdit::TGKitImageEdit(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_model.setChangeCallback([this] {
        m_shown = QImage();
        update();
    });
}

TGKitImageEdit::~TGKitImageEdit() {
    m_model.setChangeCallback({});
}

QRect TGKitImageEdit::pictureRect() const {
    const QImage& picture = m_model.image();
    if (picture.isNull() || width() <= 0 || height() <= 0)
        return {};
    const QSize fitted = picture.size().scaled(size(), Qt::KeepAspectRatio);
    const QSize shown(std::max(1, fitted.width()), std::max(1, fitted.height()));
    return QRect(QPoint((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown);
}

void TGKitImageEdit::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    const QRect target = pictureRect();
    if (target.isEmpty())
        return;
    // Scaling a large picture costs far more than a paint: keep the result until the model
    // or the control's size changes.
    if (m_shown.size() != target.size()) {
        try {
            m_shown = imaging::resized(m_model.image(), target.width(), target.height());
        } catch (const Error&) {
            return; // pending tuning found no memory: show nothing rather than let it escape
        }
    }
    painter.drawImage(target.topLeft(), m_shown);
}

void TGKitImageEdit::resizeEvent(QResizeEvent*) {
    m_shown = QImage();
}

} // namespace sc
