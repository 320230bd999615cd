#include "TNeuForm.h"

#include "designer/ChartDocument.h"
#include "foundation/ui/DialogButtons.h"

#include <QComboBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QSpinBox* makeCountEdit(QWidget* parent, const char* name) {
    auto* edit = new QSpinBox(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setRange(1, kMaxChartLines);
    edit->setValue(10);
    return edit;
}

} // namespace

TNeuForm::TNeuForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("NeuForm"));
    setWindowTitle(QStringLiteral("Neues Projekt"));

    SpaltenEd = makeCountEdit(this, "SpaltenEd");
    ZeilenEd = makeCountEdit(this, "ZeilenEd");
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setMinimumContentsLength(20);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Spalten:"), SpaltenEd);
    form->addRow(QStringLiteral("Zeilen:"), ZeilenEd);
    form->addRow(QStringLiteral("Ausfüllen mit:"), ComboBox1);

    const DialogButtons buttons = makeDialogButtons(*this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons.row);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
