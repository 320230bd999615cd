#include "ValueDialog.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

QSpinBox* buildValueDialog(QDialog& dialog, const char* fieldName, const QString& label,
                           int minimum, int maximum, int value, const QString& okText,
                           QPushButton*& ok, QPushButton*& cancel) {
    auto* field = new QSpinBox(&dialog);
    field->setObjectName(QString::fromLatin1(fieldName));
    field->setRange(minimum, maximum);
    field->setValue(value);
    auto* caption = new QLabel(label, &dialog);
    caption->setBuddy(field);

    ok = new QPushButton(okText, &dialog);
    ok->setObjectName(QStringLiteral("OkBtn"));
    ok->setDefault(true);
    cancel = new QPushButton(QStringLiteral("A&bbrechen"), &dialog);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);

    auto* left = new QVBoxLayout;
    left->addWidget(caption);
    left->addWidget(field);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(ok);
    right->addWidget(cancel);
    right->addStretch();
    auto* layout = new QHBoxLayout(&dialog);
    layout->addLayout(left, 1);
    layout->addLayout(right);
    return field;
}
