// The buttons every dialog makes through one helper: where they stand, which one Enter
// presses, and what OK and cancel do to the dialog.
#include "foundation/ui/DialogButtons.h"

#include <QBoxLayout>
#include <QDialog>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

// The row's items from first to last: a button's name, "|" for fixed space, "~" for the free
// space.
QStringList itemsOf(const QBoxLayout& row) {
    QStringList items;
    for (int i = 0; i < row.count(); ++i) {
        QLayoutItem* item = row.itemAt(i);
        if (item->widget()) {
            items << item->widget()->objectName();
        } else {
            items << (item->expandingDirections() ? QStringLiteral("~") : QStringLiteral("|"));
        }
    }
    return items;
}

} // namespace

TEST(DialogButtons, PlacementsDefaultsAndResults) {
    struct Case {
        ButtonPlacement placement;
        bool onlyOkIsDefault;
        bool acceptOnOk;
        QStringList items;
    };
    const Case cases[] = {
        {ButtonPlacement::Right, false, true, {"~", "OkBtn", "CancelBtn", "Extra", "|", "More"}},
        {ButtonPlacement::Column, true, false, {"OkBtn", "CancelBtn", "Extra", "|", "More", "~"}},
        {ButtonPlacement::Apart, true, true, {"OkBtn", "Extra", "|", "More", "~", "CancelBtn"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.placement));
        QDialog dialog;
        DialogButtonsStyle style;
        style.placement = c.placement;
        style.onlyOkIsDefault = c.onlyOkIsDefault;
        style.acceptOnOk = c.acceptOnOk;
        const DialogButtons buttons = makeDialogButtons(dialog, style);
        QPushButton* extra = buttons.add(QStringLiteral("Noch"), QStringLiteral("Extra"));
        QPushButton* more = buttons.add(QStringLiteral("Mehr"), QStringLiteral("More"), 12);
        auto* layout = new QVBoxLayout(&dialog);
        layout->addLayout(buttons.row);
        EXPECT_EQ(itemsOf(*buttons.row), c.items);
        EXPECT_EQ(buttons.ok->text(), "OK");
        EXPECT_EQ(buttons.cancel->text(), "Abbrechen");
        EXPECT_TRUE(buttons.ok->isDefault());
        for (QPushButton* b : {buttons.cancel, extra, more}) {
            EXPECT_EQ(b->parent(), &dialog);
            EXPECT_FALSE(b->isDefault());
            EXPECT_EQ(b->autoDefault(), !c.onlyOkIsDefault);
        }
        buttons.ok->click();
        EXPECT_EQ(dialog.result(), c.acceptOnOk ? QDialog::Accepted : QDialog::Rejected);
        dialog.setResult(QDialog::Accepted);
        buttons.cancel->click();
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
}
