#include "TAddTextForm.h"

#include "TImagePaintBox.h"

#include "foundation/ui/DialogButtons.h"
#include "foundation/ui/PasteGuard.h"
#include "imageops/ui/FormStorage.h"

#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSettings>
#include <QVBoxLayout>

#include <cmath>

namespace {

const QString kFontKey = QStringLiteral("Formulare/AddTextForm/FontDialog1");

QFont defaultFont() {
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(21);
    return font;
}

// Points at 96 dots per inch, for a font given in pixels.
int pointsOf(const QFont& font) {
    if (font.pointSize() > 0) {
        return font.pointSize();
    }
    return int(std::lround(font.pixelSize() * 72.0 / 96.0));
}

// The memo's lines as a multi-line edit lists them: a final line break starts no line.
QStringList memoLines(const QString& text) {
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.size() > 1 && lines.back().isEmpty()) {
        lines.removeLast();
    }
    if (lines.size() == 1 && lines.front().isEmpty()) {
        return {};
    }
    return lines;
}

} // namespace

TAddTextForm::TAddTextForm(QWidget* parent) : QDialog(parent), font_(defaultFont()) {
    setObjectName(QStringLiteral("AddTextForm"));
    setWindowTitle(QStringLiteral("Text hinzufügen"));

    RxLabel3 = new QLabel(QStringLiteral("Gewählte Schriftart:"), this);
    FntLabel = new QLineEdit(this);
    FntLabel->setObjectName(QStringLiteral("FntLabel"));
    FntLabel->setReadOnly(true);
    SelFont = new QPushButton(QStringLiteral("Schriftart &wählen..."), this);
    SelFont->setObjectName(QStringLiteral("SelFont"));
    FontDialog1 = new QFontDialog(this);
    FontDialog1->setObjectName(QStringLiteral("FontDialog1"));

    RadioGroup1 = new QGroupBox(QStringLiteral("Ausrichtung"), this);
    Leftb = new QRadioButton(QStringLiteral("Linksbündig"), RadioGroup1);
    Leftb->setObjectName(QStringLiteral("Leftb"));
    Zentr = new QRadioButton(QStringLiteral("Zentriert"), RadioGroup1);
    Zentr->setObjectName(QStringLiteral("Zentr"));
    Rightb = new QRadioButton(QStringLiteral("Rechtsbündig"), RadioGroup1);
    Rightb->setObjectName(QStringLiteral("Rightb"));
    Leftb->setChecked(true);
    auto* alignment = new QVBoxLayout(RadioGroup1);
    alignment->addWidget(Leftb);
    alignment->addWidget(Zentr);
    alignment->addWidget(Rightb);

    RxLabel2 = new QLabel(QStringLiteral("Vorschau:"), this);
    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setFixedHeight(70);
    ScrollBox1->setBackgroundRole(QPalette::Base);
    FontPaintBox = new TImagePaintBox;
    FontPaintBox->setObjectName(QStringLiteral("FontPaintBox"));
    FontPaintBox->setAttribute(Qt::WA_OpaquePaintEvent, false);
    FontPaintBox->paint = [this](QPainter& painter, const QRect&) { FontPaintBoxPaint(painter); };
    ScrollBox1->setWidget(FontPaintBox);

    RxLabel1 = new QLabel(QStringLiteral("Hinzuzufügender Text:"), this);
    TxtMemo = new QPlainTextEdit(QStringLiteral("Test"), this);
    TxtMemo->setObjectName(QStringLiteral("TxtMemo"));
    PasteGuard::install(TxtMemo);
    connect(TxtMemo, &QPlainTextEdit::textChanged, this, &TAddTextForm::TxtMemoChange);

    const DialogButtons buttons =
        makeDialogButtons(*this, QStringLiteral("&OK"), QStringLiteral("A&bbrechen"));
    OkBtn = buttons.ok;
    CancelBtn = buttons.cancel;
    connect(SelFont, &QPushButton::clicked, this, &TAddTextForm::SelFontClick);

    auto* layout = new QGridLayout(this);
    layout->addWidget(RxLabel3, 0, 0);
    layout->addWidget(FntLabel, 1, 0);
    layout->addWidget(SelFont, 1, 1);
    layout->addWidget(RadioGroup1, 0, 2, 3, 1);
    layout->addWidget(RxLabel2, 2, 0);
    layout->addWidget(ScrollBox1, 3, 0, 1, 3);
    layout->addWidget(RxLabel1, 4, 0);
    layout->addWidget(TxtMemo, 5, 0, 1, 3);
    layout->addLayout(buttons.row, 6, 0, 1, 3);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Lines and alignment are remembered by the form storage; the font beside them.
    auto* storage = new FormStorage(this, {TxtMemo, Leftb, Zentr, Rightb});
    storage->restore();
    // Nothing stored yet (first use) keeps the default font.
    const QString storedFont = QSettings().value(kFontKey).toString();
    if (QFont stored; !storedFont.isEmpty() && stored.fromString(storedFont)) {
        font_ = stored;
    }
    connect(this, &QDialog::finished, this, [this] { storeFont(); });
    FormActivate();
}

void TAddTextForm::storeFont() const {
    QSettings().setValue(kFontKey, font_.toString());
}

void TAddTextForm::setChosenFont(const QFont& font) {
    font_ = font;
    FormActivate();
    FontPaintBox->update();
}

TextBlock TAddTextForm::textBlock() const {
    TextBlock block;
    block.lines = memoLines(TxtMemo->toPlainText());
    block.font = font_;
    block.alignment = Rightb->isChecked()  ? TextBlock::Alignment::Right
                      : Zentr->isChecked() ? TextBlock::Alignment::Centre
                                           : TextBlock::Alignment::Left;
    return block;
}

void TAddTextForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

void TAddTextForm::FormActivate() {
    FntLabel->setText(font_.family() + QStringLiteral(" ; Größe:") +
                      QString::number(pointsOf(font_)));
    const QSize size = textBlockSize({memoLines(TxtMemo->toPlainText()).mid(0, 1), font_, {}});
    FontPaintBox->resize(std::max(size.width() + 4, 10), std::max(size.height() + 4, 10));
}

void TAddTextForm::SelFontClick() {
    FontDialog1->setCurrentFont(font_);
    if (FontDialog1->exec() == QDialog::Accepted) {
        setChosenFont(FontDialog1->selectedFont());
    }
}

void TAddTextForm::FontPaintBoxPaint(QPainter& painter) {
    const QStringList lines = memoLines(TxtMemo->toPlainText());
    painter.fillRect(FontPaintBox->rect(), palette().base());
    if (lines.isEmpty()) {
        return;
    }
    QFont font = font_;
    font.setStyleStrategy(QFont::NoAntialias);
    painter.setFont(font);
    painter.setPen(palette().text().color());
    painter.drawText(0, QFontMetrics(font, FontPaintBox).ascent(), lines.front());
}

void TAddTextForm::TxtMemoChange() {
    FormActivate();
    FontPaintBox->update();
}
