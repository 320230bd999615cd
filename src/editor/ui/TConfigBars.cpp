#include "TConfigBars.h"

#include "foundation/ui/DialogButtons.h"

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

    const DialogButtons buttonRow = makeDialogButtons(*this);
    OkBtn = buttonRow.ok;
    CancelBtn = buttonRow.cancel;
    auto* buttons = buttonRow.row;
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
