#include "TFreeDepthForm.h"

#include "FormStorage.h"
#include "foundation/ui/DialogButtons.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

constexpr int kFewest = 2;
constexpr int kFewestWithSystemColours = 22;
constexpr int kShownCount = 64;

} // namespace

TFreeDepthForm::TFreeDepthForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FreeDepthForm"));
    setWindowTitle(QStringLiteral("Farbtiefe verkleinern..."));

    auto* method = new QGroupBox(QStringLiteral("Methode"), this);
    NearCheck = new QRadioButton(QStringLiteral("Am besten &passenste Farbe"), method);
    NearCheck->setObjectName(QStringLiteral("NearCheck"));
    FSErrCheck = new QRadioButton(QStringLiteral("&Floyd-Steinberg Fehlerverteilung"), method);
    FSErrCheck->setObjectName(QStringLiteral("FSErrCheck"));
    FSErrCheck->setChecked(true);
    auto* methodLayout = new QVBoxLayout(method);
    methodLayout->addWidget(NearCheck);
    methodLayout->addWidget(FSErrCheck);

    auto* options = new QGroupBox(QStringLiteral("Optionen"), this);
    WinColCheck = new QCheckBox(QStringLiteral("&Windows Farben einbinden"), options);
    WinColCheck->setObjectName(QStringLiteral("WinColCheck"));
    WinColCheck->setChecked(true);
    (new QVBoxLayout(options))->addWidget(WinColCheck);

    auto* palette = new QGroupBox(QStringLiteral("Palette"), this);
    NumColEd = new QSpinBox(palette);
    NumColEd->setObjectName(QStringLiteral("NumColEd"));
    NumColEd->setRange(kFewest, 256);
    NumColEd->setValue(kShownCount);
    (new QFormLayout(palette))->addRow(QStringLiteral("Anzahl der Farben:"), NumColEd);

    const DialogButtons buttons = makeDialogButtons(*this);
    OkBtn = buttons.ok;
    AbbrechenBtn = buttons.cancel;
    AbbrechenBtn->setObjectName(QStringLiteral("AbbrechenBtn"));
    // Also when the stored state is put back.
    connect(WinColCheck, &QCheckBox::toggled, this, &TFreeDepthForm::WinColCheckClick);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(method);
    layout->addWidget(options);
    layout->addWidget(palette);
    layout->addLayout(buttons.row);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    new FormStorage(this, {NearCheck, FSErrCheck, WinColCheck});
    prepare(24);
}

void TFreeDepthForm::prepare(int sourceBits) {
    const bool fromEightBits = sourceBits == 8;
    NumColEd->setMaximum(fromEightBits ? 16 : 256);
    WinColCheck->setEnabled(!fromEightBits);
    WinColCheckClick();
}

void TFreeDepthForm::WinColCheckClick() {
    // A remembered tick stays in a disabled box; it must not raise the minimum above the
    // 16 colours an 8-bit picture can be given.
    const bool systemColours = WinColCheck->isChecked() && WinColCheck->isEnabled();
    NumColEd->setMinimum(systemColours ? kFewestWithSystemColours : kFewest);
}

imageops::DepthDownParams TFreeDepthForm::params() const {
    imageops::DepthDownParams p;
    p.nbpp = 0;
    p.method = FSErrCheck->isChecked() ? imageops::DepthMethod::ErrorDiffusion
                                       : imageops::DepthMethod::Nearest;
    p.optimised = true;
    p.windowsColours = WinColCheck->isChecked() && WinColCheck->isEnabled();
    p.colours = NumColEd->value();
    return p;
}

void TFreeDepthForm::setParams(const imageops::DepthDownParams& params) {
    (params.method == imageops::DepthMethod::Nearest ? NearCheck : FSErrCheck)->setChecked(true);
    WinColCheck->setChecked(params.windowsColours);
    WinColCheckClick();
    NumColEd->setValue(params.colours);
}

void TFreeDepthForm::showEvent(QShowEvent* event) {
    NumColEd->setValue(kShownCount);
    QDialog::showEvent(event);
}
