#include "ParamFormBase.h"

#include "foundation/ui/DecimalSpinBox.h"
#include "foundation/ui/DialogButtons.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

ParamFormBase::ParamFormBase(const QString& objectName, const QString& caption, QWidget* parent)
    : QDialog(parent) {
    setObjectName(objectName);
    setWindowTitle(caption);

    const DialogButtons buttons =
        makeDialogButtons(*this, {.okText = QStringLiteral("&OK"),
                                  .cancelText = QStringLiteral("A&bbrechen"),
                                  .okName = QStringLiteral("OkBitBtn1"),
                                  .cancelName = QStringLiteral("AbbrechenBitBtn2"),
                                  .placement = ButtonPlacement::Column,
                                  .onlyOkIsDefault = true});
    OkBitBtn1 = buttons.ok;
    AbbrechenBitBtn2 = buttons.cancel;

    controls_ = new QVBoxLayout;
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(controls_, 1);
    layout->addLayout(buttons.row);
}

namespace formcontrols {

QSpinBox* spinEdit(QWidget* parent, const char* name, int minimum, int maximum, int value) {
    auto* edit = new QSpinBox(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setRange(minimum, maximum);
    edit->setValue(value);
    edit->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    return edit;
}

QDoubleSpinBox* floatSpinEdit(QWidget* parent, const char* name, double minimum, double maximum,
                              double step, double value) {
    // "2,5" and "2.5" alike, as everywhere in the program.
    auto* edit = new DecimalSpinBox(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setDecimals(2);
    edit->setRange(minimum, maximum);
    edit->setSingleStep(step);
    edit->setValue(value);
    edit->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    return edit;
}

QComboBox* effectColourBox(QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QStringLiteral("ColorBox"));
    box->addItems({QStringLiteral("Vordergrundfarbe"), QStringLiteral("Hintergrundfarbe"),
                   QStringLiteral("Schwarz"), QStringLiteral("Weiß"), QStringLiteral("Rot"),
                   QStringLiteral("Grün"), QStringLiteral("Blau")});
    return box;
}

} // namespace formcontrols
