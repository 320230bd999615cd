#pragma once

#include "image/TextBlock.h"

#include <QDialog>
#include <QFont>

class QFontDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class TImagePaintBox;

// "Text hinzufügen": the text tool's dialog. The user types the lines, chooses a font and an
// alignment; the document renders the result (textBlock()) after OK. Font, lines and alignment
// are remembered between runs.
class TAddTextForm : public QDialog {
    Q_OBJECT

public:
    explicit TAddTextForm(QWidget* parent = nullptr);

    // The lines of TxtMemo, the chosen font and the checked alignment.
    TextBlock textBlock() const;
    // The font FontDialog1 holds (default Times New Roman, 21 pixels: 16 points at 96 dpi).
    const QFont& chosenFont() const { return font_; }
    void setChosenFont(const QFont& font);

    // FntLabel: "<family> ; Größe:<points>".
    void FormActivate();
    // Runs the font dialog; a confirmed font replaces the chosen one.
    void SelFontClick();
    // The first line of TxtMemo in the chosen font.
    void FontPaintBoxPaint(QPainter& painter);
    void TxtMemoChange();

    QLabel* RxLabel3 = nullptr;
    QLineEdit* FntLabel = nullptr;
    QPushButton* SelFont = nullptr;
    QFontDialog* FontDialog1 = nullptr;
    QGroupBox* RadioGroup1 = nullptr;
    QRadioButton* Leftb = nullptr;
    QRadioButton* Zentr = nullptr;
    QRadioButton* Rightb = nullptr;
    QLabel* RxLabel2 = nullptr;
    QScrollArea* ScrollBox1 = nullptr;
    TImagePaintBox* FontPaintBox = nullptr;
    QLabel* RxLabel1 = nullptr;
    QPlainTextEdit* TxtMemo = nullptr;
    QPushButton* OkBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void storeFont() const;

    QFont font_;
};
