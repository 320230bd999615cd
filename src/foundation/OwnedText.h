#pragma once

#include <QString>

// Owned texts: zero-terminated UTF-16 heap copies, one per record field and never shared.
// A null text reads as empty. Records holding them are moved as raw bytes, so the texts are
// plain pointers released explicitly by their owner.

// Fresh copy of `text` (null gives an empty text); null when memory runs out.
char16_t* copyOwnedText(const char16_t* text);
char16_t* ownedTextFromString(const QString& text);

// Length in UTF-16 code units, 0 for null.
qsizetype ownedTextLength(const char16_t* text);
QString ownedTextToString(const char16_t* text);

// Releases the text and sets the pointer to null.
void freeOwnedText(char16_t*& text);
