#pragma once

#include "foundation/OwnedDib.h"

#include <QByteArray>
#include <QString>

class ImageDocument;

// The document's side of the clipboard commands: what Copy puts on the clipboard, Delete, and
// the pastes. The window moves the blocks to and from the system clipboard and shows the texts.
namespace clipboard {

// What Copy hands to the clipboard: the picture as a bitmap file and as PNG, and with an
// active selection the mask block beside them. All empty when memory is short.
struct Outgoing {
    QByteArray bmp;
    QByteArray png;
    QByteArray mask;
    bool ok() const { return !bmp.isEmpty(); }
};

// The picture of the image, or of the selection's bounding box (a floating selection
// included) together with its mask.
Outgoing copySelection(const ImageDocument& doc);

// "Löschen": records undo, then removes a floating selection, or fills the selected pixels
// (all pixels without a selection) with the background colour. False when undo was refused.
bool deleteSelection(ImageDocument& doc);

enum class PasteStatus {
    Pasted,
    NoPicture, // the block is empty: nothing to paste
    Damaged,   // the picture cannot be read; `error` says why
    NoMemory,
    Refused, // the undo step could not be recorded, or memory ran short (the user was told)
};

struct PasteResult {
    PasteStatus status = PasteStatus::NoPicture;
    QString error;
};

// The text the window shows for a paste that did not happen; empty when there is none to show.
QString pasteFailureText(const PasteResult& result);

// The clipboard picture `block` as a new picture of its own depth (paste as a new image).
OwnedDib pictureForNewImage(const QByteArray& block, PasteResult& result);

// Paste as a selection: reads the picture and, when `maskBlock` holds a mask of the picture's
// size, the mask; converts the picture to the image's depth and palette; records undo; and
// starts it floating (operation 99), transparent when `transparent`. A picture that cannot be
// read or converted leaves the document untouched.
PasteResult pasteAsSelection(ImageDocument& doc, const QByteArray& pictureBlock,
                             const QByteArray& maskBlock, bool transparent);

} // namespace clipboard
