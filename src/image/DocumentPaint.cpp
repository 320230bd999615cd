// The painting tools' presses: the brush family, fill, text, line and shape.
#include "ImageDocument.h"

#include "BrushEngine.h"
#include "tools/AdaptPattern.h"

#include "foundation/DibCopy.h"
#include "foundation/UserMessage.h"
#include "foundation/grafikrw3/grafikrw3.h"

namespace {

void notEnoughMemory() {
    showUserMessage(MessageIcon::Error, QString::fromUtf16(kNotEnoughMemoryText));
}

} // namespace

void ImageDocument::paintToolPress(TMouseButton button, std::int32_t X, std::int32_t Y,
                                   const ToolOptions& options) {
    const std::int32_t ix = view().toImage(X);
    const std::int32_t iy = view().toImage(Y);
    // A stroke whose release never came must not leave its mode to the next one.
    Replace = CloneNow = Retouch = false;
    switch (options.tool) {
    case Tool::Brush:
        if (!SaveForUndo()) {
            return;
        }
        PaintZeug = paintzeug::kBrush;
        BeginDrag(X, Y);
        break;
    case Tool::Clone:
        if (ShiftState.shift) {
            // Shift sets the source; the next stroke starts a new alignment.
            CloneSet = true;
            CloneFK = false;
            clx = ix;
            cly = iy;
            return;
        }
        if (!CloneSet) {
            showUserMessage(MessageIcon::Error,
                            QStringLiteral("Sie müssen zuerst einen Startpunkt wählen, indem Sie "
                                           "mit gedrückter Shift-Taste auf das Bild klicken!"),
                            QStringLiteral("Fehler: kein Startpunkt!"));
            return;
        }
        if (!SaveForUndo()) {
            return;
        }
        if (!CloneFK) {
            CloneFK = true;
            cfx = ix;
            cfy = iy;
        }
        clsx = X;
        clsy = Y;
        CloneNow = true;
        PaintZeug = paintzeug::kBrush;
        BeginDrag(X, Y);
        break;
    case Tool::Replace:
        if (!SaveForUndo()) {
            return;
        }
        // The colour that is not painted is the one replaced.
        Replace = true;
        RepColor = button == TMouseButton::Left ? col2 : col1;
        PaintZeug = paintzeug::kBrush;
        BeginDrag(X, Y);
        break;
    case Tool::Retouch:
        if (DIBBitCount(di.get()) != 24) {
            showUserMessage(MessageIcon::Information,
                            QStringLiteral("Sie können dieses Werkzeug nur bei Truecolor Bildern "
                                           "mit 24 Bits pro Pixel einsetzen!"),
                            QStringLiteral("Achtung!"));
            return;
        }
        if (!SaveForUndo()) {
            return;
        }
        Retouch = true;
        PaintZeug = paintzeug::kBrush;
        BeginDrag(X, Y);
        break;
    case Tool::Line:
    case Tool::Shape:
        if (!SaveForUndo()) {
            return;
        }
        PaintZeug = options.tool == Tool::Line ? paintzeug::kLine : paintzeug::kShape;
        BeginDrag(X, Y);
        return;
    case Tool::Fill:
        floodFill(ix, iy, options);
        return;
    case Tool::Txt:
        textToolPress();
        return;
    default:
        return;
    }
    if (PaintZeug == paintzeug::kBrush && inPaint) {
        // The press paints a single dab.
        strokeTo(X, Y, options);
    }
}

void ImageDocument::strokeTo(std::int32_t X, std::int32_t Y, const ToolOptions& options) {
    TPaintInfo& p = PaintInfo;
    p.ax = X;
    p.ay = Y;
    const ZoomView v = view();
    BrushLine(v.toImage(p.sx), v.toImage(p.sy), v.toImage(X), v.toImage(Y), paintcolor, options);
    p.sx = X;
    p.sy = Y;
    if (CloneNow) {
        DrawRubberBand(options);
    }
}

void ImageDocument::BrushLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                              std::int32_t farbe, const ToolOptions& options) {
    BrushStroke stroke;
    stroke.mode = CloneNow  ? BrushMode::Clone
                  : Replace ? BrushMode::Replace
                  : Retouch ? BrushMode::Retouch
                            : BrushMode::Paint;
    stroke.tip = options.tip;
    stroke.tolerance = options.toleranz;
    stroke.retouchModus = options.retouchModus;
    stroke.repColor = RepColor;
    if (CloneNow) {
        // Aligned: one offset for every stroke since the source was set. Not aligned: each
        // stroke starts copying at the source again.
        const ZoomView v = view();
        const std::int32_t baseX = options.cloneModus == 0 ? cfx : v.toImage(clsx);
        const std::int32_t baseY = options.cloneModus == 0 ? cfy : v.toImage(clsy);
        stroke.cloneDx = clx - baseX;
        stroke.cloneDy = cly - baseY;
    }
    stroke.selection = selaktiv ? &seldib.get() : nullptr;
    const QRect covered = ::BrushLine(di.get(), stroke, x1, y1, x2, y2, farbe);
    if (!covered.isEmpty()) {
        imageChanged(covered & QRect(0, 0, DIBWidth(di.get()), DIBHeight(di.get())));
    }
}

QPoint ImageDocument::cloneCrossCentre(const ToolOptions& options) const {
    const ZoomView v = view();
    const QPoint source(v.toPaintBox(clx), v.toPaintBox(cly));
    const QPoint base =
        options.cloneModus == 0 ? QPoint(v.toPaintBox(cfx), v.toPaintBox(cfy)) : QPoint(clsx, clsy);
    return source + QPoint(PaintInfo.ax, PaintInfo.ay) - base;
}

// --- fill --------------------------------------------------------------------------------

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
    if (!work || !SaveForUndo()) {
        if (!work) {
            notEnoughMemory();
        }
        return;
    }
    if (!grafikrw3::filldib(di.get(), ix, iy, std::uint32_t(paintcolor), std::uint32_t(paint2color),
                            options.toleranz, seldib.get(), selaktiv ? 1 : 0, work.get(), style,
                            options.direction, adapted.get())) {
        notEnoughMemory();
    }
    imageChanged();
}

// --- text --------------------------------------------------------------------------------

void ImageDocument::textToolPress() {
    const std::optional<TextBlock> text = view_ ? view_->askForText() : std::nullopt;
    if (!text || textBlockSize(*text).isEmpty() || !SaveForUndo()) {
        // Cancelled, or a text without a visible line: nothing changes.
        return;
    }
    if (selaktiv) {
        FinishDraging();
        clearSelection();
        updateMenus();
    }
    InsertText(*text);
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
