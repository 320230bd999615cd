#pragma once

#include "foundation/dib.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class TDIBMainForm;
class TPaintBox;

// "Stich bearbeiten": edits the texts, the width and the symbol picture of one library stitch.
// One instance lives for the whole run; it owns the picture being edited.
class TStichEditForm : public QDialog {
    Q_OBJECT

public:
    explicit TStichEditForm(QWidget* parent = nullptr);
    ~TStichEditForm() override;

    void FormCreate();
    void PaintBox1Paint(QPainter& painter);
    void BitBtn2Click(); // "Bild laden..."
    // "Bild bearbeiten...": the picture goes to the image editor as a copy and comes back as
    // the editor shows it when it closes.
    void BitBtn3Click();

    // The image editor window "Bild bearbeiten..." hands the picture to; the button works only
    // once it is known.
    void setImageEditor(TDIBMainForm* editor);

    // Replaces the picture being edited (the old one is released).
    void setPicture(const dib& picture);
    // Hands the picture over to the caller; the form holds none afterwards.
    dib takePicture();
    // The width field's value; an empty field reads as 1.
    int breite() const;

    QLineEdit* Edit1;     // "Bezeichnung:"
    QLabel* Label2;       // "Abkürzung:", hidden
    QLineEdit* Edit2;     // abbreviation: carried along, hidden
    QLineEdit* Memo1;     // "Anweisungen für Hinreihe:"
    QLineEdit* Memo2;     // "Anweisungen für Rückreihe:"
    QSpinBox* BreiteEd;   // "Breite in Feldern:"
    QPushButton* BitBtn2; // "Bild laden..."
    QPushButton* BitBtn3; // "Bild bearbeiten..."
    TPaintBox* PaintBox1; // preview
    QPushButton* BitBtn1; // OK

    dib di; // the picture being edited

private:
    TDIBMainForm* imageEditor_ = nullptr;
};
