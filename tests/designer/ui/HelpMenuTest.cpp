// SPDX-License-Identifier: GPL-3.0-or-later
#include "foundation/ui/HelpMenu.h"

#include "ModalDialogs.h"
#include "TestSupport.h"
#include "designer/ui/ProgramWindows.h"
#include "designer/ui/TMainForm.h"
#include "editor/ui/TDIBMainForm.h"
#include "foundation/ProgramVersion.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

QStringList keysOf(const std::vector<helpmenu::Shortcut>& list) {
    QStringList keys;
    for (const helpmenu::Shortcut& s : list) {
        keys << s.keys.toString();
    }
    keys.sort();
    return keys;
}

// The shortcuts every action of the window carries, wherever it sits.
QStringList windowKeys(const QWidget& window) {
    QStringList keys;
    for (const QAction* action : window.findChildren<QAction*>()) {
        for (const QKeySequence& k : action->shortcuts()) {
            keys << k.toString();
        }
    }
    keys.sort();
    return keys;
}

// Triggers `action` and hands the dialog it opens to `check` before closing it.
void openFromMenu(QAction* action, const std::function<void(QDialog&)>& check) {
    bool seen = false;
    whenModalShows([&](QWidget* shown) {
        auto* dialog = qobject_cast<QDialog*>(shown);
        ASSERT_NE(dialog, nullptr);
        seen = true;
        check(*dialog);
        dialog->reject();
    });
    action->trigger();
    EXPECT_TRUE(seen) << action->text().toStdString();
}

} // namespace

// Both windows end their menu bar with "Hilfe"; its list of shortcuts is every shortcut the
// window's commands carry, read from the menus, and the about box names version, licence and
// the libraries with theirs.
TEST(HelpMenu, EndsBothMenuBarsWithTheWindowsShortcutsAndTheAboutBox) {
    MessageCapture messages;
    ProgramWindows windows;
    windows.create({QStringLiteral("tessaplan-designer")});
    const struct {
        QWidget* window;
        QMenuBar* bar;
        helpmenu::Shortcut sample;
    } cases[] = {
        {windows.MainForm.get(),
         windows.MainForm->menuBar(),
         // A command with two shortcuts is listed with each.
         {QStringLiteral("Bearbeiten → Wiederholen"),
          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}},
        {windows.DIBMainForm.get(),
         windows.DIBMainForm->MainMenu,
         {QStringLiteral("Bearbeiten → Einfügen → Als neue Auswahl"),
          QKeySequence(Qt::CTRL | Qt::Key_E)}},
    };
    for (const auto& c : cases) {
        const QList<QAction*> menus = c.bar->actions();
        ASSERT_FALSE(menus.isEmpty());
        QMenu* help = menus.last()->menu();
        ASSERT_NE(help, nullptr);
        EXPECT_EQ(help->title(), QStringLiteral("&Hilfe"));
        ASSERT_EQ(help->actions().size(), 2);
        EXPECT_EQ(help->actions().at(0)->text(), QStringLiteral("Tastenkürzel..."));
        EXPECT_EQ(help->actions().at(1)->text(), QStringLiteral("Über Tessaplan-Designer..."));

        const std::vector<helpmenu::Shortcut> list = helpmenu::shortcuts(*c.bar);
        EXPECT_EQ(keysOf(list), windowKeys(*c.window));
        EXPECT_NE(std::find(list.begin(), list.end(), c.sample), list.end())
            << c.sample.command.toStdString();

        openFromMenu(help->actions().at(0), [&](QDialog& dialog) {
            EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Tastenkürzel"));
            const auto* table = dialog.findChild<QTableWidget*>(QStringLiteral("ShortcutTable"));
            ASSERT_NE(table, nullptr);
            ASSERT_EQ(table->rowCount(), int(list.size()));
            for (int row = 0; row < table->rowCount(); ++row) {
                EXPECT_EQ(table->item(row, 0)->text(), list[std::size_t(row)].command);
                EXPECT_EQ(table->item(row, 1)->text(),
                          list[std::size_t(row)].keys.toString(QKeySequence::NativeText));
            }
        });
        openFromMenu(help->actions().at(1), [&](QDialog& dialog) {
            EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Über Tessaplan-Designer"));
            const QString about = dialog.findChild<QLabel*>(QStringLiteral("AboutText"))->text();
            EXPECT_TRUE(about.contains(
                QStringLiteral("Tessaplan-Designer %1").arg(QString::fromLatin1(kProgramVersion))));
            EXPECT_TRUE(about.contains(QStringLiteral("GPL-3.0-or-later")));
            const auto* table = dialog.findChild<QTableWidget*>(QStringLiteral("LibraryTable"));
            ASSERT_NE(table, nullptr);
            QStringList names;
            for (int row = 0; row < table->rowCount(); ++row) {
                names << table->item(row, 0)->text();
                EXPECT_TRUE(table->item(row, 1)->text().contains(
                    QRegularExpression(QStringLiteral("^\\d+\\.\\d+(\\.\\d+)?$"))))
                    << names.last().toStdString() << ' '
                    << table->item(row, 1)->text().toStdString();
                EXPECT_FALSE(table->item(row, 2)->text().isEmpty());
            }
            EXPECT_EQ(names, (QStringList{"Qt", "libjpeg-turbo", "libtiff", "giflib", "libpng",
                                          "zlib", "SANE"}));
            EXPECT_TRUE(dialog.findChild<QPlainTextEdit*>(QStringLiteral("LicenceText"))
                            ->toPlainText()
                            .trimmed()
                            .startsWith(QStringLiteral("GNU GENERAL PUBLIC LICENSE")));
        });
    }
}
