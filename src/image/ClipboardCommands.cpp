#include "ClipboardCommands.h"

#include "ClipboardPictures.h"
#include "ImageDocument.h"

#include "foundation/DibCopy.h"
#include "foundation/grafikrw3/ImageFiles.h"
#include "foundation/grafikrw3/PixelRows.h"

#include <cstring>

namespace clipboard {

namespace {

// Whether two palette pictures share their colour table, so that indexes mean the same colours.
bool sameColourTable(const dib& a, const dib& b) {
    const std::uint32_t n = DIBColorTableSize(a);
    return n == DIBColorTableSize(b) &&
           std::memcmp(a.pmi->colors(), b.pmi->colors(), n * sizeof(RGBQUAD)) == 0;
}

} // namespace

Outgoing copySelection(const ImageDocument& doc) {
    Outgoing out;
    const dib& image = doc.di.get();
    if (!image.poi) {
        return out;
    }
    const bool selected = doc.selaktiv && doc.seldib;
    const TRect& r = doc.selrect;
    const QRect area = selected ? QRect(QPoint(r.Left, r.Top), QPoint(r.Right, r.Bottom))
                                : QRect(0, 0, DIBWidth(image), DIBHeight(image));
    const Region region = copyRegion(image, selected ? &doc.seldib.get() : nullptr, area);
    if (!region.picture || (selected && !region.mask)) {
        return out;
    }
    out.bmp = bmpFile(region.picture.get());
    out.png = grafikrw3::SaveDibToBytes(region.picture.get(), int(grafikrw3::ImageFormat::Png));
    if (selected) {
        out.mask = maskBlock(region.mask.get());
    }
    if (out.bmp.isEmpty() || (selected && out.mask.isEmpty())) {
        return {};
    }
    return out;
}

bool deleteSelection(ImageDocument& doc) {
    ImageEdit edit = doc.beginEdit();
    if (!edit) {
        return false;
    }
    if (doc.DragingNotFinished) {
        doc.removeFloating();
        edit.finish(imageops::OpStatus::Done);
        return true;
    }
    dib& image = edit.image();
    const bool selected = doc.selaktiv && doc.seldib;
    const std::int32_t width = DIBWidth(image);
    const std::int32_t height = DIBHeight(image);
    const auto colour = std::uint32_t(doc.col2);
    grafikrw3::forDepth(DIBBitCount(image), [&](auto format) {
        using Format = decltype(format);
        for (std::int32_t y = 0; y < height; ++y) {
            std::uint8_t* row = grafikrw3::rowAt(image, y);
            const std::uint8_t* mask = selected ? grafikrw3::rowAt(doc.seldib.get(), y) : nullptr;
            for (std::int32_t x = 0; x < width; ++x) {
                if (!mask || grafikrw3::PixelFormat<1>::get(mask, x)) {
                    Format::put(row, x, colour);
                }
            }
        }
    });
    edit.finish(imageops::OpStatus::Done);
    return true;
}

QString pasteFailureText(const PasteResult& result) {
    switch (result.status) {
    case PasteStatus::NoMemory:
        return QString::fromUtf16(kNotEnoughMemoryText);
    case PasteStatus::Damaged:
        return QStringLiteral("Das Bild in der Zwischenablage kann nicht gelesen werden: ") +
               result.error;
    case PasteStatus::Pasted:
    case PasteStatus::NoPicture:
    case PasteStatus::Refused: // the undo record has said why
        break;
    }
    return {};
}

OwnedDib pictureForNewImage(const QByteArray& block, PasteResult& result) {
    result = {};
    if (block.isEmpty()) {
        return {};
    }
    OwnedDib picture = readPicture(block, &result.error);
    result.status = picture ? PasteStatus::Pasted : PasteStatus::Damaged;
    return picture;
}

PasteResult pasteAsSelection(ImageDocument& doc, const QByteArray& pictureBlock,
                             const QByteArray& maskBlock, bool transparent) {
    PasteResult result;
    if (!doc.di) {
        return result;
    }
    // Everything is read and converted before the document changes, so that a damaged picture
    // or a shortage leaves it as it was, without an empty undo step.
    OwnedDib picture = pictureForNewImage(pictureBlock, result);
    if (!picture) {
        return result;
    }
    OwnedDib mask = maskBlock.isEmpty()
                        ? OwnedDib()
                        : readMask(maskBlock, DIBWidth(picture.get()), DIBHeight(picture.get()));
    const dib& image = doc.di.get();
    // Indexes of another colour table mean other colours: map them as well.
    const bool convert = DIBBitCount(picture.get()) != DIBBitCount(image) ||
                         (DIBBitCount(image) <= 8 && !sameColourTable(picture.get(), image));
    // Floating pixels must have the image's depth: without memory for the conversion
    // nothing is pasted.
    if (convert && !MakeCompatibleDib(image, picture)) {
        result.status = PasteStatus::NoMemory;
        return result;
    }
    ImageEdit edit = doc.beginEdit();
    if (!edit) {
        result.status = PasteStatus::Refused;
        return result;
    }
    const bool hasMask = bool(mask);
    if (!doc.InitDraging(std::move(picture), std::move(mask), hasMask, transparent, 99, true)) {
        edit.finish(imageops::OpStatus::NoMemory);
        result.status = PasteStatus::Refused; // the message has been shown
        return result;
    }
    edit.finish(imageops::OpStatus::Done);
    result.status = PasteStatus::Pasted;
    return result;
}

} // namespace clipboard
