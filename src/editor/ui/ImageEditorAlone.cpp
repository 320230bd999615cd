#include "ImageEditorAlone.h"

#include "TDIBMainForm.h"

#include "image/DocumentFiles.h"
#include "image/ui/TMDIChild.h"

#include <QFileInfo>

std::unique_ptr<TDIBMainForm> openImageEditorAlone(const QString& file) {
    auto form = std::make_unique<TDIBMainForm>();
    form->setStandalone(true);
    if (!file.isEmpty()) {
        const QFileInfo info(file);
        if (info.exists()) {
            form->OpenImageFile(info.absoluteFilePath());
        } else {
            // A new picture under the name given, so that Save writes it there.
            ImageDocument& doc = form->doc();
            doc.WinName = info.fileName();
            doc.SaveFilename = info.absoluteFilePath();
            doc.SaveFormat = documentfiles::saveFormatFor(file);
            doc.cansave = doc.SaveFormat != 0;
            doc.UpdateCaption();
        }
    }
    form->show();
    return form;
}
