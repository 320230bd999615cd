#include "TPreviewForm.h"

#include "foundation/DibCopy.h"
#include "foundation/OwnedDib.h"
#include "foundation/UserMessage.h"
#include "foundation/ui/DialogButtons.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstring>

TPreviewForm::TPreviewForm(const QString& objectName, const QString& caption, QWidget* parent)
    : QDialog(parent) {
    setObjectName(objectName);
    setWindowTitle(caption);

    const DialogButtons buttons =
        makeDialogButtons(*this, {.okText = QStringLiteral("&OK"),
                                  .cancelText = QStringLiteral("A&bbrechen"),
                                  .okName = QStringLiteral("OkBitBtn1"),
                                  .cancelName = QStringLiteral("AbbrechenBitBtn2"),
                                  .acceptOnOk = false, // the preview's result is taken over first
                                  .placement = ButtonPlacement::Column,
                                  .onlyOkIsDefault = true});
    OkBitBtn1 = buttons.ok;
    AbbrechenBitBtn2 = buttons.cancel;
    VschauBitBtn4 = buttons.add(QStringLiteral("&Vorschau"), QStringLiteral("VschauBitBtn4"), 12);
    BacksetBitBtn3 = buttons.add(QStringLiteral("&Zurücksetzen"), QStringLiteral("BacksetBitBtn3"));

    connect(VschauBitBtn4, &QPushButton::clicked, this, &TPreviewForm::VschauBitBtn4Click);
    connect(BacksetBitBtn3, &QPushButton::clicked, this, &TPreviewForm::BacksetBitBtn3Click);
    connect(OkBitBtn1, &QPushButton::clicked, this, &TPreviewForm::OkBitBtn1Click);

    controls_ = new QVBoxLayout;
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(controls_, 1);
    layout->addLayout(buttons.row);
}

void TPreviewForm::RestoreOld() {
    dib* image = child_.image;
    if (!image || !image->poi || !HKdi || !HKdi->poi) {
        return;
    }
    // The backup is a copy of this very picture; should the sizes ever differ, copy only what
    // both hold rather than run past either block.
    const std::size_t imageBytes = std::size_t(DIBHeight(*image)) * std::size_t(image->bytew);
    const std::size_t backupBytes = std::size_t(DIBHeight(*HKdi)) * std::size_t(HKdi->bytew);
    std::memcpy(image->poi, HKdi->poi, std::min(imageBytes, backupBytes));
    if (image->ispal) {
        image->pal = HKdi->pal;
        const std::uint32_t entries = std::min(DIBColorTableSize(*image), DIBColorTableSize(*HKdi));
        RGBQUAD* table = image->pmi->colors();
        for (std::uint32_t i = 0; i < entries; ++i) {
            table[i].rgbRed = image->pal.pal[i].peRed;
            table[i].rgbGreen = image->pal.pal[i].peGreen;
            table[i].rgbBlue = image->pal.pal[i].peBlue;
        }
    }
}

void TPreviewForm::VschauBitBtn4Click() {
    if (!child_.image || !child_.image->poi) {
        return;
    }
    RestoreOld();
    applyPreview(*child_.image);
    if (child_.repaint) {
        child_.repaint();
    }
}

void TPreviewForm::BacksetBitBtn3Click() {
    resetControls();
}

void TPreviewForm::OkBitBtn1Click() {
    RestoreOld();
    if (child_.saveForUndo && !child_.saveForUndo()) {
        return; // the document said why; the dialog stays open with the picture unchanged
    }
    if (child_.image && child_.image->poi) {
        applyPreview(*child_.image);
    }
    accept();
}

int runPreviewDialog(TPreviewForm& form, TPreviewForm::Child child) {
    if (!child.image || !child.image->poi) {
        return QDialog::Rejected;
    }
    OwnedDib backup(copyDib(*child.image));
    if (!backup) {
        showUserMessage(MessageIcon::Error,
                        QStringLiteral("Fehler: Konnte Bild nicht erstellen! (Zuwenig Speicher?)"));
        return QDialog::Rejected;
    }
    form.setChild(child);
    form.setBackup(&backup.get());
    const int result = form.exec();
    if (result != QDialog::Accepted) {
        form.RestoreOld();
    }
    form.setBackup(nullptr);
    if (child.repaint) {
        child.repaint();
    }
    return result;
}
