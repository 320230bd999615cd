// The text tool: the text from the frame's dialog floats with the pointer until a click puts it
// down.
#include "image/ImageDocument.h"

#include "foundation/UserMessage.h"
#include "foundation/grafikrw3/grafikrw3.h"

void ImageDocument::textToolClick(TMouseButton /*button*/, std::int32_t /*X*/, std::int32_t /*Y*/,
                                  const ToolOptions& /*options*/) {
    textToolPress();
}

void ImageDocument::textToolPress() {
    const std::optional<TextBlock> text = view_ ? view_->askForText() : std::nullopt;
    if (!text || textBlockSize(*text).isEmpty()) {
        // Cancelled, or a text without a visible line: nothing changes.
        return;
    }
    ImageEdit edit = pressEdit();
    if (!edit) {
        return;
    }
    if (selaktiv) {
        FinishDraging();
        clearSelection();
    }
    edit.finish(InsertText(*text) ? imageops::OpStatus::Done : imageops::OpStatus::NoMemory);
}

bool ImageDocument::InsertText(const TextBlock& text) {
    if (textBlockSize(text).isEmpty()) {
        return false;
    }
    const QString shortage = QStringLiteral("Error: Not enough memory for this function!!!");
    OwnedDib savesel = renderTextMask(text);
    if (!savesel) {
        showUserMessage(MessageIcon::Error, shortage);
        return false;
    }
    const dib& image = di.get();
    const std::int32_t w = DIBWidth(savesel.get()), h = DIBHeight(savesel.get());
    OwnedDib pixels;
    grafikrw3::newdib(&pixels.get(), w, h, DIBBitCount(image), image.pmi,
                      std::int32_t(DIBColorTableSize(image)));
    if (!pixels) {
        showUserMessage(MessageIcon::Error, shortage);
        return false;
    }
    for (std::int32_t y = 0; y < h; ++y) {
        for (std::int32_t x = 0; x < w; ++x) {
            if (grafikrw3::getpixel(savesel.get(), x, y)) {
                grafikrw3::setpixel(pixels.get(), x, y, std::uint32_t(col1));
            }
        }
    }
    return InitDraging(std::move(pixels), std::move(savesel), true, false,
                       paintzeug::kPlaceFloating, true);
}
