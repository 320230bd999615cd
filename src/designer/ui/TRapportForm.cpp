#include "TRapportForm.h"

#include "foundation/ui/DialogButtons.h"

#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

TRapportForm::TRapportForm(const ChartDocument& doc, QWidget* parent) : QDialog(parent), doc_(doc) {
    setObjectName(QStringLiteral("RapportForm"));
    setWindowTitle(QStringLiteral("Rapport wiederholen"));

    auto makeCount = [this](const char* name) {
        auto* box = new QSpinBox(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setRange(1, ChartDocument::kMaxRepeatCopies);
        box->setValue(1);
        box->setSuffix(QStringLiteral(" ×"));
        connect(box, &QSpinBox::valueChanged, this, &TRapportForm::showSize);
        return box;
    };
    AcrossEd = makeCount("AcrossEd");
    UpEd = makeCount("UpEd");

    SizeLabel = new QLabel(this);
    SizeLabel->setObjectName(QStringLiteral("SizeLabel"));
    SizeLabel->setWordWrap(true);

    const DialogButtons buttons = makeDialogButtons(*this);
    OkBtn = buttons.ok;

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Nebeneinander (Breite):"), AcrossEd);
    form->addRow(QStringLiteral("Übereinander (Höhe):"), UpEd);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(SizeLabel);
    layout->addStretch();
    layout->addLayout(buttons.row);
    setMinimumWidth(360);
    showSize();
}

int TRapportForm::across() const {
    return AcrossEd->value();
}

int TRapportForm::up() const {
    return UpEd->value();
}

void TRapportForm::showSize() {
    const ChartDocument::TiledSize size = doc_.tiledSize(across(), up());
    const bool allowed = size.allowed();
    OkBtn->setEnabled(allowed);
    if (allowed) {
        SizeLabel->setText(QStringLiteral("Die Tabelle wird %1 Maschen breit und %2 Reihen hoch.")
                               .arg(size.columns)
                               .arg(size.rows));
    } else {
        SizeLabel->setText(
            QStringLiteral("Die Tabelle würde %1 Maschen breit und %2 Reihen hoch; sie darf "
                           "höchstens %3 Maschen breit und %3 Reihen hoch werden.")
                .arg(size.columns)
                .arg(size.rows)
                .arg(kMaxChartLines));
    }
}
