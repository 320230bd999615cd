#include "TFilterEditForm.h"

#include "foundation/ui/DialogButtons.h"

#include "foundation/UserMessage.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

namespace {

constexpr int kDivisorMin = 1;
constexpr int kDivisorMax = 255;

QSpinBox* unlimitedField(QWidget* parent, const QString& name) {
    auto* field = new QSpinBox(parent);
    field->setObjectName(name);
    field->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    field->setAlignment(Qt::AlignRight);
    return field;
}

} // namespace

TFilterEditForm::TFilterEditForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FilterEditForm"));
    setWindowTitle(QStringLiteral("Benutzerdefinierter Filter"));

    NameEdit = new QLineEdit(this);
    NameEdit->setObjectName(QStringLiteral("NameEdit"));
    NameEdit->setMaxLength(imageops::kFilterNameReadUnits);

    auto* grid = new QGridLayout;
    for (int k = 0; k < 25; ++k) {
        SpinEdit[std::size_t(k)] = unlimitedField(this, QStringLiteral("SpinEdit%1").arg(k));
        SpinEdit[std::size_t(k)]->setMinimumWidth(
            SpinEdit[std::size_t(k)]->fontMetrics().horizontalAdvance(QStringLiteral("-00000")) +
            24);
        grid->addWidget(SpinEdit[std::size_t(k)], k % 5, k / 5);
    }

    DivEdit = new QSpinBox(this);
    DivEdit->setObjectName(QStringLiteral("DivEdit"));
    DivEdit->setRange(kDivisorMin, kDivisorMax);
    DivEdit->setValue(1);
    DivEdit->setAlignment(Qt::AlignRight);
    BiasEdit = unlimitedField(this, QStringLiteral("BiasEdit"));
    BiasEdit->setValue(0);

    // OK checks the values before the dialog may close.
    const DialogButtons buttonRow =
        makeDialogButtons(*this, QStringLiteral("OK"), QStringLiteral("Abbrechen"), false);
    OkBtn = buttonRow.ok;
    CancelBtn = buttonRow.cancel;
    connect(OkBtn, &QPushButton::clicked, this, &TFilterEditForm::OkBtnClick);

    auto* values = new QFormLayout;
    values->addRow(QStringLiteral("Divisor:"), DivEdit);
    values->addRow(QStringLiteral("Verschiebung:"), BiasEdit);
    auto* buttons = buttonRow.row;

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Name des Filters:"), this));
    layout->addWidget(NameEdit);
    layout->addWidget(new QLabel(QStringLiteral("Filter Matrix:"), this));
    layout->addLayout(grid);
    layout->addLayout(values);
    layout->addLayout(buttons);
}

filtertype TFilterEditForm::filter() const {
    filtertype f;
    imageops::setFilterName(f, NameEdit->text());
    f.divisor = DivEdit->value();
    f.bias = BiasEdit->value();
    for (int k = 0; k < 25; ++k) {
        f.matrix[k] = SpinEdit[std::size_t(k)]->value();
    }
    return f;
}

void TFilterEditForm::setFilter(const filtertype& f) {
    NameEdit->setText(imageops::filterName(f));
    DivEdit->setRange(std::min(kDivisorMin, f.divisor), std::max(kDivisorMax, f.divisor));
    DivEdit->setValue(f.divisor);
    BiasEdit->setValue(f.bias);
    for (int k = 0; k < 25; ++k) {
        SpinEdit[std::size_t(k)]->setValue(f.matrix[k]);
    }
}

void TFilterEditForm::OkBtnClick() {
    const bool named = !NameEdit->text().isEmpty();
    const bool divisible = DivEdit->value() != 0;
    if (!named) {
        showUserMessage(MessageIcon::Error, QStringLiteral("Sie müssen einen Namen eingeben!"));
    }
    if (!divisible) {
        showUserMessage(MessageIcon::Error,
                        QStringLiteral("Die Division durch 0 ist nicht definiert!"));
    }
    if (named && divisible) {
        accept();
    }
}
