#include "DrawDib.h"

#include "ScreenDepth.h"
#include "grafikrw3/grafikrw3.h"

#include <QHash>
#include <QPagedPaintDevice>
#include <QPainter>

#include <cmath>
#include <vector>

namespace {

// Rounds to the nearest whole number, ties to even.
int roundEven(double value) {
    return int(std::nearbyint(value));
}

// Source rectangle cut to the picture, destination scaled with it.
struct Rects {
    int xdest, ydest, destw, desth;
    int xsrc, ysrc, srcw, srch;
};

bool clipToPicture(Rects& r, int width, int height) {
    if (r.srcw == 0 || r.srch == 0) {
        return false;
    }
    if (r.xsrc + r.srcw > width) {
        const int w = width - r.xsrc;
        r.destw = roundEven(double(r.destw) * w / r.srcw);
        r.srcw = w;
    }
    if (r.srch != 0 && r.ysrc < 0) {
        r.desth = roundEven(double(r.desth) * (r.srch + r.ysrc) / r.srch);
        r.srch += r.ysrc;
        r.ysrc = 0;
    }
    if (r.srch != 0 && r.ysrc + r.srch > height) {
        const int h = height - r.ysrc;
        const int t = roundEven(double(r.desth) * h / r.srch);
        r.ydest += r.desth - t;
        r.desth = t;
        r.srch = h;
    }
    if (r.srcw != 0 && r.xsrc < 0) {
        const int t = roundEven(double(r.destw) * (r.xsrc + r.srcw) / r.srcw);
        r.xdest += r.destw - t;
        r.destw = t;
        r.srcw += r.xsrc;
        r.xsrc = 0;
    }
    return r.destw > 0 && r.desth > 0 && r.srcw > 0 && r.srch > 0;
}

QRgb colorAt(const RGBQUAD* colors, unsigned index) {
    const RGBQUAD& c = colors[index];
    return qRgb(c.rgbRed, c.rgbGreen, c.rgbBlue);
}

// The row methods for 24- and 8-bit pictures on screens and images: every destination pixel
// is sampled from its source pixel, columns outside the picture stay black.
QImage sampledImage(const Rects& r, const dib& picture) {
    const int width = DIBWidth(picture);
    const int height = DIBHeight(picture);
    const int bits = DIBBitCount(picture);
    QImage out(r.destw, r.desth, QImage::Format_RGB32);
    if (out.isNull()) {
        return out;
    }
    std::vector<int> sourceColumn(std::size_t(r.destw));
    for (int i = 0; i < r.destw; ++i) {
        sourceColumn[std::size_t(i)] = r.xsrc + int(std::int64_t(r.srcw) * i / r.destw);
    }
    const RGBQUAD* colors = bits == 8 ? picture.pmi->colors() : nullptr;
    const int topRow = height - r.ysrc - r.srch;
    int previousRow = -1;
    for (int k = 0; k < r.desth; ++k) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(k));
        const int sourceRow = topRow + int(std::int64_t(r.srch) * k / r.desth);
        if (sourceRow < 0 || sourceRow >= height) {
            std::fill(line, line + r.destw, qRgb(0, 0, 0));
            previousRow = -1;
            continue;
        }
        if (sourceRow == previousRow) {
            std::copy_n(reinterpret_cast<const QRgb*>(out.constScanLine(k - 1)), r.destw, line);
            continue;
        }
        previousRow = sourceRow;
        const std::uint8_t* src =
            picture.poi + std::int64_t(height - 1 - sourceRow) * picture.bytew;
        for (int i = 0; i < r.destw; ++i) {
            const int x = sourceColumn[std::size_t(i)];
            if (x < 0 || x >= width) {
                line[i] = qRgb(0, 0, 0);
            } else if (bits == 24) {
                line[i] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
            } else {
                line[i] = colorAt(colors, src[x]);
            }
        }
    }
    return out;
}

void drawSampled(QPainter& painter, const Rects& r, const dib& picture) {
    const QImage out = sampledImage(r, picture);
    if (!out.isNull()) {
        painter.drawImage(QPoint(r.xdest, r.ydest), out);
    }
}

// Draws `image` scaled into the destination, without smoothing. Printers and PDF files get
// the pixels as they are: Qt would store most pictures there as JPEG.
void drawScaled(QPainter& painter, const Rects& r, const QImage& image) {
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setRenderHint(QPainter::LosslessImageRendering, true);
    painter.drawImage(QRect(r.xdest, r.ydest, r.destw, r.desth), image);
    painter.restore();
}

bool isPrinter(const QPainter& painter) {
    // Printers and PDF files scale pictures themselves and keep them small.
    return dynamic_cast<const QPagedPaintDevice*>(painter.device()) != nullptr;
}

// The device's own scaling of the source rectangle, without smoothing.
void drawStretched(QPainter& painter, const Rects& r, const dib& picture) {
    const QRect source(r.xsrc, DIBHeight(picture) - r.ysrc - r.srch, r.srcw, r.srch);
    drawScaled(painter, r, dibToImage(picture, source));
}

} // namespace

QImage dibToImage(const dib& picture, QRect region) {
    const int bits = DIBBitCount(picture);
    const int pictureHeight = DIBHeight(picture);
    const QRect whole(0, 0, DIBWidth(picture), pictureHeight);
    region = region.isEmpty() ? whole : region.intersected(whole);
    if (!picture.poi || region.isEmpty()) {
        return {};
    }
    const int width = region.width();
    const int height = region.height();
    const int left = region.left();
    QImage image;
    switch (bits) {
    case 1:
        image = QImage(width, height, QImage::Format_Mono);
        break;
    case 4:
    case 8:
        image = QImage(width, height, QImage::Format_Indexed8);
        break;
    case 24:
        image = QImage(width, height, QImage::Format_RGB32);
        break;
    default:
        return {};
    }
    if (image.isNull()) {
        return {};
    }
    if (bits <= 8) {
        QList<QRgb> table;
        const RGBQUAD* colors = picture.pmi->colors();
        for (std::uint32_t i = 0; i < DIBColorTableSize(picture); ++i) {
            table << colorAt(colors, i);
        }
        image.setColorTable(table);
    }
    if (bits == 1) {
        image.fill(0);
    }
    for (int y = 0; y < height; ++y) {
        const int pictureRow = region.top() + y;
        const std::uint8_t* src =
            picture.poi + std::int64_t(pictureHeight - 1 - pictureRow) * picture.bytew;
        std::uint8_t* dst = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const int sx = left + x;
            switch (bits) {
            case 1:
                if ((src[sx >> 3] >> (7 - (sx & 7))) & 1) {
                    dst[x >> 3] |= std::uint8_t(0x80 >> (x & 7));
                }
                break;
            case 4:
                dst[x] = (sx & 1) ? (src[sx >> 1] & 0x0f) : (src[sx >> 1] >> 4);
                break;
            case 8:
                dst[x] = src[sx];
                break;
            default:
                reinterpret_cast<QRgb*>(dst)[x] =
                    qRgb(src[3 * sx + 2], src[3 * sx + 1], src[3 * sx]);
                break;
            }
        }
    }
    return image;
}

void DrawDIB(QPainter& painter, int xdest, int ydest, int destw, int desth, const dib& picture,
             int xsrc, int ysrc, int srcw, int srch, bool halftone) {
    if (!picture.poi || !painter.isActive()) {
        return;
    }
    const int width = DIBWidth(picture);
    const int height = DIBHeight(picture);
    const int bits = DIBBitCount(picture);
    Rects r{xdest, ydest, destw, desth, xsrc, ysrc, srcw, srch};
    if (!clipToPicture(r, width, height)) {
        return;
    }
    const bool printer = isPrinter(painter);

    if (bits == 24 && halftone && ScreenBitsPerPixel() <= 8) {
        dib toned;
        const bool shrunk = r.srcw > r.destw || r.desth < r.srch;
        if (shrunk) {
            const int tonedWidth = roundEven(double(width) * r.destw / r.srcw);
            const int tonedHeight = roundEven(double(height) * r.desth / r.srch);
            grafikrw3::DIBHalftoneDIBXY(&toned, picture, tonedWidth, tonedHeight);
            if (toned.poi) {
                Rects copy{r.xdest,
                           r.ydest,
                           r.destw,
                           r.desth,
                           roundEven(double(tonedWidth) * r.xsrc / width),
                           roundEven(double(tonedHeight) * r.ysrc / height),
                           r.destw,
                           r.desth};
                if (clipToPicture(copy, tonedWidth, tonedHeight)) {
                    drawStretched(painter, copy, toned);
                }
            }
        } else {
            grafikrw3::DIBHalftoneDIB(&toned, picture);
            if (toned.poi) {
                drawStretched(painter, r, toned);
            }
        }
        grafikrw3::deldib(toned);
        return;
    }
    if ((bits == 24 || bits == 8) && !printer) {
        drawSampled(painter, r, picture);
        return;
    }
    drawStretched(painter, r, picture);
}

std::size_t DrawDibCache::KeyHash::operator()(const Key& k) const {
    return qHashMulti(0, k.pixels, k.width, k.height);
}

void DrawDibCache::draw(QPainter& painter, int x, int y, int w, int h, const dib& picture) {
    if (!picture.poi || !painter.isActive()) {
        return;
    }
    const int width = DIBWidth(picture);
    const int height = DIBHeight(picture);
    const int bits = DIBBitCount(picture);
    Rects r{x, y, w, h, 0, 0, width, height};
    if (!clipToPicture(r, width, height)) {
        return;
    }
    if (painter.device() != device_) {
        device_ = painter.device();
        printer_ = isPrinter(painter);
    }
    // The same two ways as DrawDIB: sampled at its size for screens and images, else the whole
    // picture scaled by the device. Only the making of the image is saved.
    const bool sampled = (bits == 24 || bits == 8) && !printer_;
    const Key key{picture.poi, sampled ? r.destw : 0, sampled ? r.desth : 0};
    if (!last_ || !(lastKey_ == key)) {
        QImage& image = images_[key];
        if (image.isNull()) {
            image = sampled ? sampledImage(r, picture) : dibToImage(picture);
        }
        lastKey_ = key;
        last_ = &image; // elements of the map stay where they are
    }
    if (sampled) {
        painter.drawImage(QPoint(r.xdest, r.ydest), *last_);
    } else {
        drawScaled(painter, r, *last_);
    }
}

void DrawDibCache::clear() {
    images_.clear();
    last_ = nullptr;
    device_ = nullptr;
}
