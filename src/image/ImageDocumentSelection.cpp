// The selection: mask, outline, marching ants, the selection steps and commands.
#include "ImageDocument.h"

#include "foundation/DibCopy.h"
#include "foundation/UserMessage.h"
#include "foundation/grafikrw3/grafikrw3.h"
#include "imageops/Masks.h"

#include <algorithm>

namespace {

void notEnoughMemory() {
    showUserMessage(MessageIcon::Error, QString::fromUtf16(kNotEnoughMemoryText));
}

std::uint32_t modeValue(SelectionMode mode) {
    return mode == SelectionMode::Subtract ? 0u : 1u;
}

// Select all, none and invert: one undo step, a floating selection merged first; `change`
// answers false when memory ran short, which takes the step back.
template <typename Change>
bool selectionCommand(ImageDocument& doc, Change change) {
    ImageEdit edit = doc.beginEdit();
    if (!edit) {
        return false;
    }
    doc.FinishDraging();
    const bool done = change();
    edit.finish(done ? imageops::OpStatus::Done : imageops::OpStatus::NoMemory);
    return done;
}

} // namespace

bool ImageDocument::ensureMask() {
    if (seldib && DIBWidth(seldib.get()) == DIBWidth(di.get()) &&
        DIBHeight(seldib.get()) == DIBHeight(di.get())) {
        return true;
    }
    OwnedDib mask;
    grafikrw3::newdib(&mask.get(), DIBWidth(di.get()), DIBHeight(di.get()), 1, nullptr, 0);
    if (!mask) {
        notEnoughMemory();
        return false;
    }
    seldib = std::move(mask);
    return true;
}

bool ImageDocument::isSelected(std::int32_t x, std::int32_t y) const {
    return grafikrw3::getpixel(seldib.get(), x, y) != 0;
}

void ImageDocument::clearSelection() {
    invalidateSelection();
    imageops::fillMask(seldib.get(), false);
    selaktiv = false;
    outline_ = SelectionOutline{};
}

void ImageDocument::UpdateSelddib() {
    invalidateSelection();
    outline_ = buildOutline(seldib.get());
    selpos = 0;
    selrect = outline_.any ? outline_.bounds
                           : TRect{DIBWidth(di.get()) - 1, DIBHeight(di.get()) - 1, 0, 0};
    selaktiv = outline_.any;
    invalidateSelection();
    updateMenus();
}

void ImageDocument::Timer1Timer() {
    if (selaktiv && !inPaint) {
        selpos = (selpos + 1) % 10;
        invalidateSelection();
    }
}

void ImageDocument::FreeSel(SelectionType& sell) {
    sell = SelectionType{};
}

const std::vector<TPoint>* ImageDocument::freehandOutline() const {
    if (PaintZeug == paintzeug::kFreeSelect && inPaint && sel_.aktiv && !sel_.poi1.empty()) {
        return &sel_.poi1.front();
    }
    return nullptr;
}

// --- selection steps --------------------------------------------------------------------

void ImageDocument::selectShape(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                                bool ellipse, SelectionMode mode) {
    if (!ensureMask()) {
        return;
    }
    if (mode == SelectionMode::Replace) {
        imageops::fillMask(seldib.get(), false);
    }
    // The library clips both figures to the mask.
    if (ellipse) {
        grafikrw3::FilledEllipse(seldib.get(), x1, y1, x2, y2, modeValue(mode));
    } else {
        grafikrw3::recht_filled(seldib.get(), x1, y1, x2, y2, modeValue(mode));
    }
    UpdateSelddib();
}

void ImageDocument::selectPolygon(const std::vector<TPoint>& points, SelectionMode mode) {
    if (!ensureMask()) {
        return;
    }
    if (mode == SelectionMode::Replace) {
        imageops::fillMask(seldib.get(), false);
    }
    imageops::fillPolygon(seldib.get(), points, modeValue(mode));
    UpdateSelddib();
}

// --- commands -------------------------------------------------------------------------

bool ImageDocument::SelectAll() {
    return selectionCommand(*this, [this] {
        if (!ensureMask()) {
            return false;
        }
        imageops::fillMask(seldib.get(), true);
        UpdateSelddib();
        return true;
    });
}

bool ImageDocument::SelectNone() {
    return selectionCommand(*this, [this] {
        clearSelection();
        return true;
    });
}

bool ImageDocument::InvertSelection() {
    return selectionCommand(*this, [this] {
        if (!ensureMask()) {
            return false;
        }
        imageops::invertMask(seldib.get());
        UpdateSelddib();
        return true;
    });
}
