#pragma once

#include "Pictures.h"

#include "editor/ui/TDIBMainForm.h"
#include "foundation/DibCopy.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <QImage>
#include <QRect>
#include <QTest>
#include <QToolButton>

// Drives the image editor window with the mouse on its paint box, at 1:1, as the user would:
// for tests of the window and of the hand-over from the stitch editor. Needs a shown window.
// (Found by name, so that chart designer tests need not see the document's headers.)
namespace editormouse {

inline QWidget* paintBox(const TDIBMainForm& form) {
    return form.ClientArea->findChild<QWidget*>(QStringLiteral("PaintBox1"));
}

inline void drag(TDIBMainForm& form, QPoint from, QPoint to, bool release = true) {
    QWidget* box = paintBox(form);
    QTest::mousePress(box, Qt::LeftButton, {}, from);
    QTest::mouseMove(box, to);
    if (release) {
        QTest::mouseRelease(box, Qt::LeftButton, {}, to);
    }
}

// Selects the image rectangle `r` with the selection tool, then moves it by `by` with the hand
// tool; without `release` the button stays down and the pixels keep following the pointer.
inline void liftAndMove(TDIBMainForm& form, const QRect& r, QPoint by, bool release = true) {
    form.SelectBtn->click();
    drag(form, r.topLeft(), r.bottomRight() + QPoint(1, 1));
    form.HandBtn->click();
    const QPoint grip = r.topLeft() + QPoint(1, 1);
    drag(form, grip, grip + by, release);
}

// What `picture` shows after its rectangle `r` was lifted and put down `by` further: the old
// place filled with `hole` (the background colour), the block on top at its new place.
inline OwnedDib movedBlock(const dib& picture, const QRect& r, QPoint by, std::uint32_t hole) {
    OwnedDib shown(copyDib(picture));
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            grafikrw3::setpixel(shown.get(), x, y, hole);
        }
    }
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            const QPoint to = QPoint(x, y) + by;
            if (to.x() < DIBWidth(picture) && to.y() < DIBHeight(picture)) {
                grafikrw3::setpixel(shown.get(), to.x(), to.y(),
                                    grafikrw3::getpixel(picture, x, y));
            }
        }
    }
    return shown;
}

// Whether the paint box shows exactly the 24-bit `picture`, pixel for pixel.
inline bool shows(const TDIBMainForm& form, const dib& picture) {
    const QImage shown = paintBox(form)->grab().toImage();
    if (shown.size() != QSize(DIBWidth(picture), DIBHeight(picture))) {
        return false;
    }
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            const std::uint32_t v = grafikrw3::getpixel(picture, x, y);
            if (shown.pixel(x, y) != qRgb(v & 0xff, (v >> 8) & 0xff, (v >> 16) & 0xff)) {
                return false;
            }
        }
    }
    return true;
}

} // namespace editormouse
