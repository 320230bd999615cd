// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QKeySequence>
#include <QString>

#include <vector>

class QDialog;
class QMenu;
class QMenuBar;
class QWidget;

// The menu "Hilfe" both windows end their menu bar with: the window's shortcuts, read from its
// menu bar when asked so that the list always shows what the menus hold, and the about box.
namespace helpmenu {

// A shortcut of a command: where the command is ("Datei → Speichern", without the marks of
// the menu letters) and its keys.
struct Shortcut {
    QString command;
    QKeySequence keys;
    bool operator==(const Shortcut&) const = default;
};

// Every shortcut of the commands under `bar`, in menu order; a command with two shortcuts
// gives two entries.
std::vector<Shortcut> shortcuts(const QMenuBar& bar);

// Appends "&Hilfe" with "Tastenkürzel..." and "Über Tessaplan-Designer..." to `bar`; the
// dialogs open over `window`.
QMenu* addHelpMenu(QMenuBar& bar, QWidget& window);

// The two dialogs, made for one showing (the menu shows them modally).
QDialog* makeShortcutsDialog(QWidget& window, const QMenuBar& bar);
QDialog* makeAboutDialog(QWidget& window);

} // namespace helpmenu
