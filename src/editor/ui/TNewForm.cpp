#include "TNewForm.h"

#include "foundation/ui/DialogButtons.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

constexpr int kLargestSide = 32767;

QSpinBox* sideEdit(QWidget* parent, const char* name, int value) {
    auto* edit = new QSpinBox(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setRange(1, kLargestSide);
    edit->setValue(value);
    return edit;
}

} // namespace

TNewForm::TNewForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("NewForm"));
    setWindowTitle(QStringLiteral("Neues Bild"));
    auto* group = new QGroupBox(QStringLiteral("Bildgröße und Farbtiefe"), this);
    auto* fields = new QFormLayout(group);
    BreitEdit = sideEdit(group, "BreitEdit", Params{}.width);
    HochEdit = sideEdit(group, "HochEdit", Params{}.height);
    TiefeBox = new QComboBox(group);
    TiefeBox->setObjectName(QStringLiteral("TiefeBox"));
    TiefeBox->addItems({QStringLiteral("2 Bit - Schwarz/Weiß"), QStringLiteral("4 Bit - 16 Farben"),
                        QStringLiteral("8 Bit - 256 Farben"),
                        QStringLiteral("24 Bit - 16,7 Mio. Farben")});
    fields->addRow(QStringLiteral("Breite:"), BreitEdit);
    fields->addRow(QStringLiteral("Höhe:"), HochEdit);
    fields->addRow(QStringLiteral("Farbtiefe:"), TiefeBox);

    const DialogButtons buttonRow = makeDialogButtons(*this);
    OkBtn = buttonRow.ok;
    CancelBtn = buttonRow.cancel;
    auto* buttons = buttonRow.row;
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
}

TNewForm::Params TNewForm::params() const {
    return {BreitEdit->value(), HochEdit->value(), TiefeBox->currentIndex()};
}

void TNewForm::setParams(const Params& p) {
    BreitEdit->setValue(p.width);
    HochEdit->setValue(p.height);
    TiefeBox->setCurrentIndex(p.depthEntry);
}
