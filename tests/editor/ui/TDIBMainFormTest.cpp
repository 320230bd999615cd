#include "editor/ui/TDIBMainForm.h"
#include "editor/ui/TGradientCaption.h"
#include "foundation/ui/TPaintBox.h"
#include "image/ImageDocument.h"
#include "image/ui/TMDIChild.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QRegularExpression>
#include <QScrollArea>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

using menustate::Command;

namespace {

// Every command of the window: menu items, the entries that open submenus, buttons.
QList<QObject*> commandTargets(const TDIBMainForm& form) {
    QList<QObject*> targets;
    for (QAction* a : form.findChildren<QAction*>()) {
        if (!a->objectName().isEmpty()) {
            targets << a;
        }
    }
    for (QToolButton* b : form.SpeedPanel->findChildren<QToolButton*>()) {
        targets << b;
    }
    return targets;
}

bool isEnabled(QObject* target) {
    if (auto* a = qobject_cast<QAction*>(target)) {
        return a->isEnabled();
    }
    return qobject_cast<QWidget*>(target)->isEnabled();
}

} // namespace

TEST(DIBMainForm, RegionsSitWhereTheyBelongWithTheCaptionInBothPlaces) {
    TDIBMainForm form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Bild bearbeiten - NONAME [1:1]"));
    EXPECT_EQ(form.GradientCaption->text(), form.windowTitle());
    form.setCaption(QStringLiteral("Bild bearbeiten - X [1:1]"));
    EXPECT_EQ(form.GradientCaption->text(), form.windowTitle());

    form.resize(640, 480);
    form.show();
    QApplication::processEvents();
    EXPECT_EQ(form.SpeedPanel->height(), 24);
    EXPECT_EQ(form.SpeedBar1->width(), 24);
    EXPECT_EQ(form.SpeedBar2->height(), 18);
    EXPECT_EQ(form.ShowProzent->geometry(), form.SpeedBar2->rect());
    EXPECT_GE(form.Panel1->width(), TDIBMainForm::kPanel1Width);
    // Each option list shows its entry whole ("Einheitliche Farbe", "Rechteckiges Gefälle").
    for (QComboBox* list : form.PageControl1->findChildren<QComboBox*>()) {
        for (int i = 0; i < list->count(); ++i) {
            list->setCurrentIndex(i);
            EXPECT_GE(list->width(), list->sizeHint().width()) << list->currentText().toStdString();
            EXPECT_LE(list->geometry().right(), form.PageControl1->width());
        }
    }
    EXPECT_EQ(form.statusBar(), form.StatusBar);
    EXPECT_EQ(form.StatusBar->findChild<QLabel*>(QStringLiteral("StatusPanel0"))->width(), 250);
    EXPECT_EQ(form.StatusBar->findChild<QLabel*>(QStringLiteral("StatusPanel1"))->width(), 320);
    // Left to right: tools, the document's place, options and colours; the progress bar spans
    // the whole width under them.
    const QRect client = form.ClientArea->geometry();
    EXPECT_EQ(form.SpeedBar1->geometry().right() + 1, client.left());
    EXPECT_EQ(client.right() + 1, form.Panel1->geometry().left());
    EXPECT_EQ(form.Panel1->geometry().right() + 1, form.centralWidget()->width());
    EXPECT_EQ(form.SpeedBar2->width(), form.centralWidget()->width());
    EXPECT_LT(form.Panel3->geometry().bottom(), form.RightSidePanel->geometry().top());
    EXPECT_EQ(form.Panel2->parentWidget(), form.RightSidePanel);
    EXPECT_EQ(form.PalScrollBox->widget(), static_cast<QWidget*>(form.PalPaintBox));
    // The document fills the place between the bars.
    EXPECT_EQ(form.MDIChild1->parentWidget(), form.ClientArea);
    EXPECT_EQ(form.MDIChild1->geometry(), form.ClientArea->rect());
}

TEST(DIBMainForm, CommandsAreNamedOnceAndShareNoShortcut) {
    TDIBMainForm form;
    QMap<QString, int> names;
    QMap<QString, QString> shortcuts;
    for (QObject* target : commandTargets(form)) {
        ++names[target->objectName()];
        if (auto* a = qobject_cast<QAction*>(target); a && !a->shortcut().isEmpty()) {
            const QString keys = a->shortcut().toString(QKeySequence::PortableText);
            EXPECT_FALSE(shortcuts.contains(keys))
                << keys.toStdString() << " on " << a->objectName().toStdString() << " and "
                << shortcuts.value(keys).toStdString();
            shortcuts[keys] = a->objectName();
        }
    }
    for (auto it = names.cbegin(); it != names.cend(); ++it) {
        EXPECT_EQ(it.value(), 1) << it.key().toStdString();
    }
    // Every command the menu state rules is found, and the table is complete: 6 menus,
    // 9 + 9 + 34 + 35 + 25 + 5 entries (submenus and zoom items included), 8 buttons.
    for (int i = 0; i < menustate::kCommandCount; ++i) {
        EXPECT_TRUE(names.contains(QLatin1String(menustate::commandName(Command(i)))))
            << menustate::commandName(Command(i));
    }
    EXPECT_EQ(names.size(), 6 + 9 + 9 + 34 + 35 + 25 + 5 + 8);
    EXPECT_EQ(form.File1->title(), QStringLiteral("&Datei"));
    EXPECT_EQ(form.File1->menuAction()->statusTip(), QStringLiteral("Dateibefehle"));
    const auto* saveAs = form.findChild<QAction*>(QStringLiteral("FileSaveAsItem"));
    EXPECT_EQ(saveAs->shortcut(), QKeySequence(Qt::Key_F12));
    const auto* paste = form.findChild<QAction*>(QStringLiteral("AlstransparenteAuswahl1"));
    EXPECT_EQ(paste->shortcut(), QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_E));
    EXPECT_EQ(form.findChild<QAction*>(QStringLiteral("N1611"))->text(), QStringLiteral("16:1"));
    EXPECT_EQ(form.findChild<QAction*>(QStringLiteral("N191"))->text(), QStringLiteral("1:&9"));
    EXPECT_EQ(form.findChild<QAction*>(QStringLiteral("N1112"))->text(), QStringLiteral("1:11"));
}

TEST(DIBMainForm, OnlyCommandsWithAnOperationCanBeChosen) {
    TDIBMainForm form;
    // The white start picture at 1:1, without selection or undo step: closing, the bars dialog,
    // the zoom steps, selecting, the depth changes, files, scanning, the clipboard, printing and
    // the image and colour commands for true colour work; the rest waits for the document's
    // state (undo) or for a palette (the palette files).
    QStringList working = {"FileExitItem",
                           "ToolButton8",
                           "Toolbars1",
                           "Allesauswhlen1",
                           "Auswahlumkeheren1",
                           "N2Farbent1Bit1",
                           "N16Farbent4Bit1",
                           "N256Farbent8Bit1",
                           "XFarben4Bit8Bit1",
                           "N16Farbent4Bit2",
                           "N256Farbent8Bit2",
                           "N16MillionenFarbent24Bit1",
                           "FileNewItem",
                           "FileOpenItem",
                           "FileSaveItem",
                           "FileSaveAsItem",
                           "Bildscannen1",
                           "Scannerauswhlne1",
                           "CutItem",
                           "CopyItem",
                           "Lschen1",
                           "ToolButton1",
                           "ToolButton2",
                           "SaveSpeedBtn",
                           "CutSpeedBtn",
                           "CopySpeedBtn",
                           "AlsBild1",
                           "AlsAuswahl1",
                           "AlstransparenteAuswahl1",
                           "Druckereinrichten1",
                           "Drucken1",
                           "PaletteladenBildanpassen1",
                           "BenutzteFarbenzhlen1"};
    for (QMenu* menu : {form.Bild1, form.findChild<QMenu*>(QStringLiteral("Anpassen1"))}) {
        for (QAction* a : menu->findChildren<QAction*>()) {
            if (!a->objectName().isEmpty()) {
                working << a->objectName();
            }
        }
    }
    working << QStringList{"Colorieren1",     "Graustufen1",      "HistogramFunktionen1",
                           "Farbenumkehren1", "Tiefebeschrnken1", "Solarisieren1"};
    // The paste submenu and button follow the clipboard.
    QGuiApplication::clipboard()->clear();
    QApplication::processEvents();
    const QRegularExpression zoomStep(QStringLiteral("^N\\d+$")); // N211 ... N1611, N121 ...
    for (QObject* target : commandTargets(form)) {
        const QString name = target->objectName();
        auto* action = qobject_cast<QAction*>(target);
        if (action && action->menu()) {
            continue; // menus only open
        }
        if (name == QStringLiteral("Zwischenablagelschen1")) {
            continue; // follows the clipboard, below
        }
        EXPECT_EQ(isEnabled(target), working.contains(name) || zoomStep.match(name).hasMatch())
            << name.toStdString();
    }
    // The menus themselves follow the menu state.
    EXPECT_TRUE(form.Bild1->menuAction()->isEnabled());
    EXPECT_TRUE(form.SaveSpeedBtn->isEnabled());
}

TEST(DIBMainForm, TheClipboardWatcherEnablesPastingAndClearingEmptiesIt) {
    TDIBMainForm form;
    QClipboard* clipboard = QGuiApplication::clipboard();
    auto* clear = form.findChild<QAction*>(QStringLiteral("Zwischenablagelschen1"));
    auto* paste = form.findChild<QAction*>(QStringLiteral("PasteItem"));
    clipboard->clear();
    QApplication::processEvents();
    EXPECT_FALSE(clear->isEnabled());
    EXPECT_FALSE(paste->isEnabled());

    QImage picture(4, 3, QImage::Format_RGB32);
    picture.fill(Qt::red);
    clipboard->setImage(picture);
    QApplication::processEvents();
    EXPECT_TRUE(clear->isEnabled());
    EXPECT_TRUE(paste->isEnabled());
    EXPECT_TRUE(form.commandEnabled(Command::PasteSpeedBtn));
    EXPECT_TRUE(form.PasteSpeedBtn->isEnabled());

    auto* text = new QMimeData;
    text->setText(QStringLiteral("kein Bild"));
    clipboard->setMimeData(text);
    QApplication::processEvents();
    EXPECT_FALSE(clear->isEnabled());

    clipboard->setImage(picture);
    QApplication::processEvents();
    clear->trigger();
    QApplication::processEvents();
    const QMimeData* left = clipboard->mimeData();
    EXPECT_TRUE(!left || !left->hasImage());
    EXPECT_FALSE(clear->isEnabled());
    EXPECT_FALSE(paste->isEnabled());
}

TEST(DIBMainForm, HintsGoToPanelZeroAndTheBareSurfaceSaysThereIsNoImage) {
    TDIBMainForm form;
    QStatusTipEvent tip(form.FillBtn->statusTip());
    QApplication::sendEvent(form.FillBtn, &tip);
    EXPECT_EQ(form.statusText(0), QStringLiteral("Farbeimer: füllt einen Bereich aus"));
    auto* item = form.findChild<QAction*>(QStringLiteral("Graustufen1"));
    item->showStatusText(form.MainMenu); // menus report through their menu bar
    EXPECT_EQ(form.statusText(0), QStringLiteral("Nimmt einem farbiges Bild die Farbe"));
    QStatusTipEvent leave{QString()};
    QApplication::sendEvent(form.FillBtn, &leave);
    EXPECT_EQ(form.statusText(0), QString());

    // The start picture is described from the beginning, not only after the first mouse move.
    EXPECT_EQ(form.statusText(1), form.doc().imageSummary());
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(form.ClientArea, &move);
    EXPECT_EQ(form.statusText(1), QStringLiteral("Bild: keins"));
}

TEST(DIBMainForm, ProgressReportsMoveTheBar) {
    TDIBMainForm form;
    const ProgressCallback report = form.progress();
    EXPECT_TRUE(report(40));
    EXPECT_EQ(form.ShowProzent->value(), 40);
    form.WMProgress(250);
    EXPECT_EQ(form.ShowProzent->value(), 100);
    form.WMProgress(0);
    EXPECT_EQ(form.ShowProzent->value(), 0);
}

TEST(DIBMainForm, ShownModallyItReturnsWhenClosedAndKeepsItsPlacement) {
    const QRect placed(60, 50, 700, 540);
    {
        TDIBMainForm form;
        QTimer::singleShot(0, &form, [&form, placed] {
            EXPECT_TRUE(form.isVisible());
            EXPECT_TRUE(form.isModal());
            form.setGeometry(placed);
            form.ToolButton8->click();
        });
        form.ShowModal();
        EXPECT_FALSE(form.isVisible());
        EXPECT_FALSE(form.isModal());
        // A second time, through the menu.
        QTimer::singleShot(0, &form, [&form] {
            form.findChild<QAction*>(QStringLiteral("FileExitItem"))->trigger();
        });
        form.ShowModal();
        EXPECT_FALSE(form.isVisible());
    }
    TDIBMainForm next;
    EXPECT_EQ(next.geometry().size(), placed.size());
}
