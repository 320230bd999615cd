#include "OwnedText.h"

#include "Memory.h"

#include <cstring>

namespace {

char16_t* makeText(const char16_t* chars, qsizetype length) {
    auto* copy =
        static_cast<char16_t*>(memory::allocZeroed(std::size_t(length + 1) * sizeof(char16_t)));
    if (copy && length > 0) {
        std::memcpy(copy, chars, std::size_t(length) * sizeof(char16_t));
    }
    return copy;
}

} // namespace

qsizetype ownedTextLength(const char16_t* text) {
    qsizetype n = 0;
    if (text) {
        while (text[n] != 0) {
            ++n;
        }
    }
    return n;
}

char16_t* copyOwnedText(const char16_t* text) {
    return makeText(text, ownedTextLength(text));
}

char16_t* ownedTextFromString(const QString& text) {
    // A text ends at its first zero character, as it would when read back.
    const qsizetype zero = text.indexOf(QChar(0));
    const qsizetype length = zero < 0 ? text.size() : zero;
    return makeText(reinterpret_cast<const char16_t*>(text.utf16()), length);
}

QString ownedTextToString(const char16_t* text) {
    return QString::fromUtf16(text, ownedTextLength(text));
}

void freeOwnedText(char16_t*& text) {
    memory::release(text);
    text = nullptr;
}
