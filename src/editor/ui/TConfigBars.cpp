#include "TConfigBars.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TConfigBars::TConfigBars(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ConfigBars"));
    setWindowTitle(QStringLiteral("ConfigBars"));

    CheckList = new QListWidget(this);
    CheckList->setObjectName(QStringLiteral("CheckList"));
    for (const char* text :
         {"Standart Werkzeugleiste (Öffnen,...)", "Zeichenwerkzeugleiste", "Farbpalette"}) {
        auto* item = new QListWidgetItem(QString::fromUtf8(text), CheckList);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Checked);
    }
    CheckList->setCurrentRow(0);

    OkBtn = new QPushButton(QStringLiteral("OK"), this);
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    OkBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Abbrechen"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OkBtn);
    buttons->addWidget(CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CheckList);
    layout->addLayout(buttons);
    resize(280, 160);
}

void TConfigBars::setTicks(const Ticks& ticks) {
    for (int i = 0; i < BarCount; ++i) {
        CheckList->item(i)->setCheckState(ticks[std::size_t(i)] ? Qt::Checked : Qt::Unchecked);
    }
}

TConfigBars::Ticks TConfigBars::ticks() const {
    Ticks result{};
    for (int i = 0; i < BarCount; ++i) {
        result[std::size_t(i)] = CheckList->item(i)->checkState() == Qt::Checked;
    }
    return result;
}
