#pragma once

#include <QWidget>

#include <functional>

class QMouseEvent;

// The paint surface of the image document: as large as the zoomed image, inside the scroll box.
// It paints each exposed rectangle through `paint` and hands presses, moves (also without a
// button, for the status texts) and releases to its owner, in paint-box coordinates.
class TImagePaintBox : public QWidget {
    Q_OBJECT

public:
    explicit TImagePaintBox(QWidget* parent = nullptr);

    std::function<void(QPainter&, const QRect&)> paint;
    std::function<void(QMouseEvent*)> mouseDown;
    std::function<void(QMouseEvent*)> mouseMove;
    std::function<void(QMouseEvent*)> mouseUp;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};
