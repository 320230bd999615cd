#include "TAufloesungForm.h"

#include "designer/ChartOutput.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

TAufloesungForm::TAufloesungForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AufloesungForm"));
    setWindowTitle(QStringLiteral("Export Auflösung"));

    auto* label = new QLabel(QStringLiteral("Auflösung in DPI:"), this);
    DPIEd = new QSpinBox(this);
    DPIEd->setObjectName(QStringLiteral("DPIEd"));
    DPIEd->setRange(ChartOutput::kMinExportDpi, ChartOutput::kMaxExportDpi);
    DPIEd->setValue(10);
    label->setBuddy(DPIEd);

    auto* separator = new QFrame(this);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);

    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(BitBtn1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(DPIEd);
    layout->addStretch();
    layout->addWidget(separator);
    layout->addLayout(buttonRow);
    setFixedSize(257, 166);
}
