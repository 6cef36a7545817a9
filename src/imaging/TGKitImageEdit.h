#pragma once

#include "imaging/GKitImage.h"

#include <QImage>
#include <QWidget>

namespace sc {

// The image editing control: holds one picture model and shows it scaled into its area,
// aspect ratio kept, centred on the window colour; an empty control shows only that colour.
// It follows every change of its model, also when a job drives the model alone: the control
// owns the model's change callback.
class TGKitImageEdit : public QWidget {
    Q_OBJECT
public:
    explicit TGKitImageEdit(QWidget* parent = nullptr);
    ~TGKitImageEdit() override;

    GKitImage& model() { return m_model; }
    const GKitImage& model() const { return m_model; }

    // Where the picture lands inside the control (empty when the control holds none).
    QRect pictureRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    GKitImage m_model;
    QImage m_shown; // the picture scaled to pictureRect(), made on demand
};

} // namespace sc
