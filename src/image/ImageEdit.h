#pragma once

#include "UndoEntry.h"

#include "imageops/ImageOp.h"

class ImageDocument;

// How an image command keeps its undo step.
enum class UndoStep {
    Record, // the command records it before it changes anything
    None,   // there is none, or another part records it (a preview dialog's OK, SetNewSizedDib)
};

// The edit of one image command, like a transaction: opened by ImageDocument::beginEdit, which
// puts down floating pixels still following the pointer and records the undo step; closed by
// finish, which refreshes background, drawing colours, palette, view and menus exactly once, or,
// when the command failed, returns the document to the state the edit began in. Every refresh
// the command causes on its way waits for the finish. Edits may nest (a command that records a
// step of its own around an operation that records one too); the outermost finish refreshes.
class ImageEdit {
public:
    ImageEdit(ImageEdit&& other) noexcept;
    ImageEdit(const ImageEdit&) = delete;
    ImageEdit& operator=(const ImageEdit&) = delete;
    ImageEdit& operator=(ImageEdit&&) = delete;
    // An edit left without finish ends as one that changed nothing.
    ~ImageEdit();

    // Whether the command may change the picture: the document has one and the undo step was
    // recorded when one was asked for (otherwise the user has been told why).
    explicit operator bool() const { return usable_; }

    // The picture and the part of it the command may change.
    dib& image();
    imageops::Selection selection() const;
    // The colour values lose their meaning with this command (a depth conversion, a palette the
    // picture was fitted to): the drawing colours start again as for a new image.
    void coloursStartAgain() { coloursStartAgain_ = true; }
    // A tool's press, which starts a drag that repaints as it goes: the finish repaints only
    // the areas the press changed and leaves the palette display alone, unless it fails.
    void repaintChangesOnly() { changesOnly_ = true; }

    // Ends the edit with the command's result. Done keeps the change. NoMemory and Stopped
    // (the picture is as before) take back the undo step this edit recorded, so that picture,
    // palette, selection, undo entries and caption are as they were. Returns `status`.
    imageops::OpStatus finish(imageops::OpStatus status);

private:
    friend class ImageDocument;
    ImageEdit(ImageDocument& document, UndoStep undo);

    ImageDocument* doc_;
    bool open_ = true;
    bool usable_ = false;
    bool recorded_ = false;
    bool coloursStartAgain_ = false;
    bool changesOnly_ = false;
    int bitsBefore_ = 0;
    // The oldest entry the recorded step pushed out of the full history; a failed command puts
    // it back.
    UndoEntry pushedOut_;
};
