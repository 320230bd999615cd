#pragma once

#include "ImageTypes.h"

#include "foundation/OwnedDib.h"

#include <cstdint>

// One step of undo: the state of the image, the selection and a put-down floating selection
// before a change. Move-only; owns its copies until they are handed back to the document.
struct UndoEntry {
    OwnedDib image;        // always: a copy of the image
    OwnedDib selection;    // selaktiv: a copy of the selection mask
    OwnedDib background;   // floatingFlag: a copy of the background under the floating pixels
    OwnedDib floating;     // floatingFlag: a copy of the floating pixels
    OwnedDib floatingMask; // floatingFlag and maskFlag: a copy of the floating mask
    bool selaktiv = false;
    bool floatingFlag = false; // a floating selection was put down
    bool transparent = false;
    bool maskFlag = false;
    TPoint floatingPos;      // floatingFlag: where the floating pixels lie, image pixels
    std::uint64_t state = 0; // which state of the document this is (ImageDocument::state_)
};
