#include "designer/ProjectFile.h"
#include "designer/ui/ProgramWindows.h"
#include "designer/ui/TMainForm.h"
#include "designer/ui/TSettingsTab.h"
#include "foundation/ui/FileDialogs.h"
#include "foundation/ui/TPaintBox.h"

#include "LibraryFile.h"
#include "Pictures.h"
#include "TestSupport.h"
#include "foundation/OwnedText.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

// A shown main window with a 4 x 5 chart of "Rechte Masche" laid out on the screen; the
// library's second stitch is "Linke Masche".
class MainFormHistory : public ::testing::Test {
protected:
    ProgramWindows windows;
    MessageCapture messages;
    QTemporaryDir folder;

    void SetUp() override {
        writeEmptyLibrary();
        windows.create({QStringLiteral("tessaplan-designer")});
        for (const char* name : {"Rechte Masche", "Linke Masche"}) {
            TStich* s = main().doc.stiche.Add();
            s->bezeichnung = ownedTextFromString(QString::fromUtf8(name));
            s->hinreihe = ownedTextFromString(QString::fromUtf8(name).section(' ', 0, 0));
            s->breite = 1;
            s->di = makePatternPicture(30, 30, 24);
        }
        main().ZeigegesamteTabelle1->setChecked(true);
        ASSERT_TRUE(main().doc.buildChart(4, 5, 0));
        main().show();
        main().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&main()));
        paint();
    }
    TMainForm& main() { return *windows.MainForm; }
    ChartHistory& history() { return main().doc.history; }
    void paint() {
        main().PaintBox1Paint();
        main().PaintBox1->grab();
    }
    void clickAt(QPoint at) { QTest::mouseClick(main().PaintBox1, Qt::LeftButton, {}, at); }
    void clickCell(int row, int column) {
        const auto& r = main().doc.cellAt(row, column).feldrect;
        clickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    }
    QString name(int row, int column) {
        const TFeld& cell = main().doc.cellAt(row, column);
        return cell.belegt ? ownedTextToString(cell.stich->bezeichnung) : QStringLiteral("-");
    }
    void key(QKeySequence keys) { QTest::keySequence(&main(), keys); }
    QStringList menuTitles() {
        QStringList titles;
        for (const QAction* a : main().menuBar()->actions()) {
            titles << a->text();
        }
        return titles;
    }
};

} // namespace

TEST_F(MainFormHistory, TheEditMenuAndItsButtonsNameWhatTheyUndoAndRedo) {
    EXPECT_EQ(menuTitles(),
              (QStringList{"Datei", "Bearbeiten", "Spalten", "Zeilen", "Einstellungen", "&Hilfe"}));
    EXPECT_EQ(main().Rckgngig1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(main().Wiederholen1->shortcuts(),
              (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_Y),
                                   QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}));
    auto expectState = [&](const QString& undo, const QString& redo) {
        EXPECT_EQ(main().Rckgngig1->text(), undo);
        EXPECT_EQ(main().Wiederholen1->text(), redo);
        EXPECT_EQ(main().Rckgngig1->isEnabled(), undo != "Rückgängig");
        EXPECT_EQ(main().Wiederholen1->isEnabled(), redo != "Wiederholen");
        EXPECT_EQ(main().SpeedButton6->isEnabled(), main().Rckgngig1->isEnabled());
        EXPECT_EQ(main().SpeedButton7->isEnabled(), main().Wiederholen1->isEnabled());
        EXPECT_EQ(main().SpeedButton6->toolTip(), undo);
        EXPECT_EQ(main().SpeedButton7->toolTip(), redo);
    };
    expectState("Rückgängig", "Wiederholen");

    // Mark row 2, copy it, mark row 3 and paste: marking is a step, copying none.
    const auto& second = main().doc.cellAt(1, 0).feldrect;
    clickAt({second.left - 5, (second.top + second.bottom) / 2});
    expectState("Rückgängig: Zeile markieren", "Wiederholen");
    clickCell(1, 2); // "Rechte Masche" again, and the mark goes
    main().doc.stichnr = 1;
    clickCell(1, 3);
    const auto& third = main().doc.cellAt(2, 0).feldrect;
    clickAt({third.left - 5, (third.top + third.bottom) / 2});
    clickAt({second.left - 5, (second.top + second.bottom) / 2});
    main().Zeilekopieren1Click();
    clickAt({third.left - 5, (third.top + third.bottom) / 2});
    key(QKeySequence(Qt::CTRL | Qt::Key_F)); // "Zeile einfügen"
    EXPECT_EQ(name(2, 3), QStringLiteral("Linke Masche"));
    expectState("Rückgängig: Zeile einfügen", "Wiederholen");

    key(QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(name(2, 3), QStringLiteral("Rechte Masche"));
    EXPECT_EQ(main().doc.rownr, 3);
    expectState("Rückgängig: Zeile markieren", "Wiederholen: Zeile einfügen");
    key(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    EXPECT_EQ(name(2, 3), QStringLiteral("Linke Masche"));
    main().SpeedButton6->click();
    EXPECT_EQ(name(2, 3), QStringLiteral("Rechte Masche"));
    key(QKeySequence(Qt::CTRL | Qt::Key_Y));
    EXPECT_EQ(name(2, 3), QStringLiteral("Linke Masche"));
    main().SpeedButton6->click();
    main().SpeedButton7->click();
    expectState("Rückgängig: Zeile einfügen", "Wiederholen");

    // Everything back to the start, one step at a time.
    int steps = 0;
    while (main().Rckgngig1->isEnabled()) {
        main().Rckgngig1->trigger();
        ++steps;
    }
    EXPECT_EQ(steps, 7);
    EXPECT_EQ(name(1, 3), QStringLiteral("Rechte Masche"));
    EXPECT_FALSE(main().doc.selectrow);
    EXPECT_TRUE(messages.texts().isEmpty());
}

TEST_F(MainFormHistory, UndoingToTheSavedChartTakesTheAsteriskAwayAndANewChartStartsAfresh) {
    const QString saved = folder.filePath(QStringLiteral("jacke.tpd"));
    main().doc.afilename = saved;
    main().Speichern1Click();
    const QString clean = main().windowTitle();
    ASSERT_TRUE(clean.endsWith(QStringLiteral("[jacke.tpd]")));

    clickCell(0, 0);
    EXPECT_EQ(main().windowTitle(), main().maincap + " - [jacke.tpd*]");
    // Only what the click changed is painted again: the view needs no new layout.
    main().Rckgngig1->trigger();
    EXPECT_EQ(main().windowTitle(), clean);
    EXPECT_FALSE(main().doc.changed);
    main().Wiederholen1->trigger();
    EXPECT_EQ(main().windowTitle(), main().maincap + " - [jacke.tpd*]");

    main().Speichern1Click(); // saved after the click
    main().Rckgngig1->trigger();
    EXPECT_TRUE(main().doc.changed);
    EXPECT_TRUE(main().windowTitle().endsWith(QStringLiteral("*]")));

    // Opening a chart starts an empty history.
    ASSERT_TRUE(main().LoadProject(saved));
    EXPECT_FALSE(main().Rckgngig1->isEnabled());
    EXPECT_FALSE(main().Wiederholen1->isEnabled());
    EXPECT_FALSE(main().SpeedButton7->isEnabled());
    EXPECT_EQ(main().windowTitle(), clean);
}

TEST_F(MainFormHistory, ATypingBurstInOneSettingsFieldIsOneStepThatDoesNotMarkTheChart) {
    main().PageControl1->setCurrentWidget(main().TabSheet2);
    TSettingsTab& tab = *main().TabSheet2;
    tab.caped->setFocus();
    tab.caped->selectAll();
    QTest::keyClicks(tab.caped, QStringLiteral("Jacke"));
    EXPECT_EQ(history().undoCount(), 1u);
    EXPECT_EQ(main().Rckgngig1->text(), QStringLiteral("Rückgängig: Überschrift ändern"));
    tab.FirstRowEd->setFocus(); // the burst ends with the focus
    tab.FirstRowEd->selectAll();
    QTest::keyClicks(tab.FirstRowEd, QStringLiteral("12"));
    tab.TessaplanCheck->click();
    EXPECT_EQ(history().undoCount(), 3u);
    EXPECT_FALSE(main().doc.changed);
    EXPECT_FALSE(main().windowTitle().endsWith(QStringLiteral("*]")));

    main().Rckgngig1->trigger();
    EXPECT_TRUE(tab.TessaplanCheck->isChecked());
    main().Rckgngig1->trigger();
    EXPECT_EQ(tab.FirstRowEd->value(), 0);
    EXPECT_EQ(tab.caped->text(), QStringLiteral("Jacke")); // left as it was
    main().Rckgngig1->trigger();
    EXPECT_EQ(tab.caped->text(), QStringLiteral("Tesaplan"));
    // Putting the values back recorded nothing of its own.
    EXPECT_EQ(history().undoCount(), 0u);
    EXPECT_EQ(history().redoCount(), 3u);
    main().Wiederholen1->trigger();
    EXPECT_EQ(tab.caped->text(), QStringLiteral("Jacke"));
    EXPECT_EQ(history().redoCount(), 2u);
}

TEST_F(MainFormHistory, TheInstructionsTabFollowsEveryChangeAndIsExported) {
    EXPECT_EQ(main().PageControl1->count(), 3);
    EXPECT_EQ(main().PageControl1->tabText(2), QStringLiteral("Anleitung"));
    main().doc.stichnr = 1;
    clickCell(3, 0); // the first row, read from the right: its last stitch
    main().PageControl1->setCurrentWidget(main().TabSheet3);
    const QString first = QStringLiteral("Reihe 0 (Hinreihe): 4 × Rechte, Linke (5 Maschen)\n"
                                         "Reihe 1 (Rückreihe): 5 × Rechte Masche (5 Maschen)\n"
                                         "Reihe 2 (Hinreihe): 5 × Rechte (5 Maschen)\n"
                                         "Reihe 3 (Rückreihe): wie Reihe 1\n");
    EXPECT_EQ(main().Memo3->toPlainText() + '\n', first);

    // Undone while the tab is in front, and the settings it reads changed elsewhere.
    main().Rckgngig1->trigger();
    EXPECT_TRUE(main().Memo3->toPlainText().startsWith(
        QStringLiteral("Reihe 0 (Hinreihe): 5 × Rechte (5 Maschen)\n")));
    main().Wiederholen1->trigger();
    main().PageControl1->setCurrentWidget(main().TabSheet2);
    main().TabSheet2->ErsteRechtsCheck->setChecked(false);
    main().PageControl1->setCurrentWidget(main().TabSheet3);
    EXPECT_TRUE(main().Memo3->toPlainText().startsWith(
        QStringLiteral("Reihe 0 (Hinreihe): Linke, 4 × Rechte (5 Maschen)\n")));

    const QString file = folder.filePath(QStringLiteral("anleitung.txt"));
    {
        filedialogs::Script answers({file});
        main().Anleitungexportieren1->trigger();
    }
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(written.readAll()), main().Memo3->toPlainText() + '\n');
    EXPECT_FALSE(main().exportInstructions(folder.filePath(QStringLiteral("fehlt/a.txt"))));
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Konnte die Datei nicht anlegen.")});
}
