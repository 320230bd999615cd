// SPDX-License-Identifier: GPL-3.0-or-later
#include "HelpMenu.h"

#include "foundation/LinkedLibraries.h"
#include "foundation/ProgramVersion.h"
#include "foundation/scanner/Scanner.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace helpmenu {

namespace {

const QString kAboutTitle = QStringLiteral("Über Tessaplan-Designer");

// A menu caption as it reads: "Ö&ffnen..." is "Öffnen...", "&&" an ampersand.
QString plain(const QString& caption) {
    QString text;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == QLatin1Char('&') && i + 1 < caption.size()) {
            ++i;
        }
        text += caption.at(i);
    }
    return text;
}

void collect(const QList<QAction*>& actions, const QString& path, std::vector<Shortcut>& out) {
    for (QAction* action : actions) {
        if (action->isSeparator()) {
            continue;
        }
        const QString command =
            (path.isEmpty() ? QString() : path + QStringLiteral(" → ")) + plain(action->text());
        if (action->menu()) {
            collect(action->menu()->actions(), command, out);
            continue;
        }
        for (const QKeySequence& keys : action->shortcuts()) {
            out.push_back({command, keys});
        }
    }
}

QTableWidget* makeTable(QWidget* parent, const QStringList& headers) {
    auto* table = new QTableWidget(0, int(headers.size()), parent);
    table->setHorizontalHeaderLabels(headers);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setAlternatingRowColors(true);
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

void addRow(QTableWidget* table, const QStringList& cells) {
    const int row = table->rowCount();
    table->insertRow(row);
    for (int column = 0; column < cells.size(); ++column) {
        table->setItem(row, column, new QTableWidgetItem(cells.at(column)));
    }
}

// A dialog with `content` above a close button.
QDialog* makeDialog(QWidget& window, const QString& title, QWidget* content, QSize size) {
    auto* dialog = new QDialog(&window);
    dialog->setWindowTitle(title);
    auto* layout = new QVBoxLayout(dialog);
    content->setParent(dialog);
    layout->addWidget(content, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Schließen"));
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog->resize(size);
    return dialog;
}

void showModal(QDialog* dialog) {
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->exec();
}

} // namespace

std::vector<Shortcut> shortcuts(const QMenuBar& bar) {
    std::vector<Shortcut> list;
    collect(bar.actions(), {}, list);
    return list;
}

QMenu* addHelpMenu(QMenuBar& bar, QWidget& window) {
    QMenu* menu = bar.addMenu(QStringLiteral("&Hilfe"));
    menu->setObjectName(QStringLiteral("Hilfe1"));
    menu->addAction(QStringLiteral("Tastenkürzel..."), &window,
                    [&window, &bar] { showModal(makeShortcutsDialog(window, bar)); });
    menu->addAction(kAboutTitle + QStringLiteral("..."), &window,
                    [&window] { showModal(makeAboutDialog(window)); });
    return menu;
}

QDialog* makeShortcutsDialog(QWidget& window, const QMenuBar& bar) {
    QTableWidget* table = makeTable(nullptr, {QStringLiteral("Befehl"), QStringLiteral("Tasten")});
    table->setObjectName(QStringLiteral("ShortcutTable"));
    for (const Shortcut& s : shortcuts(bar)) {
        addRow(table, {s.command, s.keys.toString(QKeySequence::NativeText)});
    }
    table->resizeColumnsToContents();
    return makeDialog(window, QStringLiteral("Tastenkürzel"), table, QSize(520, 480));
}

QDialog* makeAboutDialog(QWidget& window) {
    auto* tabs = new QTabWidget;

    auto* program = new QLabel(
        QStringLiteral(
            "<h3>Tessaplan-Designer %1</h3>"
            "<p>Strickschriften entwerfen, mit eigener Stichbibliothek und Bildbearbeitung "
            "für die Symbole.</p>"
            "<p>Copyright © 2026 Orvenal</p>"
            "<p>Dieses Programm ist freie Software: Sie können es unter den Bedingungen der GNU "
            "General Public License, wie von der Free Software Foundation veröffentlicht, "
            "weitergeben und/oder ändern, entweder gemäß Version 3 der Lizenz oder (nach Ihrer "
            "Wahl) jeder späteren Version (GPL-3.0-or-later).</p>"
            "<p>Es wird in der Hoffnung verbreitet, dass es nützlich sein wird, aber OHNE JEDE "
            "GEWÄHRLEISTUNG, sogar ohne die implizite Gewährleistung der MARKTFÄHIGKEIT oder "
            "EIGNUNG FÜR EINEN BESTIMMTEN ZWECK. Einzelheiten stehen in der Lizenz.</p>")
            .arg(QString::fromLatin1(kProgramVersion)));
    program->setObjectName(QStringLiteral("AboutText"));
    program->setWordWrap(true);
    program->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    program->setTextInteractionFlags(Qt::TextSelectableByMouse);
    program->setContentsMargins(12, 12, 12, 12);
    tabs->addTab(program, QStringLiteral("Programm"));

    QTableWidget* libraries = makeTable(
        tabs, {QStringLiteral("Bibliothek"), QStringLiteral("Version"), QStringLiteral("Lizenz")});
    libraries->setObjectName(QStringLiteral("LibraryTable"));
    for (const LinkedLibrary& library : linkedLibraries()) {
        addRow(libraries, {library.name, library.version, library.licence});
    }
    const QString sane = scanner::libraryVersion();
    addRow(libraries,
           {QStringLiteral("SANE"), sane.isEmpty() ? QStringLiteral("nicht verfügbar") : sane,
            QStringLiteral("GPL-2.0-or-later mit der SANE-Ausnahme für Programme")});
    libraries->resizeColumnsToContents();
    tabs->addTab(libraries, QStringLiteral("Bibliotheken"));

    auto* licence = new QPlainTextEdit(tabs);
    licence->setObjectName(QStringLiteral("LicenceText"));
    licence->setReadOnly(true);
    licence->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFile text(QStringLiteral(":/tessaplan/LICENSE"));
    if (text.open(QIODevice::ReadOnly)) {
        licence->setPlainText(QString::fromUtf8(text.readAll()));
    }
    tabs->addTab(licence, QStringLiteral("Lizenz"));

    return makeDialog(window, kAboutTitle, tabs, QSize(600, 480));
}

} // namespace helpmenu
