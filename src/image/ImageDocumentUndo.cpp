// Three levels of undo, no redo.
#include "ImageDocument.h"

#include "foundation/DibCopy.h"
#include "foundation/UserMessage.h"
#include "foundation/grafikrw3/grafikrw3.h"
#include "imageops/Masks.h"

namespace {

// A copy of `picture` into `into`; false when the picture has pixels but the copy has none.
bool copyInto(OwnedDib& into, const OwnedDib& picture) {
    into = OwnedDib(copyDib(picture.get()));
    return into || !picture;
}

} // namespace

bool ImageDocument::SaveForUndo(UndoEntry* pushedOut) {
    if (!di) {
        return false; // nothing to change
    }
    // The entry is made aside; the history changes only when every copy succeeded, so that
    // restoring an entry can never leave the document without its image.
    UndoEntry entry;
    entry.state = state_;
    bool complete = copyInto(entry.image, di);
    entry.selaktiv = selaktiv;
    if (complete && selaktiv) {
        complete = copyInto(entry.selection, seldib);
        entry.floatingFlag = DragingNotFinished;
        if (complete && DragingNotFinished) {
            complete = copyInto(entry.background, tempdi) && copyInto(entry.floating, dragdi1) &&
                       (!dragSel || copyInto(entry.floatingMask, dragdi2));
            entry.transparent = dragtrans;
            entry.maskFlag = dragSel;
            entry.floatingPos = floatingPos;
        }
    }
    if (!complete) {
        showUserMessage(MessageIcon::Error, QString::fromUtf16(kNotEnoughMemoryText));
        return false;
    }
    state_ = ++revision_;
    if (!changed) {
        changed = true;
        UpdateCaption();
    }
    if (CanUndo >= int(UndoInfo.size())) {
        if (pushedOut) {
            *pushedOut = std::move(UndoInfo[0]);
        }
        FreeUndoBuffer(1);
    }
    UndoInfo[std::size_t(CanUndo)] = std::move(entry);
    ++CanUndo;
    updateMenus();
    return true;
}

void ImageDocument::markSaved() {
    savedState_ = state_;
    changed = false;
}

void ImageDocument::markUnsaved() {
    savedState_ = 0;
    changed = true;
}

void ImageDocument::FreeUndoBuffer(int nr) {
    if (CanUndo <= 0 || nr < 1 || nr > CanUndo) {
        return;
    }
    for (int k = nr; k < CanUndo; ++k) {
        UndoInfo[std::size_t(k - 1)] = std::move(UndoInfo[std::size_t(k)]);
    }
    UndoInfo[std::size_t(CanUndo - 1)] = UndoEntry{};
    --CanUndo;
}

void ImageDocument::freeAllUndo() {
    while (CanUndo > 0) {
        FreeUndoBuffer(1);
    }
}

void ImageDocument::LoadFromUndo() {
    if (CanUndo <= 0) {
        updateMenus();
        return;
    }
    const int bitsBefore = int(DIBBitCount(di.get()));
    ++openEdits_; // one refresh at the end
    restoreNewest();
    coloursFollowImage(bitsBefore);
    pending_.palette = pending_.view = pending_.menus = true;
    if (--openEdits_ == 0) {
        flushRefresh();
    }
}

void ImageDocument::takeBackNewest(UndoEntry pushedOut) {
    restoreNewest();
    if (pushedOut.image && CanUndo < int(UndoInfo.size())) {
        for (int k = CanUndo; k > 0; --k) {
            UndoInfo[std::size_t(k)] = std::move(UndoInfo[std::size_t(k - 1)]);
        }
        UndoInfo[0] = std::move(pushedOut);
        ++CanUndo;
    }
}

void ImageDocument::restoreNewest() {
    if (CanUndo > 0) {
        ++revision_;
        UndoEntry entry = std::move(UndoInfo[std::size_t(CanUndo - 1)]);
        UndoInfo[std::size_t(CanUndo - 1)] = UndoEntry{};
        --CanUndo;

        di = std::move(entry.image);
        state_ = entry.state;
        if (changed != (state_ != savedState_)) {
            changed = !changed;
            UpdateCaption();
        }
        // Whatever floats now, put down or following the pointer, belongs to the state being
        // left.
        if (PaintZeug == paintzeug::kMoveFloating || PaintZeug == paintzeug::kPlaceFloating) {
            inPaint = false;
            PaintZeug = paintzeug::kNone;
            releaseCapture();
        }
        DragingNotFinished = true;
        FinishDraging();
        selaktiv = entry.selaktiv;
        if (selaktiv) {
            seldib = std::move(entry.selection);
            DragingNotFinished = entry.floatingFlag;
            if (DragingNotFinished) {
                tempdi = std::move(entry.background);
                dragdi1 = std::move(entry.floating);
                dragdi2 = std::move(entry.floatingMask);
                dragtrans = entry.transparent;
                dragSel = entry.maskFlag;
                floatingPos = entry.floatingPos;
                composed_ = QRect(floatingPos.x, floatingPos.y, DIBWidth(dragdi1.get()),
                                  DIBHeight(dragdi1.get()))
                                .intersected(QRect(0, 0, DIBWidth(di.get()), DIBHeight(di.get())));
            }
        } else {
            imageops::fillMask(seldib.get(), false);
            if (DIBWidth(seldib.get()) != DIBWidth(di.get()) ||
                DIBHeight(seldib.get()) != DIBHeight(di.get())) {
                seldib.reset();
                ensureMask();
            }
        }
        if (paintBoxSize() != boxSize_) {
            SetZoom(zoomin, zoomout);
        }
        UpdateSelddib();
        paletteChanged();
        invalidateAll();
    }
    updateMenus();
}
