#pragma once

#include <QColor>
#include <QWidget>

// A filled rectangle with a black outline: the colour swatches of the editor window.
class TShape : public QWidget {
    Q_OBJECT

public:
    TShape(const QString& name, QWidget* parent);

    QColor brushColor() const { return brush_; }
    void setBrushColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor brush_ = Qt::white;
};
