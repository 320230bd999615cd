#include "TJPEGQForm.h"

#include "foundation/ui/DialogButtons.h"

#include "imageops/ui/FormStorage.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

TJPEGQForm::TJPEGQForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("JPEGQForm"));
    setWindowTitle(QStringLiteral("JPEG-Speicherqualität setzen"));
    auto* text = new QLabel(QStringLiteral("Je stärker das Bild komprimiert wird, je geringer die "
                                           "Qualität und der Speicherverbrauch."),
                            this);
    text->setWordWrap(true);

    auto* group = new QGroupBox(QStringLiteral("Qualität"), this);
    auto* grid = new QGridLayout(group);
    grid->addWidget(new QLabel(QStringLiteral("Voreinstellung: 75"), group), 0, 0, 1, 3);
    QualED1 = new QSlider(Qt::Horizontal, group);
    QualED1->setObjectName(QStringLiteral("QualED1"));
    QualED1->setRange(1, 99);
    QualED1->setValue(kDefaultQuality);
    QualED1->setTickPosition(QSlider::TicksBelow);
    QualED1->setTickInterval(10);
    grid->addWidget(new QLabel(QStringLiteral("Niedrige Qualität"), group), 1, 0);
    grid->addWidget(QualED1, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Hohe Qualität"), group), 1, 2);
    QualEd2 = new QSpinBox(group);
    QualEd2->setObjectName(QStringLiteral("QualEd2"));
    QualEd2->setRange(1, 99);
    QualEd2->setValue(kDefaultQuality);
    auto* number = new QHBoxLayout;
    number->addWidget(new QLabel(QStringLiteral("Als Zahl:"), group));
    number->addWidget(QualEd2);
    number->addStretch(1);
    grid->addLayout(number, 2, 0, 1, 3);

    const DialogButtons buttonRow = makeDialogButtons(*this);
    OkBtn = buttonRow.ok;
    CancelBtn = buttonRow.cancel;
    auto* buttons = buttonRow.row;

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(group);
    layout->addLayout(buttons);

    connect(QualED1, &QSlider::valueChanged, this, &TJPEGQForm::QualED1Change);
    connect(QualEd2, &QSpinBox::valueChanged, this, &TJPEGQForm::QualED2Change);
    auto* storage = new FormStorage(this, {QualED1});
    storage->restore();
}

int TJPEGQForm::quality() const {
    return QualED1->value();
}

void TJPEGQForm::QualED1Change(int value) {
    if (QualEd2->value() != value) {
        QualEd2->setValue(value);
    }
}

void TJPEGQForm::QualED2Change(int value) {
    if (QualED1->value() != value) {
        QualED1->setValue(value);
    }
}
