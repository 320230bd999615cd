#pragma once

#include <QWidget>

#include <functional>

// A paint surface: the owner decides what it shows and what presses mean. It paints only the
// exposed part through `paint`, so a surface as large as a whole chart page stays cheap.
class TPaintBox : public QWidget {
    Q_OBJECT

public:
    explicit TPaintBox(const QString& name, QWidget* parent = nullptr);

    std::function<void(QPainter&, const QRect&)> paint;
    std::function<void(QMouseEvent*)> mouseDown;
    // Moves (while a button is held, or always with mouse tracking), releases, and the pointer
    // leaving the surface.
    std::function<void(QMouseEvent*)> mouseMove;
    std::function<void(QMouseEvent*)> mouseUp;
    std::function<void()> mouseLeave;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
};
