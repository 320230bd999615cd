#pragma once

#include <QColor>
#include <QWidget>

#include <functional>

// A filled rectangle with a black outline: the colour swatches of the editor window. It tells
// its owner about presses and pointer moves over it.
class TShape : public QWidget {
    Q_OBJECT

public:
    TShape(const QString& name, QWidget* parent);

    QColor brushColor() const { return brush_; }
    void setBrushColor(const QColor& color);

    std::function<void(Qt::MouseButton)> mouseDown;
    std::function<void()> mouseMove;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QColor brush_ = Qt::white;
};
