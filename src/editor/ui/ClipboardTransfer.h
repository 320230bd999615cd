#pragma once

#include "image/ClipboardCommands.h"

#include <QByteArray>

class QMimeData;

// Moves the editor's clipboard blocks to and from the system clipboard's data: the picture as
// image/bmp (a bitmap other programs paste) and image/png, the selection mask in the program's
// own format. Pictures other programs offer are taken as bitmap, as PNG, or as any image Qt
// can read.
namespace clipboardio {

// New clipboard data holding what Copy produced; the caller hands it to the clipboard.
QMimeData* mimeDataFor(const clipboard::Outgoing& outgoing);

// Whether the data offers a picture to paste.
bool hasPicture(const QMimeData* data);

// The picture block the data offers (bitmap or PNG bytes), empty when there is none.
QByteArray pictureBlock(const QMimeData* data);
// The selection-mask block, empty when there is none.
QByteArray maskBlock(const QMimeData* data);

} // namespace clipboardio
