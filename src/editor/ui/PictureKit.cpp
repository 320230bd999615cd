#include "PictureKit.h"

namespace picturekit {

namespace {

QPixmap blank(int logicalSize, qreal dpr) {
    const int device = qRound(logicalSize * dpr);
    QPixmap pixmap(device, device);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

} // namespace

Canvas::Canvas(int logicalSize, qreal dpr, int designSize)
    : pixmap_(blank(logicalSize, dpr)), painter_(&pixmap_) {
    painter_.setRenderHint(QPainter::Antialiasing);
    painter_.scale(logicalSize / qreal(designSize), logicalSize / qreal(designSize));
}

QPixmap Canvas::finish() {
    painter_.end();
    return pixmap_;
}

QPen pen(const QColor& colour, qreal width) {
    QPen p(colour, width);
    p.setCapStyle(Qt::FlatCap);
    p.setJoinStyle(Qt::MiterJoin);
    return p;
}

} // namespace picturekit
