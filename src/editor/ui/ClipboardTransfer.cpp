#include "ClipboardTransfer.h"

#include "image/ClipboardPictures.h"

#include <QBuffer>
#include <QImage>
#include <QMimeData>

namespace clipboardio {

namespace {

QString mime(const char* name) {
    return QString::fromLatin1(name);
}

} // namespace

QMimeData* mimeDataFor(const clipboard::Outgoing& outgoing) {
    auto* data = new QMimeData;
    data->setData(mime(clipboard::kBmpMime), outgoing.bmp);
    if (!outgoing.png.isEmpty()) {
        data->setData(mime(clipboard::kPngMime), outgoing.png);
    }
    if (!outgoing.mask.isEmpty()) {
        data->setData(mime(clipboard::kSelectionMime), outgoing.mask);
    }
    return data;
}

bool hasPicture(const QMimeData* data) {
    return data && (data->hasFormat(mime(clipboard::kBmpMime)) ||
                    data->hasFormat(mime(clipboard::kPngMime)) || data->hasImage());
}

QByteArray pictureBlock(const QMimeData* data) {
    if (!data) {
        return {};
    }
    // A bitmap keeps a palette exactly; PNG is what most programs offer.
    for (const char* format : {clipboard::kBmpMime, clipboard::kPngMime}) {
        const QByteArray block = data->data(mime(format));
        if (!block.isEmpty()) {
            return block;
        }
    }
    if (data->hasImage()) {
        const QImage image = qvariant_cast<QImage>(data->imageData());
        QByteArray png;
        QBuffer buffer(&png);
        if (!image.isNull() && buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "PNG")) {
            return png;
        }
    }
    return {};
}

QByteArray maskBlock(const QMimeData* data) {
    return data ? data->data(mime(clipboard::kSelectionMime)) : QByteArray();
}

} // namespace clipboardio
