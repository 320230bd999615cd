// The fill tool: a flood fill from the pressed pixel in colour, gradient or pattern.
#include "image/ImageDocument.h"
#include "image/tools/AdaptPattern.h"

#include "foundation/DibCopy.h"
#include "foundation/UserMessage.h"
#include "foundation/grafikrw3/grafikrw3.h"

namespace {

void notEnoughMemory() {
    showUserMessage(MessageIcon::Error, QString::fromUtf16(kNotEnoughMemoryText));
}

} // namespace

void ImageDocument::fillToolPress(TMouseButton /*button*/, std::int32_t X, std::int32_t Y,
                                  const ToolOptions& options) {
    floodFill(view().toImage(X), view().toImage(Y), options);
}

void ImageDocument::floodFill(std::int32_t ix, std::int32_t iy, const ToolOptions& options) {
    const int style = options.fillStyle;
    if (style == grafikrw3::kFillPattern && (!options.pattern || !options.pattern->poi)) {
        showUserMessage(MessageIcon::Error,
                        QStringLiteral("Sie müssen zuerst ein Muster auswählen!"));
        return;
    }
    const dib& image = di.get();
    if (ix < 0 || iy < 0 || ix >= DIBWidth(image) || iy >= DIBHeight(image) ||
        (selaktiv && !isSelected(ix, iy))) {
        // Nothing of the picture or the selection would be filled: no undo step either.
        return;
    }
    OwnedDib adapted;
    if (style == grafikrw3::kFillPattern) {
        adapted = AdaptPattern(image, *options.pattern);
        if (!adapted) {
            notEnoughMemory();
            return;
        }
    }
    OwnedDib work;
    grafikrw3::newdib(&work.get(), DIBWidth(image), DIBHeight(image), 1, nullptr, 0);
    if (!work) {
        notEnoughMemory();
        return;
    }
    ImageEdit edit = beginEdit();
    if (!edit) {
        return;
    }
    if (!grafikrw3::filldib(di.get(), ix, iy, std::uint32_t(paintcolor), std::uint32_t(paint2color),
                            options.toleranz, seldib.get(), selaktiv ? 1 : 0, work.get(), style,
                            options.direction, adapted.get())) {
        notEnoughMemory();
        edit.finish(imageops::OpStatus::NoMemory);
        return;
    }
    edit.finish(imageops::OpStatus::Done);
}
