#include "PrintLayout.h"

#include "foundation/DrawDib.h"

#include <cstdint>

namespace {

// n / 100 rounded to the nearest integer, halves to even (n >= 0).
std::int64_t percentOf(std::int64_t n) {
    std::int64_t q = n / 100;
    const std::int64_t r = n % 100;
    if (r > 50 || (r == 50 && (q & 1) != 0)) {
        ++q;
    }
    return q;
}

} // namespace

QRect printPlacement(QSize picture, QSize page, const PrintChoice& choice) {
    const std::int64_t imgW = picture.width(), imgH = picture.height();
    const std::int64_t pageW = page.width(), pageH = page.height();
    if (imgW <= 0 || imgH <= 0 || pageW <= 0 || pageH <= 0) {
        return {};
    }
    std::int64_t w = pageW, h = pageH;
    if (choice.fullPage) {
        if (choice.keepAspect) {
            const std::int64_t t = imgH * pageW / imgW;
            if (t > pageH) {
                w = imgW * pageH / imgH;
            } else {
                h = t;
            }
        }
    } else {
        w = percentOf(pageW * choice.breit);
        h = percentOf(pageH * choice.hoch);
    }
    std::int64_t x = 0, y = 0;
    if (choice.centre) {
        x = (pageW - w) / 2;
        y = (pageH - h) / 2;
    }
    return QRect(int(x), int(y), int(w), int(h));
}

QRect previewPage(QSize page, QSize box) {
    if (page.width() <= 0 || page.height() <= 0) {
        return {};
    }
    int pw = box.width(), ph = box.height();
    if (page.height() < page.width()) {
        ph = int(std::int64_t(box.width()) * page.height() / page.width());
    } else {
        pw = int(std::int64_t(box.height()) * page.width() / page.height());
    }
    return QRect((box.width() - pw) / 2, (box.height() - ph) / 2, pw, ph);
}

double heightPercentFor(int breit, QSize picture, QSize page) {
    if (picture.width() <= 0 || page.height() <= 0) {
        return 0;
    }
    return double(std::int64_t(picture.height()) * breit) / picture.width() * page.width() /
           page.height();
}

double widthPercentFor(int hoch, QSize picture, QSize page) {
    if (picture.height() <= 0 || page.width() <= 0) {
        return 0;
    }
    return double(std::int64_t(picture.width()) * hoch) / picture.height() * page.height() /
           page.width();
}

void printPicture(QPainter& painter, const dib& picture, QSize page, const PrintChoice& choice) {
    const int width = DIBWidth(picture), height = DIBHeight(picture);
    const QRect at = printPlacement(QSize(width, height), page, choice);
    if (!at.isEmpty()) {
        DrawDIB(painter, at.x(), at.y(), at.width(), at.height(), picture, 0, 0, width, height,
                false);
    }
}
