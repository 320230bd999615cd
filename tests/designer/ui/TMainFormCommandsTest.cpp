#include "designer/StitchLibraryFile.h"
#include "designer/ui/ProgramWindows.h"
#include "designer/ui/TMainForm.h"
#include "designer/ui/TNeuForm.h"
#include "designer/ui/TSettingsTab.h"
#include "designer/ui/TStichEditForm.h"
#include "editor/ui/TDIBMainForm.h"

#include "Pictures.h"
#include "ProgramFixture.h"
#include "TestSupport.h"
#include "foundation/OwnedText.h"
#include "foundation/grafikrw3/ImageFiles.h"
#include "foundation/ui/FileDialogs.h"
#include "foundation/ui/TPaintBox.h"
#include "image/ImageDocument.h"

#include <QAction>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace {

const QString kAskOpenOrClose =
    QStringLiteral("Speichern|Die Datei wurde noch nicht gespeichert. Wollen Sie jetzt speichern?");

class Commands : public ProgramFixture {
protected:
    QTemporaryDir folder;

    TMainForm& start() override {
        ProgramFixture::start();
        main().ZeigegesamteTabelle1->setChecked(true);
        return main();
    }

    QStringList paletteNames() {
        QStringList names;
        for (const TStich& s : main().doc.stiche) {
            names << ownedTextToString(s.bezeichnung);
        }
        return names;
    }
    void clickCell(int row, int column) {
        main().PaintBox1Paint();
        main().PaintBox1->grab();
        const CellRect& r = main().doc.cellAt(row, column).feldrect;
        QTest::mouseClick(main().PaintBox1, Qt::LeftButton, {},
                          QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    }
};

} // namespace

TEST_F(Commands, StitchFromTheEditorGoesIntoPaletteChartFileAndBack) {
    addStitch(QStringLiteral("Perlmuster"), 1, dib{});
    addStitch(QStringLiteral("Zopf"), 2, makePatternPicture(60, 30, 8));
    EXPECT_EQ(paletteNames(), (QStringList{"Perlmuster", "Zopf"}));
    EXPECT_EQ(DIBWidth(main().doc.stiche[0].di), 100); // the blank new picture
    EXPECT_TRUE(QFile::exists(libraryPath()));

    // Select the second stitch in the palette and click it into the chart.
    main().PaintBox2Paint();
    QTest::mouseClick(main().PaintBox2, Qt::LeftButton, {}, QPoint(10, main().doc.cellwh + 3));
    EXPECT_EQ(main().doc.stichnr, 1);
    clickCell(4, 4);
    EXPECT_EQ(ownedTextToString(main().doc.cellAt(4, 4).stich->bezeichnung),
              QStringLiteral("Zopf"));
    EXPECT_TRUE(main().windowTitle().endsWith(QStringLiteral("[unbenannt.tpd*]")));

    const QString file = folder.filePath(QStringLiteral("jacke"));
    {
        filedialogs::Script dialogs({file});
        main().Speichern1Click();
    }
    EXPECT_EQ(main().doc.afilename, file + QStringLiteral(".tpd"));
    EXPECT_EQ(main().windowTitle(), QStringLiteral("Orvenal Tessaplan-Designer 1.0 - [jacke.tpd]"));

    // Change a cell, then quit: No closes without saving.
    main().doc.stichnr = 0;
    clickCell(0, 0);
    {
        QuestionScript answers({UserAnswer::No});
        EXPECT_TRUE(main().close());
        EXPECT_EQ(answers.asked(), QStringList{kAskOpenOrClose});
    }

    start();
    {
        filedialogs::Script dialogs({file + QStringLiteral(".tpd")});
        main().ffnen1Click();
    }
    EXPECT_EQ(ownedTextToString(main().doc.cellAt(4, 4).stich->bezeichnung),
              QStringLiteral("Zopf"));
    EXPECT_FALSE(main().doc.cellAt(0, 0).belegt); // the change after saving was dropped
    EXPECT_EQ(paletteNames(), (QStringList{"Perlmuster", "Zopf"})); // the library came back too

    // Cancel keeps the program running; Yes saves and closes.
    clickCell(1, 1);
    {
        QuestionScript answers({UserAnswer::Cancel});
        EXPECT_FALSE(main().close());
        EXPECT_TRUE(main().doc.changed);
    }
    {
        QuestionScript answers({UserAnswer::Yes});
        EXPECT_TRUE(main().close());
    }
    start();
    {
        filedialogs::Script dialogs({file + QStringLiteral(".tpd")});
        main().ffnen1Click();
    }
    EXPECT_TRUE(main().doc.cellAt(1, 1).belegt);
}

TEST_F(Commands, UnsavedQuestionStopsNewWhenTheSaveDialogIsCancelled) {
    main().doc.SetChanged();
    QuestionScript answers({UserAnswer::Yes});
    filedialogs::Script dialogs({QString()});
    main().Neu1Click(); // Yes -> save dialog cancelled -> no new chart
    EXPECT_EQ(answers.asked(),
              QStringList{QStringLiteral(
                  "Speichern|Die Datei ist noch nicht gespeichert. Wollen Sie jetzt speichern?")});
    EXPECT_TRUE(main().doc.changed);
    EXPECT_TRUE(main().doc.afilename.isEmpty());
}

TEST_F(Commands, SettingsAloneDoNotMakeTheChartChanged) {
    main().TabSheet2->caped->setText(QStringLiteral("Neu"));
    main().TabSheet2->BreitEd->setValue(8);
    QuestionScript answers({});
    EXPECT_TRUE(main().close());
    EXPECT_TRUE(answers.asked().isEmpty());
}

TEST_F(Commands, PaletteButtonsMoveDeleteAndReduceEditedPictures) {
    addStitch(QStringLiteral("A"), 1, dib{});
    addStitch(QStringLiteral("B"), 1, makePatternPicture(500, 50, 24));
    addStitch(QStringLiteral("C"), 1, dib{});
    EXPECT_EQ(DIBWidth(main().doc.stiche[1].di), 500); // kept as it came

    main().doc.stichnr = 0;
    main().BitBtn4Click(); // "Hoch" on the first: nothing
    main().doc.stichnr = 2;
    main().BitBtn5Click(); // "Runter" on the last: nothing
    EXPECT_EQ(paletteNames(), (QStringList{"A", "B", "C"}));
    main().BitBtn4Click();
    EXPECT_EQ(paletteNames(), (QStringList{"A", "C", "B"}));
    EXPECT_EQ(main().doc.stichnr, 1);

    main().doc.stichnr = 2;
    whenShown(&editor(), [&] {
        EXPECT_EQ(editor().Edit1->text(), QStringLiteral("B"));
        editor().BreiteEd->setValue(2);
        editor().accept();
    });
    main().BitBtn2Click();
    EXPECT_EQ(DIBWidth(main().doc.stiche[2].di), 200);
    EXPECT_EQ(DIBHeight(main().doc.stiche[2].di), 20);
    EXPECT_EQ(main().doc.stiche[2].breite, 2);

    {
        QuestionScript answers({UserAnswer::Yes});
        main().BitBtn3Click();
        EXPECT_EQ(answers.asked(),
                  QStringList{
                      QStringLiteral("Löschen|Wollen Sie den markieren Stich wirklich löschen?")});
    }
    main().PaintBox2Paint();
    EXPECT_EQ(paletteNames(), (QStringList{"A", "C"}));
    EXPECT_EQ(main().doc.stichnr, 1); // on the new last stitch
    {
        QuestionScript answers({UserAnswer::No});
        main().BitBtn3Click();
    }
    EXPECT_EQ(paletteNames(), (QStringList{"A", "C"}));
}

TEST_F(Commands, PaletteClickHitsTheStitchItShowsAfterTheCellWidthChanged) {
    for (const char* name : {"A", "B", "C", "D"}) {
        addStitch(QString::fromUtf8(name), 1, dib{});
    }
    EXPECT_EQ(main().doc.stichnr, 3); // the stitch just added
    main().doc.stichnr = 0;
    main().ZeigegesamteTabelle1->setChecked(false); // the printer's page
    main().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main()));
    for (const char* width : {"10", "6,5"}) {
        main().PageControl1->setCurrentIndex(1);
        QDoubleSpinBox* edit = main().TabSheet2->BreitEd;
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, QString::fromUtf8(width));
        QTest::keyClick(edit, Qt::Key_Return);
        main().PageControl1->setCurrentIndex(0);
        QTest::qWait(20);
    }
    // The palette as it stands on the screen: the bar of the selected first stitch shows how
    // high a row is painted (an outline row, then the filling up to the next row).
    const QImage shot = main().screen()->grabWindow(main().winId()).toImage();
    const QPoint filling = main().PaintBox2->mapTo(&main(), QPoint(2, 1));
    int rowHeight = 1;
    while (shot.pixelColor(filling + QPoint(0, rowHeight - 1)) == QColor(93, 123, 153)) {
        ++rowHeight;
    }
    EXPECT_EQ(rowHeight, 24);
    QTest::mouseClick(main().PaintBox2, Qt::LeftButton, {}, QPoint(10, rowHeight * 3 / 2));
    EXPECT_EQ(main().doc.stichnr, 1);
    EXPECT_EQ(main().PaintBox2->height(), 4 * 24 + 1);
}

TEST_F(Commands, NewAndOpenShowTheChartFromItsTopLeftCorner) {
    ASSERT_TRUE(main().doc.buildChart(200, 60, -1));
    const QString file = folder.filePath(QStringLiteral("lang.tpd"));
    ASSERT_TRUE(main().SaveProject(file));
    main().resize(600, 400);
    main().show();
    main().PaintBox1Paint();
    QScrollBar* down = main().ScrollBox1->verticalScrollBar();
    QScrollBar* across = main().ScrollBox1->horizontalScrollBar();
    auto scrollAway = [&] {
        down->setValue(down->maximum());
        across->setValue(across->maximum());
        ASSERT_GT(down->value(), 500);
        ASSERT_GT(across->value(), 100);
    };

    scrollAway();
    whenShown(windows->NeuForm.get(), [this] { windows->NeuForm->accept(); });
    main().Neu1->trigger();
    EXPECT_EQ(main().doc.azeilen, 10);
    EXPECT_EQ(down->value(), 0);
    EXPECT_EQ(across->value(), 0);

    main().ZeigegesamteTabelle1->setChecked(false); // the printer's page keeps its size
    scrollAway();
    {
        filedialogs::Script dialogs({file});
        main().ffnen1->trigger();
    }
    EXPECT_EQ(main().doc.azeilen, 200);
    EXPECT_EQ(down->value(), 0);
    EXPECT_EQ(across->value(), 0);
}

TEST_F(Commands, WheelOverTheWindowScrollsTheChartAndSmallStepsAddUp) {
    ASSERT_TRUE(main().doc.buildChart(200, 20, -1));
    main().resize(600, 400);
    main().show();
    main().PaintBox1Paint();
    QScrollBar* bar = main().ScrollBox1->verticalScrollBar();
    // Turns as Qt delivers those of a mouse: to the control under the pointer, and on to its
    // parents while unused (Qt passes on only the window system's own events).
    auto turn = [](QWidget* target, int delta) {
        const QPointF spot = target->mapToGlobal(QPointF(target->rect().center()));
        for (QWidget* w = target; w; w = w->isWindow() ? nullptr : w->parentWidget()) {
            QWheelEvent event(w->mapFromGlobal(spot), spot, QPoint(), QPoint(0, delta),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(w, &event);
            if (event.isAccepted()) {
                return;
            }
        }
    };
    const struct {
        const char* where;
        QWidget* target;
        std::vector<int> turns;
        int scrolled;
    } cases[] = {
        {"chart", main().PaintBox1, {-120}, 10},
        {"chart's scroll bar", bar, {-240}, 20},
        {"tool bar", main().ToolPanel, {-120}, 10},
        {"palette buttons", main().PaletteButtons, {-120}, 10},
        {"up", main().PaintBox1, {120, 120}, -20},
        {"touchpad, eighths of a notch", main().PaintBox1, std::vector<int>(8, -15), 10},
        {"touchpad, back and forth", main().PaintBox1, {-30, 10, -40, -60}, 10},
        {"palette, which scrolls itself", main().ScrollBox2->viewport(), {-120}, 0},
    };
    for (const auto& c : cases) {
        bar->setValue(100);
        for (int delta : c.turns) {
            turn(c.target, delta);
        }
        EXPECT_EQ(bar->value() - 100, c.scrolled) << c.where;
    }
    // The chart scrolls only where it shows.
    main().PageControl1->setCurrentWidget(main().TabSheet2);
    turn(main().TabSheet2, -120);
    EXPECT_EQ(bar->value(), 100);
}

TEST_F(Commands, WheelScrollsTheChartByTenPixelsAndTheViewOptionIsKept) {
    ASSERT_TRUE(main().doc.buildChart(200, 20, -1));
    main().resize(600, 400);
    main().show();
    main().PaintBox1Paint();
    QScrollBar* bar = main().ScrollBox1->verticalScrollBar();
    bar->setValue(100);
    QWheelEvent down(QPointF(20, 20), QPointF(20, 20), QPoint(), QPoint(0, -240), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(main().ScrollBox1->viewport(), &down);
    EXPECT_EQ(bar->value(), 120);
    bar->setValue(0);
    QWheelEvent up(QPointF(20, 20), QPointF(20, 20), QPoint(), QPoint(0, 120), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(main().ScrollBox1->viewport(), &up);
    EXPECT_EQ(bar->value(), 0);

    main().ZeigegesamteTabelle1->setChecked(false);
    main().hide();
    windows.reset();
    windows = std::make_unique<ProgramWindows>();
    windows->create({QStringLiteral("tessaplan-designer")});
    EXPECT_FALSE(main().ZeigegesamteTabelle1->isChecked());
    main().ZeigegesamteTabelle1->setChecked(true);
    windows.reset();
    windows = std::make_unique<ProgramWindows>();
    windows->create({QStringLiteral("tessaplan-designer")});
    EXPECT_TRUE(main().ZeigegesamteTabelle1->isChecked());
}

// Every file dialog of both windows starts in the folder of the file chosen last in any of
// them: a chart saved, a picture opened in the image editor, a palette, a chart opened.
TEST_F(Commands, FileDialogsStartWhereTheLastFileWasChosen) {
    const QString charts = folder.filePath(QStringLiteral("muster"));
    const QString pictures = folder.filePath(QStringLiteral("bilder"));
    ASSERT_TRUE(QDir().mkpath(charts) && QDir().mkpath(pictures));
    const QString picture = pictures + QStringLiteral("/symbol.bmp");
    ASSERT_EQ(grafikrw3::SaveDib(patternPicture(8, 8, 8).get(), picture,
                                 int(grafikrw3::ImageFormat::Bmp)),
              1);
    // Answers the next file dialog with `file` (empty: cancels), noting where it started.
    QString startedIn;
    auto choose = [&](const QString& file) {
        whenModalShows([&startedIn, file](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            ASSERT_NE(dialog, nullptr) << w->metaObject()->className();
            startedIn = dialog->directory().absolutePath();
            if (file.isEmpty()) {
                dialog->reject();
            } else {
                // Typed with its folder into the name field, as a user may.
                auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                ASSERT_NE(name, nullptr);
                name->setText(file);
                QTest::keyClick(name, Qt::Key_Return);
            }
        });
    };
    choose(charts + QStringLiteral("/jacke.tpd"));
    main().Speichernunter1Click();
    ASSERT_TRUE(QFile::exists(charts + QStringLiteral("/jacke.tpd")));

    TDIBMainForm& images = *windows->DIBMainForm;
    choose(picture);
    images.FileOpenItemClick();
    EXPECT_EQ(startedIn, charts);
    EXPECT_EQ(images.doc().SaveFilename, picture);
    choose(QString());
    images.Paletteladen1Click();
    EXPECT_EQ(startedIn, pictures);
    choose(QString());
    main().ffnen1Click();
    EXPECT_EQ(startedIn, pictures);
}
