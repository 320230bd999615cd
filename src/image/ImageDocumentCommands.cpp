// Image commands that need the document's state: mirroring and rotating the selection, cutting
// the image down to the selection, and the operations that record their own undo step.
#include "ImageDocument.h"

#include "FloatingPixels.h"

#include "foundation/grafikrw3/grafikrw3.h"
#include "imageops/Effects.h"
#include "imageops/Filters.h"
#include "imageops/Masks.h"

#include <algorithm>
#include <cstring>

using imageops::OpStatus;

namespace {

void copyPixels(dib& to, const dib& from) {
    std::memcpy(to.poi, from.poi, std::size_t(DIBHeight(from)) * std::size_t(from.bytew));
}

void report(const ProgressCallback& progress, int percent) {
    if (progress) {
        progress(percent);
    }
}

} // namespace

void ImageDocument::settleFloating() {
    if (inPaint &&
        (PaintZeug == paintzeug::kMoveFloating || PaintZeug == paintzeug::kPlaceFloating)) {
        DropFloating(PaintInfo.ax, PaintInfo.ay);
    }
}

void ImageDocument::backgroundFollowsImage() {
    if (!DragingNotFinished || !tempdi || !dragdi1 || !di ||
        DIBBitCount(tempdi.get()) != DIBBitCount(di.get())) {
        return;
    }
    for (dib* other : {&tempdi.get(), &dragdi1.get()}) {
        if (other->ispal && di->ispal) {
            other->pal = di->pal;
            const std::uint32_t entries =
                std::min(DIBColorTableSize(*other), DIBColorTableSize(di.get()));
            std::copy_n(di->pmi->colors(), entries, other->pmi->colors());
        }
    }
    const QRect box(floatingPos.x, floatingPos.y, DIBWidth(dragdi1.get()),
                    DIBHeight(dragdi1.get()));
    const QRect image(0, 0, DIBWidth(di.get()), DIBHeight(di.get()));
    // Around the floating pixels' box the background is the image.
    const QRect bands[] = {
        QRect(QPoint(0, 0), QPoint(image.right(), box.top() - 1)),
        QRect(QPoint(0, box.bottom() + 1), image.bottomRight()),
        QRect(QPoint(0, box.top()), QPoint(box.left() - 1, box.bottom())),
        QRect(QPoint(box.right() + 1, box.top()), QPoint(image.right(), box.bottom())),
    };
    for (const QRect& band : bands) {
        floating::copyArea(tempdi.get(), di.get(), band.intersected(image));
    }
    // Inside it, where the floating mask leaves the background visible.
    if (dragSel && dragdi2) {
        const QRect inside = box.intersected(image);
        for (int y = inside.top(); y <= inside.bottom(); ++y) {
            for (int x = inside.left(); x <= inside.right(); ++x) {
                if (!grafikrw3::getpixel(dragdi2.get(), x - box.x(), y - box.y())) {
                    grafikrw3::setpixel(tempdi.get(), x, y, grafikrw3::getpixel(di.get(), x, y));
                }
            }
        }
    }
}

bool ImageDocument::floatSelection() {
    if (!DragingNotFinished) {
        MakeSelectionDragable();
    }
    if (!DragingNotFinished) {
        UpdateSelddib();
        return false;
    }
    return true;
}

// --- mirroring ----------------------------------------------------------------------------

OpStatus ImageDocument::FlipH(const ProgressCallback& progress) {
    return mirror(true, progress);
}

OpStatus ImageDocument::FlipV(const ProgressCallback& progress) {
    return mirror(false, progress);
}

OpStatus ImageDocument::mirror(bool leftRight, const ProgressCallback& progress) {
    const auto flip = [&](dib& picture) {
        return leftRight ? imageops::FlipH(picture, progress) : imageops::FlipV(picture, progress);
    };
    ImageEdit edit = beginEdit();
    if (!edit) {
        return edit.finish(OpStatus::Unchanged);
    }
    if (!selaktiv) {
        return edit.finish(flip(di.get()));
    }
    if (!floatSelection()) {
        return edit.finish(OpStatus::Unchanged);
    }
    flip(dragdi1.get());
    if (dragSel) {
        flip(dragdi2.get());
    }
    // The turned-over pixels go back into the box they came from, as the selection.
    imageops::fillMask(seldib.get(), false);
    copyPixels(di.get(), tempdi.get());
    composeFloatingAt(floatingPos.x, floatingPos.y, true, true);
    UpdateSelddib();
    return edit.finish(OpStatus::Done);
}

// --- rotation -----------------------------------------------------------------------------

OpStatus ImageDocument::rotate(const imageops::RotateParams& p, const ProgressCallback& progress) {
    // The command's step; a picture turned as a whole records SetNewSizedDib's too.
    ImageEdit edit = beginEdit();
    if (!edit) {
        return edit.finish(OpStatus::Unchanged);
    }
    if (selaktiv) {
        return edit.finish(rotateFloating(p, progress));
    }
    OwnedDib turned = imageops::Rotate(di.get(), p, std::uint32_t(col2), progress);
    if (!turned) {
        return edit.finish(OpStatus::NoMemory);
    }
    return edit.finish(SetNewSizedDib(std::move(turned)) ? OpStatus::Done : OpStatus::Unchanged);
}

OpStatus ImageDocument::rotateFloating(const imageops::RotateParams& p,
                                       const ProgressCallback& progress) {
    if (!floatSelection()) {
        return OpStatus::Unchanged;
    }
    const bool rightAngle = imageops::isRightAngle(p);
    if (!rightAngle && !dragSel) {
        // Turned by any angle the block gets corners it did not have; only a mask keeps them
        // out of the selection.
        OwnedDib all;
        grafikrw3::newdib(&all.get(), DIBWidth(dragdi1.get()), DIBHeight(dragdi1.get()), 1, nullptr,
                          0);
        if (!all) {
            return OpStatus::NoMemory;
        }
        imageops::fillMask(all.get(), true);
        dragdi2 = std::move(all);
        dragSel = true;
    }
    // Both turned or neither: pixels and mask must keep one size.
    OwnedDib pixels = imageops::Rotate(dragdi1.get(), p, std::uint32_t(col2), progress);
    OwnedDib mask = dragSel ? imageops::Rotate(dragdi2.get(), p, 0, progress) : OwnedDib();
    if (!pixels || (dragSel && !mask)) {
        return OpStatus::NoMemory;
    }
    dragdi1 = std::move(pixels);
    if (dragSel) {
        dragdi2 = std::move(mask);
    }
    imageops::fillMask(seldib.get(), false);
    copyPixels(di.get(), tempdi.get());
    const TPoint corner = floatingPos;
    if (rightAngle) {
        composeFloatingAt(corner.x, corner.y, true, true);
        UpdateSelddib();
        return OpStatus::Done;
    }
    // Any angle: the turned mask starts at the old corner; the floating pictures lose the empty
    // rows and columns above and left of what it covers on the image.
    composeFloatingAt(corner.x, corner.y, false, true);
    UpdateSelddib();
    if (!selaktiv) {
        // Nothing of it lies on the image any more.
        FinishDraging();
        return OpStatus::Done;
    }
    const std::int32_t dL = selrect.Left - corner.x;
    const std::int32_t dT = selrect.Top - corner.y;
    TPoint at = corner;
    if (dL != 0 || dT != 0) {
        const imageops::CanvasParams cut{DIBWidth(dragdi1.get()) - dL,
                                         DIBHeight(dragdi1.get()) - dT, -dL, -dT};
        OwnedDib cutPixels = imageops::NewCanvas(dragdi1.get(), cut, std::uint32_t(col2));
        OwnedDib cutMask = imageops::NewCanvas(dragdi2.get(), cut, 0);
        if (cutPixels && cutMask) {
            dragdi1 = std::move(cutPixels);
            dragdi2 = std::move(cutMask);
            at = {selrect.Left, selrect.Top};
        }
    }
    floatingPos = at;
    composeFloatingAt(at.x, at.y, true, false);
    return OpStatus::Done;
}

// --- the image cut down to the selection --------------------------------------------------

OpStatus ImageDocument::cropToSelection(const ProgressCallback& progress) {
    // SetNewSizedDib records the step.
    ImageEdit edit = beginEdit(UndoStep::None);
    if (!edit || !selaktiv) {
        return edit.finish(OpStatus::Unchanged);
    }
    report(progress, 0);
    const TRect r = selrect;
    OwnedDib cut = imageops::newPictureLike(di.get(), std::int64_t(r.Right) - r.Left + 1,
                                            std::int64_t(r.Bottom) - r.Top + 1);
    if (!cut) {
        report(progress, 0);
        return edit.finish(OpStatus::NoMemory);
    }
    // A selection one row high is done after its row.
    const std::int32_t span = std::max(1, r.Bottom - r.Top);
    for (std::int32_t y = r.Top; y <= r.Bottom; ++y) {
        report(progress, int(std::int64_t(y - r.Top) * 100 / span));
        for (std::int32_t x = r.Left; x <= r.Right; ++x) {
            if (isSelected(x, y)) {
                grafikrw3::setpixel(cut.get(), x - r.Left, y - r.Top,
                                    grafikrw3::getpixel(di.get(), x, y));
            }
        }
    }
    const bool done = SetNewSizedDib(std::move(cut));
    report(progress, 0);
    return edit.finish(done ? OpStatus::Done : OpStatus::Unchanged);
}

// --- operations on the selected pixels ----------------------------------------------------

OpStatus ImageDocument::changeInPlace(const InPlaceOperation& operation,
                                      const ProgressCallback& progress) {
    ImageEdit edit = beginEdit();
    if (!edit) {
        return edit.finish(OpStatus::Unchanged);
    }
    return edit.finish(operation(edit.image(), edit.selection(), progress));
}

OpStatus ImageDocument::changeSize(const std::function<OwnedDib(const dib& image)>& make) {
    ImageEdit edit = beginEdit(UndoStep::None);
    if (!edit) {
        return edit.finish(OpStatus::Unchanged);
    }
    OwnedDib picture = make(edit.image());
    if (!picture) {
        return edit.finish(OpStatus::NoMemory);
    }
    return edit.finish(SetNewSizedDib(std::move(picture)) ? OpStatus::Done : OpStatus::Unchanged);
}

OpStatus ImageDocument::DibFilter(const filtertype& filter, const ProgressCallback& progress) {
    return changeInPlace(
        [&](dib& image, const imageops::Selection& sel, const ProgressCallback& bar) {
            return imageops::DibFilter(image, filter, sel, bar);
        },
        progress);
}

OpStatus ImageDocument::runBuiltinFilter(const imageops::BuiltinFilter& filter,
                                         const ProgressCallback& progress) {
    return changeInPlace(
        [&](dib& image, const imageops::Selection& sel, const ProgressCallback& bar) {
            return imageops::runBuiltinFilter(image, filter, sel, bar);
        },
        progress);
}

OpStatus ImageDocument::DibErodeFilter(const ProgressCallback& progress) {
    return changeInPlace(
        [&](dib& image, const imageops::Selection& sel, const ProgressCallback& bar) {
            return imageops::DibErodeFilter(image, sel, bar);
        },
        progress);
}

OpStatus ImageDocument::DibDilateFilter(const ProgressCallback& progress) {
    return changeInPlace(
        [&](dib& image, const imageops::Selection& sel, const ProgressCallback& bar) {
            return imageops::DibDilateFilter(image, sel, bar);
        },
        progress);
}

OpStatus ImageDocument::DelNoise(std::int32_t Grenze, const ProgressCallback& progress) {
    return changeInPlace(
        [&](dib& image, const imageops::Selection& sel, const ProgressCallback& bar) {
            return imageops::DelNoise(image, Grenze, sel, bar);
        },
        progress);
}
