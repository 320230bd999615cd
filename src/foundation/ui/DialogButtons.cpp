#include "DialogButtons.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPushButton* makeButton(QDialog* dialog, const QString& text, const QString& name,
                        bool onlyOkIsDefault) {
    auto* button = new QPushButton(text, dialog);
    button->setObjectName(name);
    if (onlyOkIsDefault) {
        button->setAutoDefault(false);
    }
    return button;
}

} // namespace

DialogButtons makeDialogButtons(QDialog& dialog, const DialogButtonsStyle& style) {
    DialogButtons b;
    b.dialog = &dialog;
    b.onlyOkIsDefault = style.onlyOkIsDefault;
    b.ok = makeButton(&dialog, style.okText, style.okName, style.onlyOkIsDefault);
    b.ok->setDefault(true);
    b.cancel = makeButton(&dialog, style.cancelText, style.cancelName, style.onlyOkIsDefault);
    if (style.acceptOnOk) {
        QObject::connect(b.ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    }
    QObject::connect(b.cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    switch (style.placement) {
    case ButtonPlacement::Right:
        b.row = new QHBoxLayout;
        b.row->addStretch(1);
        b.row->addWidget(b.ok);
        b.row->addWidget(b.cancel);
        break;
    case ButtonPlacement::Column:
        b.row = new QVBoxLayout;
        b.row->addWidget(b.ok);
        b.row->addWidget(b.cancel);
        b.row->addStretch(1);
        b.addBefore = b.row->itemAt(2);
        break;
    case ButtonPlacement::Apart:
        b.row = new QHBoxLayout;
        b.row->addWidget(b.ok);
        b.row->addStretch(1);
        b.row->addWidget(b.cancel);
        b.addBefore = b.row->itemAt(1);
        break;
    }
    return b;
}

DialogButtons makeDialogButtons(QDialog& dialog, const QString& okText, const QString& cancelText,
                                bool acceptOnOk) {
    DialogButtonsStyle style;
    style.okText = okText;
    style.cancelText = cancelText;
    style.acceptOnOk = acceptOnOk;
    return makeDialogButtons(dialog, style);
}

QPushButton* DialogButtons::add(const QString& text, const QString& name, int spaceBefore) const {
    QPushButton* button = makeButton(dialog, text, name, onlyOkIsDefault);
    int at = addBefore ? row->indexOf(addBefore) : row->count();
    if (spaceBefore > 0) {
        row->insertSpacing(at++, spaceBefore);
    }
    row->insertWidget(at, button);
    return button;
}
