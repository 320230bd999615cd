// The floating selection: lifting, moving, putting down, picking up and merging.
#include "ImageDocument.h"

#include "FloatingPixels.h"

#include "foundation/DibCopy.h"
#include "foundation/UserMessage.h"
#include "foundation/grafikrw3/grafikrw3.h"
#include "imageops/Masks.h"

#include <cstring>

namespace {

void notEnoughMemory() {
    showUserMessage(MessageIcon::Error, QString::fromUtf16(kNotEnoughMemoryText));
}

// An empty picture with the size, depth and colour table of `like`.
OwnedDib blankLike(const dib& like, std::int32_t width, std::int32_t height) {
    OwnedDib picture;
    grafikrw3::newdib(&picture.get(), width, height, DIBBitCount(like), like.pmi,
                      std::int32_t(DIBColorTableSize(like)));
    return picture;
}

OwnedDib blankMask(std::int32_t width, std::int32_t height) {
    OwnedDib mask;
    grafikrw3::newdib(&mask.get(), width, height, 1, nullptr, 0);
    return mask;
}

void copyPixels(dib& to, const dib& from) {
    std::memcpy(to.poi, from.poi, std::size_t(DIBHeight(from)) * std::size_t(from.bytew));
}

} // namespace

bool ImageDocument::InitDraging(OwnedDib di2, OwnedDib savesel, bool saveselhan, bool trans, int nr,
                                bool setoff) {
    if (setoff) {
        DragOx = 0;
        DragOy = 0;
    }
    dragRest_ = {};
    FinishDraging();
    OwnedDib background = blankLike(di.get(), DIBWidth(di.get()), DIBHeight(di.get()));
    if (!background) {
        notEnoughMemory();
        return false;
    }
    copyPixels(background.get(), di.get());
    return startFloating(std::move(di2), std::move(savesel), saveselhan, trans, nr,
                         std::move(background));
}

bool ImageDocument::startFloating(OwnedDib pixels, OwnedDib mask, bool hasMask, bool trans, int nr,
                                  OwnedDib background) {
    tempdi = std::move(background);
    composed_ = {};
    PaintZeug = nr;
    inPaint = true;
    takeCapture();
    dragtrans = trans;
    dragdi1 = std::move(pixels);
    dragdi2 = hasMask ? std::move(mask) : OwnedDib();
    dragSel = hasMask && dragdi2;
    clearSelection();
    return true;
}

ImageDocument::LiftedSelection ImageDocument::liftSelectedPixels(bool cut, std::uint32_t fill) {
    const TRect r = selrect;
    const std::int32_t w = r.Right - r.Left + 1;
    const std::int32_t h = r.Bottom - r.Top + 1;
    // Everything is made before the image changes, so that a shortage leaves it whole.
    LiftedSelection lifted{blankLike(di.get(), w, h), blankMask(w, h),
                           blankLike(di.get(), DIBWidth(di.get()), DIBHeight(di.get()))};
    if (!lifted.pixels || !lifted.mask || !lifted.background) {
        notEnoughMemory();
        return {};
    }
    floating::liftSelected(di.get(), seldib.get(), r, lifted.pixels.get(), lifted.mask.get(), cut,
                           fill);
    copyPixels(lifted.background.get(), di.get());
    return lifted;
}

bool ImageDocument::LiftSelection(std::int32_t X, std::int32_t Y) {
    const ZoomView v = view();
    if (!DragingNotFinished) {
        const TRect r = selrect;
        LiftedSelection lifted = liftSelectedPixels(true, std::uint32_t(col2));
        if (!lifted.pixels) {
            return false;
        }
        invalidateImageArea(QRect(QPoint(r.Left, r.Top), QPoint(r.Right, r.Bottom)));
        DragOx = v.toPaintBox(r.Left) - X;
        DragOy = v.toPaintBox(r.Top) - Y;
        keepPlace({r.Left, r.Top});
        startFloating(std::move(lifted.pixels), std::move(lifted.mask), true, false,
                      paintzeug::kMoveFloating, std::move(lifted.background));
    } else {
        RefreshFloating();
        PaintZeug = paintzeug::kMoveFloating;
        inPaint = true;
        DragOx = v.toPaintBox(floatingPos.x) - X;
        DragOy = v.toPaintBox(floatingPos.y) - Y;
        keepPlace(floatingPos);
        takeCapture();
        clearSelection();
        composed_ = floating::coveredArea(di.get(), dragdi1.get(), floatingPos.x, floatingPos.y);
    }
    MoveFloating(X, Y);
    return true;
}

void ImageDocument::RefreshFloating() {
    if (!dragdi1) {
        return;
    }
    floating::refreshFrom(di.get(), seldib.get(), floatingPos.x, floatingPos.y, dragdi1.get(),
                          dragSel ? &dragdi2.get() : nullptr);
}

void ImageDocument::restoreBackground() {
    if (!tempdi) {
        return;
    }
    floating::copyArea(di.get(), tempdi.get(), composed_);
    invalidateImageArea(composed_);
    composed_ = {};
}

void ImageDocument::MoveFloating(std::int32_t X, std::int32_t Y) {
    if (!dragdi1 || !tempdi) {
        return;
    }
    restoreBackground();
    composeFloatingAt(view().toImage(std::int64_t(X) + DragOx) + dragRest_.x,
                      view().toImage(std::int64_t(Y) + DragOy) + dragRest_.y, true, false);
}

void ImageDocument::DropFloating(std::int32_t X, std::int32_t Y) {
    PaintZeug = paintzeug::kNone;
    inPaint = false;
    releaseCapture();
    if (!dragdi1 || !tempdi) {
        return;
    }
    restoreBackground();
    composeFloatingAt(view().toImage(std::int64_t(X) + DragOx) + dragRest_.x,
                      view().toImage(std::int64_t(Y) + DragOy) + dragRest_.y, true, true);
    DragingNotFinished = true;
    UpdateSelddib();
    if (!selaktiv) {
        // Nothing of it lies on the image (or every pixel was transparent): there is nothing
        // left to pick up again.
        FinishDraging();
    }
}

void ImageDocument::keepPlace(const TPoint& corner) {
    // Reduced, a paint-box pixel stands for several image pixels: the part of the corner it
    // cannot express is kept aside, so that a press without a move leaves the pixels in place.
    const ZoomView v = view();
    dragRest_ = {corner.x - v.toImage(v.toPaintBox(corner.x)),
                 corner.y - v.toImage(v.toPaintBox(corner.y))};
}

void ImageDocument::DrawDragedDib(std::int32_t _x, std::int32_t _y, bool imtoo, bool seltoo) {
    composeFloatingAt(view().toImage(_x), view().toImage(_y), imtoo, seltoo);
}

void ImageDocument::composeFloatingAt(std::int32_t ix, std::int32_t iy, bool imtoo, bool seltoo) {
    if (!dragdi1) {
        return;
    }
    dib* mask = dragSel ? &dragdi2.get() : nullptr;
    if (seltoo) {
        floatingPos = {ix, iy};
        ensureMask();
    }
    if (dragtrans) {
        if (seltoo && !mask) {
            // Transparent pixels leave the floating selection for good; that needs a mask.
            OwnedDib all = blankMask(DIBWidth(dragdi1.get()), DIBHeight(dragdi1.get()));
            if (all) {
                imageops::fillMask(all.get(), true);
                dragdi2 = std::move(all);
                dragSel = true;
                mask = &dragdi2.get();
            }
        }
        floating::composeTransparent(di.get(), dragdi1.get(), mask, ix, iy, std::uint32_t(col2),
                                     seltoo ? &seldib.get() : nullptr);
        if (seltoo) {
            dragtrans = false;
        }
    } else {
        if (imtoo) {
            floating::composeOpaque(di.get(), dragdi1.get(), mask, ix, iy);
        }
        if (seltoo) {
            floating::markCovered(seldib.get(), dragdi1.get(), mask, ix, iy);
        }
    }
    composed_ = floating::coveredArea(di.get(), dragdi1.get(), ix, iy);
    invalidateImageArea(composed_);
}

void ImageDocument::FinishDraging() {
    if (!DragingNotFinished) {
        return;
    }
    DragingNotFinished = false;
    dragdi1.reset();
    dragdi2.reset();
    tempdi.reset();
    dragSel = false;
    composed_ = {};
    updateMenus();
}

dib& ImageDocument::drawingTarget() {
    return DragingNotFinished && tempdi ? tempdi.get() : di.get();
}

void ImageDocument::drawingDone(const QRect& area) {
    if (DragingNotFinished && tempdi && dragdi1) {
        // The background changed under the floating pixels: the image is the background with
        // the floating pixels on top again, the selection stays as it is.
        copyPixels(di.get(), tempdi.get());
        composeFloatingAt(floatingPos.x, floatingPos.y, true, false);
    }
    imageChanged(area);
}

void ImageDocument::removeFloating() {
    if (!DragingNotFinished) {
        return;
    }
    copyPixels(di.get(), tempdi.get());
    clearSelection();
    FinishDraging();
    invalidateAll();
    updateMenus();
}

bool ImageDocument::MakeSelectionDragable() {
    if (!selaktiv || hasFloating()) {
        return false;
    }
    const TRect r = selrect;
    LiftedSelection lifted = liftSelectedPixels(false, 0);
    if (!lifted.pixels) {
        return false;
    }
    tempdi = std::move(lifted.background);
    dragdi1 = std::move(lifted.pixels);
    dragdi2 = std::move(lifted.mask);
    dragtrans = false;
    dragSel = true;
    DragingNotFinished = true;
    floatingPos = {r.Left, r.Top};
    composed_ = floating::coveredArea(di.get(), dragdi1.get(), r.Left, r.Top);
    updateMenus();
    return true;
}
