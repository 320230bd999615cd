#include "TSettingsTab.h"

#include "designer/PageRenderer.h"
#include "editor/ui/ColourChoice.h"
#include "foundation/ui/DecimalSpinBox.h"
#include "foundation/ui/PasteGuard.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDoubleSpinBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

namespace {

QDoubleSpinBox* makeMillimetreEdit(QWidget* parent, const char* name, double minimum, double step) {
    auto* edit = new DecimalSpinBox(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setDecimals(2);
    edit->setRange(minimum, 100.0);
    edit->setSingleStep(step);
    return edit;
}

QCheckBox* makeCheck(QWidget* parent, const char* name, const QString& caption) {
    auto* check = new QCheckBox(caption, parent);
    check->setObjectName(QLatin1String(name));
    return check;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

// The installed face that draws `font`, in its size and style. The style goes by the face's
// own name for it: the font dialog otherwise opens a regular font on the face's first style,
// which may be oblique, and OK would keep that. Of equal styles the shortest name is the plain
// one ("Book" rather than "Condensed").
QFont fontAsDrawn(const PageFont& font) {
    QFont drawn(QFontInfo(font.font).family());
    drawn.setPointSize(std::max(1, font.pointSize()));
    drawn.setWeight(font.font.weight());
    drawn.setItalic(font.font.italic());
    drawn.setUnderline(font.font.underline());
    drawn.setStrikeOut(font.font.strikeOut());
    QString styleName;
    for (const QString& style : QFontDatabase::styles(drawn.family())) {
        const QFont face = QFontDatabase::font(drawn.family(), style, drawn.pointSize());
        if (face.weight() == drawn.weight() &&
            (face.style() != QFont::StyleNormal) == drawn.italic() &&
            (styleName.isEmpty() || style.size() < styleName.size())) {
            styleName = style;
        }
    }
    if (!styleName.isEmpty()) {
        drawn.setStyleName(styleName);
    }
    return drawn;
}

bool sameChoice(const QFont& a, const QFont& b) {
    return a.family().compare(b.family(), Qt::CaseInsensitive) == 0 &&
           a.pointSize() == b.pointSize() && a.weight() == b.weight() && a.italic() == b.italic() &&
           a.underline() == b.underline() && a.strikeOut() == b.strikeOut();
}

// The family field above the dialog's list of faces names the stored face where another one
// stands in for it.
void showStoredFamily(QFontDialog& dialog, const QString& stored, const QString& shown) {
    if (stored.compare(shown, Qt::CaseInsensitive) == 0) {
        return;
    }
    for (QLineEdit* field : dialog.findChildren<QLineEdit*>()) {
        if (field->isReadOnly() && field->text() == shown) {
            field->setText(stored);
            return;
        }
    }
}

// Qt's font dialog has no colour; a button beside its effects shows the font's colour and
// chooses another one into `colour`, and the sample text takes it.
void addColourChoice(QFontDialog& dialog, QColor& colour) {
    auto* button = new QPushButton(QStringLiteral("&Farbe..."));
    button->setObjectName(QStringLiteral("FontColorBtn"));
    // The sample is the text field inside a group; the names and the size stand outside.
    QLineEdit* sample = nullptr;
    for (QGroupBox* group : dialog.findChildren<QGroupBox*>()) {
        if (auto* field = group->findChild<QLineEdit*>()) {
            sample = field;
        }
    }
    auto showColour = [button, sample, &colour] {
        const int side = button->iconSize().height();
        QPixmap swatch(2 * side, side);
        swatch.fill(colour);
        button->setIcon(swatch);
        if (sample) {
            QPalette palette = sample->palette();
            palette.setColor(QPalette::Text, colour);
            sample->setPalette(palette);
        }
    };
    showColour();
    QObject::connect(button, &QPushButton::clicked, &dialog, [&dialog, &colour, showColour] {
        const std::unique_ptr<QColorDialog> colours(makeColourDialog(&dialog));
        if (const std::optional<QColor> chosen = chooseColour(colours.get(), colour)) {
            colour = *chosen;
            showColour();
        }
    });
    // The effects are the group with the check boxes for underline and strike-out.
    for (QGroupBox* group : dialog.findChildren<QGroupBox*>()) {
        if (group->layout() && !group->findChildren<QCheckBox*>().isEmpty()) {
            group->layout()->addWidget(button);
            return;
        }
    }
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        grid->addWidget(button, grid->rowCount(), 0);
    } else {
        button->setParent(&dialog);
    }
}

// Label above its control, as everywhere on this tab.
void addLabelled(QVBoxLayout* column, const QString& text, QWidget* control) {
    auto* label = new QLabel(text);
    label->setBuddy(control);
    column->addWidget(label);
    column->addWidget(control);
}

} // namespace

TSettingsTab::TSettingsTab(QWidget* parent) : QWidget(parent) {
    BreitEd = makeMillimetreEdit(this, "BreitEd", 1.0, 1.0);
    BreitLegendeEd = makeMillimetreEdit(this, "BreitLegendeEd", 1.0, 1.0);
    RandEd = makeMillimetreEdit(this, "RandEd", 0.0, 1.0);
    PenWidEd = makeMillimetreEdit(this, "PenWidEd", 0.0, 0.1);
    allerechtsCheck = makeCheck(this, "allerechtsCheck",
                                QStringLiteral("Alle Zeilennnummern auf der rechten Seite"));
    ErsteRechtsCheck =
        makeCheck(this, "ErsteRechtsCheck", QStringLiteral("Erste Zeile startet von rechts"));
    DontShowLinksEd =
        makeCheck(this, "DontShowLinksEd", QStringLiteral("Rückreihen nicht anzeigen"));
    FirstRowEd = new QSpinBox(this);
    FirstRowEd->setObjectName(QStringLiteral("FirstRowEd"));
    FirstRowEd->setRange(0, 1000);
    caped = new QLineEdit(this);
    caped->setObjectName(QStringLiteral("caped"));
    Memo2 = new QPlainTextEdit(this);
    Memo2->setObjectName(QStringLiteral("Memo2"));
    PasteGuard::install(Memo2);
    BitBtn6 =
        makeButton(this, "BitBtn6", QStringLiteral("Schriftart für Zeilen/Spaltennummern..."));
    BitBtn7 = makeButton(this, "BitBtn7", QStringLiteral("Schriftart für die Überschrift..."));
    BitBtn8 = makeButton(this, "BitBtn8", QStringLiteral("Schriftart für die Text..."));
    LegendeCheck = makeCheck(this, "LegendeCheck", QStringLiteral("Legende"));
    InstCheck =
        makeCheck(this, "InstCheck",
                  QStringLiteral("Instruktionen für Hinreihe und Rückreihe in der Legende"));
    TessaplanCheck = makeCheck(this, "TessaplanCheck", QStringLiteral("Tessaplan"));

    connect(BitBtn6, &QPushButton::clicked, this, &TSettingsTab::BitBtn6Click);
    connect(BitBtn7, &QPushButton::clicked, this, &TSettingsTab::BitBtn7Click);
    connect(BitBtn8, &QPushButton::clicked, this, &TSettingsTab::BitBtn8Click);

    auto* left = new QVBoxLayout;
    addLabelled(left, QStringLiteral("Breite der Kästchen in mm:"), BreitEd);
    addLabelled(left, QStringLiteral("Breite der Kästchen für die Legende in mm:"), BreitLegendeEd);
    left->addWidget(allerechtsCheck);
    left->addWidget(ErsteRechtsCheck);
    left->addWidget(DontShowLinksEd);
    addLabelled(left, QStringLiteral("Erste Zeilennummer:"), FirstRowEd);
    addLabelled(left, QStringLiteral("Überschrift:"), caped);
    addLabelled(left, QStringLiteral("Text unter der Tessaplan:"), Memo2);

    auto* rand = new QVBoxLayout;
    addLabelled(rand, QStringLiteral("Seitenrand in mm:"), RandEd);
    auto* penWid = new QVBoxLayout;
    addLabelled(penWid, QStringLiteral("Linienstärke in mm:"), PenWidEd);
    auto* sideBySide = new QHBoxLayout;
    sideBySide->addLayout(rand);
    sideBySide->addLayout(penWid);

    auto* right = new QVBoxLayout;
    right->addLayout(sideBySide);
    right->addSpacing(8);
    right->addWidget(BitBtn6);
    right->addWidget(BitBtn7);
    right->addWidget(BitBtn8);
    right->addSpacing(8);
    right->addWidget(LegendeCheck);
    right->addWidget(InstCheck);
    right->addWidget(TessaplanCheck);
    right->addStretch();

    auto* columns = new QHBoxLayout(this);
    columns->addLayout(left, 1);
    columns->addSpacing(16);
    columns->addLayout(right, 1);

    setSettings(PageSettings{});
}

PageSettings TSettingsTab::settings() const {
    PageSettings s;
    s.breitMm = BreitEd->value();
    s.breitLegendeMm = BreitLegendeEd->value();
    s.randMm = RandEd->value();
    s.penWidMm = PenWidEd->value();
    s.alleRechts = allerechtsCheck->isChecked();
    s.ersteRechts = ErsteRechtsCheck->isChecked();
    s.dontShowLinks = DontShowLinksEd->isChecked();
    s.firstRow = FirstRowEd->value();
    s.caption = caped->text();
    s.text = Memo2->toPlainText().replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    s.numberFont = FontDialog1;
    s.captionFont = FontDialog2;
    s.textFont = FontDialog3;
    s.legende = LegendeCheck->isChecked();
    s.inst = InstCheck->isChecked();
    s.tessaplan = TessaplanCheck->isChecked();
    return s;
}

void TSettingsTab::setSettings(const PageSettings& s) {
    BreitEd->setValue(s.breitMm);
    BreitLegendeEd->setValue(s.breitLegendeMm);
    RandEd->setValue(s.randMm);
    PenWidEd->setValue(s.penWidMm);
    allerechtsCheck->setChecked(s.alleRechts);
    ErsteRechtsCheck->setChecked(s.ersteRechts);
    DontShowLinksEd->setChecked(s.dontShowLinks);
    FirstRowEd->setValue(s.firstRow);
    // The text fields are only set when they change, which keeps their cursors where they are.
    if (caped->text() != s.caption) {
        caped->setText(s.caption);
    }
    QString text = s.text;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (Memo2->toPlainText() != text) {
        Memo2->setPlainText(text);
    }
    FontDialog1 = s.numberFont;
    FontDialog2 = s.captionFont;
    FontDialog3 = s.textFont;
    LegendeCheck->setChecked(s.legende);
    InstCheck->setChecked(s.inst);
    TessaplanCheck->setChecked(s.tessaplan);
}

void TSettingsTab::chooseFont(PageFont& font, const QString& title) {
    QString caption = title;
    caption.remove(QStringLiteral("..."));
    // A stored face that is not installed (Tahoma, mostly) is drawn by a similar one in the
    // stored size and style. The dialog cannot list the stored face, so it opens on the one
    // that draws it, with the stored size and style, and shows the stored name.
    const QFont shown = fontAsDrawn(font);
    QFontDialog dialog(this);
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    dialog.setWindowTitle(caption);
    dialog.setCurrentFont(shown);
    showStoredFamily(dialog, font.font.family(), shown.family());
    const QColor storedColour = fontColor(font);
    QColor colour = storedColour;
    addColourChoice(dialog, colour);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    // What did not change stays as stored: the face, size and style, and a system colour.
    const QFont chosen = dialog.selectedFont();
    const bool newFont = !sameChoice(chosen, shown);
    const bool newColour = colour.rgb() != storedColour.rgb();
    if (!newFont && !newColour) {
        return;
    }
    if (newFont) {
        font.font = chosen;
    }
    if (newColour) {
        font.color = fontColorValue(colour);
    }
    emit fontChanged();
}

void TSettingsTab::BitBtn6Click() {
    chooseFont(FontDialog1, BitBtn6->text());
}

void TSettingsTab::BitBtn7Click() {
    chooseFont(FontDialog2, BitBtn7->text());
}

void TSettingsTab::BitBtn8Click() {
    chooseFont(FontDialog3, BitBtn8->text());
}
