#pragma once

#include "dib.h"

#include <QImage>
#include <QRect>

#include <cstdint>
#include <unordered_map>

class QPainter;
class QPaintDevice;

// Draws the source rectangle of `picture` scaled into the destination rectangle on any
// painter: a widget, an off-screen image or a printer.
//
// `ysrc` counts from the bottom row, as the picture's rows are stored. The source rectangle is
// first cut to the picture, the destination shrinking with it (rounded, ties to even). On
// screens and images, 24- and 8-bit pictures are sampled nearest-neighbour exactly as the
// chart and the editor rely on: destination column i shows source column
// xsrc + srcw * i / destw, destination row k the source row (height - ysrc - srch) +
// srch * k / desth counted from the top; columns outside the picture show black. Other depths
// and printers go through the device's own scaling without smoothing. With `halftone`, true
// colour is halftoned first on screens of 8 bits or fewer.
void DrawDIB(QPainter& painter, int xdest, int ydest, int destw, int desth, const dib& picture,
             int xsrc, int ysrc, int srcw, int srch, bool halftone);

// The pixels of `region` (top-down picture coordinates, the whole picture when empty) as an
// image sharing no memory with the picture: RGB32 for true colour, Mono for 1 bit, Indexed8
// with the colour table for 4 and 8 bits.
QImage dibToImage(const dib& picture, QRect region = {});

// Draws whole pictures exactly as DrawDIB does without halftoning, but makes the image of each
// picture at each size only once: a page shows the same few symbols thousands of times. On a
// printer a picture stays one image at every size, which a PDF file stores once however often
// it is drawn. The pictures are known by their pixel memory, so they must neither change nor
// go while the cache is in use, and it serves one device at a time; clear() forgets pictures
// and device.
class DrawDibCache {
public:
    void draw(QPainter& painter, int x, int y, int w, int h, const dib& picture);
    void clear();

private:
    struct Key {
        const std::uint8_t* pixels;
        int width;
        int height;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& k) const;
    };
    std::unordered_map<Key, QImage, KeyHash> images_;
    // Neighbouring cells mostly show the same symbol, and the device stays the same.
    Key lastKey_{};
    const QImage* last_ = nullptr;
    const QPaintDevice* device_ = nullptr;
    bool printer_ = false;
};
