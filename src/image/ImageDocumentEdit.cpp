// The edit every image command goes through, the refreshes it holds back until its finish and
// the drawing colours that follow the picture's depth and palette.
#include "ImageDocument.h"
#include "ImageEdit.h"

#include "imageops/Depth.h"

using imageops::OpStatus;

ImageEdit ImageDocument::beginEdit(UndoStep undo) {
    return ImageEdit(*this, undo);
}

ImageEdit::ImageEdit(ImageDocument& document, UndoStep undo) : doc_(&document) {
    ++doc_->openEdits_;
    doc_->settleFloating();
    bitsBefore_ = int(DIBBitCount(doc_->di.get()));
    if (!doc_->di) {
        return;
    }
    if (undo == UndoStep::Record) {
        recorded_ = doc_->SaveForUndo(&pushedOut_);
        usable_ = recorded_;
    } else {
        usable_ = true;
    }
}

ImageEdit::ImageEdit(ImageEdit&& other) noexcept
    : doc_(other.doc_), open_(other.open_), usable_(other.usable_), recorded_(other.recorded_),
      coloursStartAgain_(other.coloursStartAgain_), changesOnly_(other.changesOnly_),
      bitsBefore_(other.bitsBefore_), pushedOut_(std::move(other.pushedOut_)) {
    other.open_ = false;
}

ImageEdit::~ImageEdit() {
    if (open_) {
        finish(OpStatus::Unchanged);
    }
}

dib& ImageEdit::image() {
    return doc_->di.get();
}

imageops::Selection ImageEdit::selection() const {
    return doc_->selection();
}

OpStatus ImageEdit::finish(OpStatus status) {
    if (!open_) {
        return status;
    }
    open_ = false;
    ImageDocument& d = *doc_;
    const bool failed = recorded_ && (status == OpStatus::NoMemory || status == OpStatus::Stopped);
    if (failed) {
        d.takeBackNewest(std::move(pushedOut_));
    } else if (usable_) {
        // Floating pixels put down over the change take it into their background.
        d.backgroundFollowsImage();
        d.coloursFollowImage(bitsBefore_, coloursStartAgain_ && status == OpStatus::Done);
        ++d.revision_;
    }
    if (!changesOnly_ || failed) {
        d.pending_.palette = d.pending_.view = true;
    }
    d.pending_.menus = true;
    if (--d.openEdits_ == 0) {
        d.flushRefresh();
    }
    return status;
}

// --- the refreshes an open edit holds back -------------------------------------------------

void ImageDocument::flushRefresh() {
    const PendingRefresh due = std::exchange(pending_, {});
    if (due.palette && host_) {
        host_->paletteChanged();
    }
    if (due.view) {
        invalidateAll();
    } else if (view_) {
        for (const QRect& area : due.areas) {
            view_->invalidate(area);
        }
    }
    if (due.menus) {
        updateMenus();
    }
}

void ImageDocument::paletteChanged() {
    if (openEdits_ > 0) {
        pending_.palette = true;
    } else if (host_) {
        host_->paletteChanged();
    }
}

void ImageDocument::updateMenus() {
    if (openEdits_ > 0) {
        pending_.menus = true;
    } else if (host_) {
        host_->UpdateMenuItems();
    }
}

void ImageDocument::invalidate(const QRect& paintBoxRect) {
    if (openEdits_ > 0) {
        if (!pending_.view && !paintBoxRect.isEmpty()) {
            pending_.areas.push_back(paintBoxRect);
        }
    } else if (view_ && !paintBoxRect.isEmpty()) {
        view_->invalidate(paintBoxRect);
    }
}

void ImageDocument::invalidateAll() {
    if (openEdits_ > 0) {
        pending_.view = true;
        return;
    }
    if (view_) {
        view_->invalidateAll();
    }
    // Whatever changed the whole picture may have changed its size or depth too; the summary
    // should not wait for the next mouse move to say so.
    if (di) {
        showStatus(1, imageSummary());
    }
}

// --- the drawing colours -------------------------------------------------------------------

void ImageDocument::coloursFollowImage(int bitsBefore, bool startAgain) {
    const int bits = int(DIBBitCount(di.get()));
    if (startAgain || bits != bitsBefore) {
        // Colour values are palette indexes at one depth and RGB at another: the old ones would
        // paint wrongly. They start again as for a new image.
        setcol1(0);
        setcol2(std::int32_t(imageops::lastColour(bits)));
    } else {
        // The palette may have changed: the swatches show its entries.
        setcol1(col1);
        setcol2(col2);
    }
}
