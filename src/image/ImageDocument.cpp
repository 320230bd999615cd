#include "ImageDocument.h"

#include "foundation/DibCopy.h"
#include "foundation/UserMessage.h"
#include "foundation/grafikrw3/grafikrw3.h"
#include "imageops/Masks.h"

#include <cstring>

namespace {

OwnedDib newMaskFor(const dib& image) {
    OwnedDib mask;
    grafikrw3::newdib(&mask.get(), DIBWidth(image), DIBHeight(image), 1, nullptr, 0);
    return mask;
}

} // namespace

OwnedDib makeWhiteImage(std::int32_t width, std::int32_t height) {
    OwnedDib picture;
    grafikrw3::newdib(&picture.get(), width, height, 24, nullptr, 0);
    if (picture) {
        std::memset(picture->poi, 0xff, std::size_t(height) * std::size_t(picture->bytew));
    }
    return picture;
}

ImageDocument::ImageDocument() = default;
ImageDocument::~ImageDocument() = default;

// --- window and frame calls -------------------------------------------------------------

void ImageDocument::invalidateImageArea(const QRect& imageRect) {
    invalidate(view().paintBoxRect(imageRect));
}

void ImageDocument::invalidateSelection() {
    if (outline_.any) {
        const TRect& r = outline_.bounds;
        invalidateImageArea(QRect(QPoint(r.Left, r.Top), QPoint(r.Right, r.Bottom)));
    }
}

void ImageDocument::resizePaintBox() {
    boxSize_ = paintBoxSize();
    if (view_) {
        view_->setPaintBoxSize(boxSize_.width(), boxSize_.height());
    }
}

void ImageDocument::takeCapture() {
    if (view_ && !view_->mouseCaptured()) {
        view_->setMouseCapture(true);
        Capture = true;
    }
}

void ImageDocument::releaseCapture() {
    if (Capture) {
        Capture = false;
        if (view_) {
            view_->setMouseCapture(false);
        }
    }
}

void ImageDocument::showStatus(int panel, const QString& text) {
    if (host_) {
        host_->setStatusText(panel, text);
    }
}

void ImageDocument::SetToolCursor(int number) {
    if (view_) {
        view_->setToolCursor(number);
    }
}

// --- the image ----------------------------------------------------------------------------

bool ImageDocument::installImage(OwnedDib picture, const QString& name) {
    if (!picture) {
        invalidateAll();
        updateMenus();
        return false;
    }
    // A drag or placement in progress ends with the image it belonged to.
    releaseCapture();
    inPaint = false;
    PaintZeug = paintzeug::kNone;
    setRubberBand({});
    FreeSel(sel_);
    FinishDraging();
    dragdi1.reset();
    dragdi2.reset();
    tempdi.reset();
    composed_ = {};
    seldib.reset();
    clearSelection();
    FreeSel(sel);
    freeAllUndo();

    di = std::move(picture);
    state_ = ++revision_;
    zoomin = 1;
    zoomout = 1;
    WinName = name;
    markSaved();
    cansave = false;
    SaveFilename.clear();
    UpdateCaption();
    if (host_) {
        host_->selectZoomBoxIndex(view().zoomBoxIndex());
    }

    seldib = newMaskFor(di.get());
    if (!seldib) {
        showUserMessage(MessageIcon::Error, QStringLiteral("Konnte Bitmap nicht erstellen."),
                        QStringLiteral("Nicht genug freier Speicher(?)!"));
    }
    resizePaintBox();
    if (view_) {
        view_->setScrollPosition(0, 0);
    }
    paletteChanged();
    setcol1(0);
    setcol2(std::int32_t(DIBColorCount(di.get()) - 1));
    invalidateAll();
    updateMenus();
    return true;
}

bool ImageDocument::SetNewSizedDib(OwnedDib picture) {
    if (!picture) {
        return false;
    }
    settleFloating();
    const bool sameSize = DIBWidth(picture.get()) == DIBWidth(di.get()) &&
                          DIBHeight(picture.get()) == DIBHeight(di.get()) && seldib;
    OwnedDib mask;
    if (!sameSize) {
        mask = newMaskFor(picture.get());
        if (!mask) {
            showUserMessage(MessageIcon::Error, QString::fromUtf16(kNotEnoughMemoryText));
            return false;
        }
    }
    // The entry holds the image as it was, a floating selection included.
    ImageEdit edit = beginEdit();
    if (!edit) {
        return false;
    }
    FinishDraging();
    di = std::move(picture);
    if (!sameSize) {
        seldib = std::move(mask);
        clearSelection();
        SetZoom(zoomin, zoomout);
    }
    edit.finish(imageops::OpStatus::Done);
    return true;
}

void ImageDocument::imageChanged(const QRect& area) {
    ++revision_;
    if (area.isEmpty()) {
        invalidateAll();
    } else {
        invalidateImageArea(area);
    }
}

// --- caption, status and colours -------------------------------------------------------

QString ImageDocument::captionText() const {
    return QStringLiteral("Bild bearbeiten - ") + WinName +
           (changed ? QStringLiteral("*") : QString()) +
           QStringLiteral(" [%1:%2]").arg(zoomin).arg(zoomout);
}

void ImageDocument::UpdateCaption() {
    if (host_) {
        host_->setCaption(captionText());
    }
}

QString ImageDocument::imageSummary() const {
    const dib& d = di.get();
    const std::uint32_t size = d.pmi ? d.pmi->bmiHeader.biSizeImage : 0;
    return QStringLiteral("Bild: %1 x %2 x %3 - %4 KByte")
        .arg(DIBWidth(d))
        .arg(DIBHeight(d))
        .arg(qulonglong(std::uint64_t(1) << DIBBitCount(d)))
        .arg(size >> 10);
}

void ImageDocument::SplitRGB(std::int32_t c, std::int32_t& red, std::int32_t& green,
                             std::int32_t& blue) {
    red = c & 0xff;
    green = (c >> 8) & 0xff;
    blue = (c >> 16) & 0xff;
}

void ImageDocument::SplitColor(std::int32_t c, std::int32_t& red, std::int32_t& green,
                               std::int32_t& blue) const {
    if (DIBColorCount(di.get()) <= 256) {
        const PALETTEENTRY e = c >= 0 && c < 256 ? di->pal.pal[c] : PALETTEENTRY{};
        red = e.peRed;
        green = e.peGreen;
        blue = e.peBlue;
        return;
    }
    SplitRGB(c, red, green, blue);
}

QRgb ImageDocument::screenColor(std::int32_t c) const {
    std::int32_t r = 0, g = 0, b = 0;
    SplitColor(c, r, g, b);
    return qRgb(r, g, b);
}

void ImageDocument::setcol1(std::int32_t c) {
    col1 = c;
    if (host_) {
        host_->showColor(1, screenColor(c));
    }
}

void ImageDocument::setcol2(std::int32_t c) {
    col2 = c;
    if (host_) {
        host_->showColor(2, screenColor(c));
    }
}
