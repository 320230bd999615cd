#pragma once

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

// Colours and helpers shared by the editor's button pictures and cursors.
namespace picturekit {

inline const QColor kInk{40, 48, 60};
inline const QColor kPaper{252, 252, 250};
inline const QColor kAccent{46, 110, 190};
inline const QColor kGlass{190, 222, 246};
inline const QColor kWood{196, 140, 80};
inline const QColor kMetal{168, 176, 186};
inline const QColor kRed{214, 60, 50};
inline const QColor kGreen{46, 160, 80};
inline const QColor kYellow{246, 200, 60};

// A transparent pixmap of `logicalSize` units at ratio `dpr`, with a painter whose unit is
// one logical pixel of a design grid `designSize` units wide.
class Canvas {
public:
    Canvas(int logicalSize, qreal dpr, int designSize);
    QPainter& painter() { return painter_; }
    QPixmap finish();

private:
    QPixmap pixmap_;
    QPainter painter_;
};

QPen pen(const QColor& colour, qreal width);

} // namespace picturekit
