#include "DialogButtons.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

DialogButtons makeDialogButtons(QDialog& dialog, const QString& okText, const QString& cancelText,
                                bool acceptOnOk) {
    DialogButtons b;
    b.ok = new QPushButton(okText, &dialog);
    b.ok->setObjectName(QStringLiteral("OkBtn"));
    b.ok->setDefault(true);
    b.cancel = new QPushButton(cancelText, &dialog);
    b.cancel->setObjectName(QStringLiteral("CancelBtn"));
    if (acceptOnOk) {
        QObject::connect(b.ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    }
    QObject::connect(b.cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    b.row = new QHBoxLayout;
    b.row->addStretch(1);
    b.row->addWidget(b.ok);
    b.row->addWidget(b.cancel);
    return b;
}
