// The stitch palette of the main window and its buttons.
#include "TMainForm.h"

#include "ProgramWindows.h"
#include "TSettingsTab.h"
#include "TStichEditForm.h"
#include "designer/StandardStitches.h"
#include "designer/StitchPalette.h"
#include "foundation/DibCopy.h"
#include "foundation/OwnedText.h"
#include "foundation/UserMessage.h"
#include "foundation/grafikrw3/grafikrw3.h"
#include "foundation/ui/TPaintBox.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>

#include <cstring>

namespace {

// The size of a new stitch's blank picture.
constexpr int kNewPictureSize = 100;

void fillEditor(TStichEditForm& editor, const TStich& stich) {
    editor.Edit1->setText(ownedTextToString(stich.bezeichnung));
    editor.Edit2->setText(ownedTextToString(stich.abkuerzung));
    editor.Memo1->setText(ownedTextToString(stich.hinreihe));
    editor.Memo2->setText(ownedTextToString(stich.rueckreihe));
    editor.BreiteEd->setValue(std::max(stich.breite, 1));
}

// Fresh texts from the editor into `stich` (its old texts are released).
void takeTexts(TStich& stich, const TStichEditForm& editor) {
    for (char16_t** text :
         {&stich.bezeichnung, &stich.abkuerzung, &stich.hinreihe, &stich.rueckreihe}) {
        freeOwnedText(*text);
    }
    stich.bezeichnung = ownedTextFromString(editor.Edit1->text());
    stich.abkuerzung = ownedTextFromString(editor.Edit2->text());
    stich.hinreihe = ownedTextFromString(editor.Memo1->text());
    stich.rueckreihe = ownedTextFromString(editor.Memo2->text());
}

} // namespace

void TMainForm::PaintBox2Paint() {
    doc.stichnr = StitchPalette::clampSelection(doc.stichnr, doc.stiche.count);
    const QSize size(ScrollBox2->viewport()->width(),
                     StitchPalette::height(doc.stiche.count, doc.cellwh));
    if (PaintBox2->size() != size) {
        PaintBox2->resize(size);
    }
    PaintBox2->update();
}

void TMainForm::PaintBox2MouseDown(QMouseEvent* event) {
    doc.stichnr = StitchPalette::indexAt(event->position().toPoint().y(), doc.cellwh);
    PaintBox2Paint();
}

void TMainForm::BitBtn1Click() {
    TStichEditForm& editor = *windows_.StichEditForm;
    editor.BreiteEd->clear();
    for (QLineEdit* edit : {editor.Edit1, editor.Edit2, editor.Memo1, editor.Memo2}) {
        edit->clear();
    }
    dib blank;
    grafikrw3::newdib(&blank, kNewPictureSize, kNewPictureSize, 24, nullptr, 0);
    if (blank.poi) {
        std::memset(blank.poi, 0xff, std::size_t(DIBHeight(blank)) * std::size_t(blank.bytew));
    }
    editor.setPicture(blank);
    if (editor.exec() != QDialog::Accepted) {
        return;
    }
    TStich* stich = doc.stiche.Add();
    if (!stich) {
        return; // the record array has reported it
    }
    takeTexts(*stich, editor);
    stich->breite = editor.breite();
    // The picture is kept at its size; cells get reduced copies.
    stich->di = editor.takePicture();
    // The stitch just made is the one the user wants to place next.
    doc.stichnr = std::int32_t(doc.stiche.count) - 1;
    SaveStiche();
    PaintBox2Paint();
}

void TMainForm::BitBtn2Click() {
    if (doc.stichnr < 0 || std::uint32_t(doc.stichnr) >= doc.stiche.count) {
        return;
    }
    TStichEditForm& editor = *windows_.StichEditForm;
    TStich& stich = *doc.stiche.GetObject(std::uint32_t(doc.stichnr));
    fillEditor(editor, stich);
    editor.setPicture(MakeDIBCopy(stich.di));
    if (editor.exec() != QDialog::Accepted) {
        return;
    }
    takeTexts(stich, editor);
    stich.breite = editor.breite();
    FreeDIB(stich.di);
    stich.di = editor.takePicture();
    const int limit = stich.breite * kMaxSymbolWidthPerCell;
    const int width = DIBWidth(stich.di);
    if (width > limit) {
        ResizeDIB(stich.di, limit, int(std::int64_t(DIBHeight(stich.di)) * limit / width), true);
    }
    SaveStiche();
    PaintBox2Paint();
}

void TMainForm::BitBtn3Click() {
    if (doc.stichnr < 0 || std::uint32_t(doc.stichnr) >= doc.stiche.count) {
        return;
    }
    if (askUser(MessageIcon::Question,
                QStringLiteral("Wollen Sie den markieren Stich wirklich löschen?"),
                QStringLiteral("Löschen")) != UserAnswer::Yes) {
        return;
    }
    doc.stiche.GetObject(std::uint32_t(doc.stichnr));
    doc.FreeAStich();
    doc.stiche.Delete(doc.stichnr);
    SaveStiche();
    PaintBox2Paint();
}

void TMainForm::BitBtn4Click() {
    if (doc.stichnr < 1 || std::uint32_t(doc.stichnr) > doc.stiche.count - 1) {
        return;
    }
    doc.stiche.Change(doc.stichnr, doc.stichnr - 1);
    --doc.stichnr;
    SaveStiche();
    PaintBox2Paint();
}

void TMainForm::BitBtn5Click() {
    if (doc.stichnr < 0 || std::int64_t(doc.stichnr) > std::int64_t(doc.stiche.count) - 2) {
        return;
    }
    doc.stiche.Change(doc.stichnr, doc.stichnr + 1);
    ++doc.stichnr;
    SaveStiche();
    PaintBox2Paint();
}

void TMainForm::Standardstichehinzufgen1Click() {
    const int added = standardstitches::addMissing(doc.stiche);
    if (added != 0) { // also after a shortage: the stitches added until then stay
        SaveStiche();
        PaintBox2Paint();
    }
    if (added < 0) {
        showUserMessage(MessageIcon::Error, QString::fromUtf16(kNotEnoughMemoryText));
        return;
    }
    showUserMessage(MessageIcon::Information,
                    added == 0 ? QStringLiteral("Die Bibliothek enthält schon alle Standardstiche.")
                    : added == 1
                        ? QStringLiteral("Ein Standardstich wurde hinzugefügt.")
                        : QStringLiteral("%1 Standardstiche wurden hinzugefügt.").arg(added));
}

void TMainForm::createPalette(QWidget* panel) {
    struct ButtonEntry {
        QPushButton** button;
        const char* name;
        const char* caption;
        void (TMainForm::*handler)();
    };
    const ButtonEntry entries[] = {
        {&BitBtn1, "BitBtn1", "Hinzufügen...", &TMainForm::BitBtn1Click},
        {&BitBtn2, "BitBtn2", "Bearbeiten...", &TMainForm::BitBtn2Click},
        {&BitBtn3, "BitBtn3", "Löschen", &TMainForm::BitBtn3Click},
        {&BitBtn4, "BitBtn4", "Hoch", &TMainForm::BitBtn4Click},
        {&BitBtn5, "BitBtn5", "Runter", &TMainForm::BitBtn5Click},
    };
    for (const ButtonEntry& e : entries) {
        auto* button = new QPushButton(QString::fromUtf8(e.caption), panel);
        button->setObjectName(QLatin1String(e.name));
        connect(button, &QPushButton::clicked, this, e.handler);
        *e.button = button;
    }
    PaintBox2 = new TPaintBox(QStringLiteral("PaintBox2"));
    PaintBox2->paint = [this](QPainter& painter, const QRect&) {
        StitchPalette::paint(painter, doc.stiche, doc.stichnr, doc.cellwh, PaintBox2->width(),
                             TabSheet2->FontDialog1, PaintBox2->logicalDpiX());
    };
    PaintBox2->mouseDown = [this](QMouseEvent* event) { PaintBox2MouseDown(event); };
    ScrollBox2->setWidget(PaintBox2);
}
