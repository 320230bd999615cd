#include "TDepthDownForm.h"

#include "foundation/ui/DialogButtons.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

template <typename Button>
Button* makeButton(QWidget* parent, const char* name, const QString& text) {
    auto* button = new Button(text, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

QGroupBox* group(QWidget* parent, const QString& title, std::initializer_list<QWidget*> items) {
    auto* box = new QGroupBox(title, parent);
    auto* layout = new QVBoxLayout(box);
    for (QWidget* item : items) {
        item->setParent(box);
        layout->addWidget(item);
    }
    return box;
}

} // namespace

TDepthDownForm::TDepthDownForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("DepthDownForm"));
    setWindowTitle(QStringLiteral("Farbtiefe verkleinern..."));

    OptPalCheck =
        makeButton<QRadioButton>(this, "OptPalCheck", QStringLiteral("&Optimierte Palette"));
    StdPalCheck =
        makeButton<QRadioButton>(this, "StdPalCheck", QStringLiteral("&Standart-Palette"));
    NearCheck =
        makeButton<QRadioButton>(this, "NearCheck", QStringLiteral("Am besten &passenste Farbe"));
    DitherCheck = makeButton<QRadioButton>(this, "DitherCheck",
                                           QStringLiteral("&Dithering für Standart-Palette"));
    FSErrCheck = makeButton<QRadioButton>(this, "FSErrCheck",
                                          QStringLiteral("&Floyd-Steinberg Fehlerverteilung"));
    WinColCheck =
        makeButton<QCheckBox>(this, "WinColCheck", QStringLiteral("&Windows Farben einbinden"));

    const DialogButtons buttons = makeDialogButtons(*this);
    OkBtn = buttons.ok;
    AbbrechenBtn = buttons.cancel;
    AbbrechenBtn->setObjectName(QStringLiteral("AbbrechenBtn"));
    connect(OptPalCheck, &QRadioButton::clicked, this, &TDepthDownForm::PalCheckClick);
    connect(StdPalCheck, &QRadioButton::clicked, this, &TDepthDownForm::PalCheckClick);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group(this, QStringLiteral("Palette"), {OptPalCheck, StdPalCheck}));
    layout->addWidget(group(this, QStringLiteral("Methode"), {NearCheck, DitherCheck, FSErrCheck}));
    layout->addWidget(group(this, QStringLiteral("Optionen"), {WinColCheck}));
    layout->addLayout(buttons.row);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // Only now is each radio button in its group, exclusive of the others there.
    OptPalCheck->setChecked(true);
    FSErrCheck->setChecked(true);
    WinColCheck->setChecked(true);
    prepare(8);
}

void TDepthDownForm::prepare(int nbpp) {
    nbpp_ = nbpp;
    To256 = nbpp == 8;
    const bool choosePalette = nbpp != 1;
    OptPalCheck->setEnabled(choosePalette);
    StdPalCheck->setEnabled(choosePalette);
    NearCheck->setEnabled(true);
    FSErrCheck->setEnabled(true);
    PalCheckClick();
}

void TDepthDownForm::PalCheckClick() {
    DitherCheck->setEnabled(StdPalCheck->isChecked() && To256);
    WinColCheck->setEnabled(OptPalCheck->isChecked() && To256);
    if (!DitherCheck->isEnabled() && DitherCheck->isChecked()) {
        FSErrCheck->setChecked(true);
    }
}

imageops::DepthDownParams TDepthDownForm::params() const {
    imageops::DepthDownParams p;
    p.nbpp = nbpp_;
    p.method = DitherCheck->isChecked()  ? imageops::DepthMethod::OrderedDither
               : FSErrCheck->isChecked() ? imageops::DepthMethod::ErrorDiffusion
                                         : imageops::DepthMethod::Nearest;
    p.optimised = OptPalCheck->isChecked();
    p.windowsColours = WinColCheck->isChecked();
    p.colours = 1 << nbpp_;
    return p;
}

void TDepthDownForm::setParams(const imageops::DepthDownParams& params) {
    (params.optimised ? OptPalCheck : StdPalCheck)->setChecked(true);
    switch (params.method) {
    case imageops::DepthMethod::Nearest:
        NearCheck->setChecked(true);
        break;
    case imageops::DepthMethod::OrderedDither:
        DitherCheck->setChecked(true);
        break;
    default:
        FSErrCheck->setChecked(true);
        break;
    }
    WinColCheck->setChecked(params.windowsColours);
    prepare(params.nbpp);
}
