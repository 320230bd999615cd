// The brush family: brush, clone, replace and retouch share one stroke through BrushEngine.
#include "image/BrushEngine.h"
#include "image/ImageDocument.h"

#include "foundation/UserMessage.h"
#include "foundation/grafikrw3/grafikrw3.h"

void ImageDocument::brushToolPress(TMouseButton button, std::int32_t X, std::int32_t Y,
                                   const ToolOptions& options) {
    const std::int32_t ix = view().toImage(X);
    const std::int32_t iy = view().toImage(Y);
    if (options.tool == Tool::Clone) {
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
    } else if (options.tool == Tool::Retouch && DIBBitCount(di.get()) != 24) {
        showUserMessage(MessageIcon::Information,
                        QStringLiteral("Sie können dieses Werkzeug nur bei Truecolor Bildern "
                                       "mit 24 Bits pro Pixel einsetzen!"),
                        QStringLiteral("Achtung!"));
        return;
    }
    ImageEdit edit = pressEdit();
    if (!edit) {
        return;
    }
    switch (options.tool) {
    case Tool::Clone:
        if (!CloneFK) {
            CloneFK = true;
            cfx = ix;
            cfy = iy;
        }
        clsx = X;
        clsy = Y;
        CloneNow = true;
        break;
    case Tool::Replace:
        // The colour that is not painted is the one replaced.
        Replace = true;
        RepColor = button == TMouseButton::Left ? col2 : col1;
        break;
    case Tool::Retouch:
        Retouch = true;
        break;
    default:
        break;
    }
    PaintZeug = paintzeug::kBrush;
    BeginDrag(X, Y, options.tool);
    // The press paints a single dab.
    strokeTo(X, Y, options);
    edit.finish(imageops::OpStatus::Done);
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

void ImageDocument::brushRelease(std::int32_t X, std::int32_t Y, const ToolOptions& options) {
    // The last dab goes where the last move was, not to the release point.
    TPaintInfo& p = PaintInfo;
    const ZoomView v = view();
    BrushLine(v.toImage(p.sx), v.toImage(p.sy), v.toImage(p.ax), v.toImage(p.ay), paintcolor,
              options);
    p.sx = X;
    p.sy = Y;
    Replace = false;
    CloneNow = false;
    Retouch = false;
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
