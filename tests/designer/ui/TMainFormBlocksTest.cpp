#include "designer/StandardStitches.h"
#include "designer/StitchLibraryFile.h"
#include "designer/ui/TNeuForm.h"
#include "designer/ui/TRapportForm.h"
#include "designer/ui/TSettingsTab.h"

#include "ModalDialogs.h"
#include "ProgramFixture.h"
#include "foundation/OwnedText.h"
#include "foundation/ui/TPaintBox.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The program as a new user meets it: started without a stitch library, on the screen.
class FirstHour : public ProgramFixture {
protected:
    void SetUp() override {
        QFile::remove(libraryPath());
        start();
        main().ZeigegesamteTabelle1->setChecked(true);
        main().show();
        main().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&main()));
        paint();
    }
    void paint() {
        main().PaintBox1Paint();
        main().PaintBox1->grab();
    }
    QPoint centre(int row, int column) {
        const CellRect& r = main().doc.cellAt(row, column).feldrect;
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    void drag(QPoint from, QPoint to) {
        QTest::mousePress(main().PaintBox1, Qt::LeftButton, Qt::ShiftModifier, from);
        QTest::mouseMove(main().PaintBox1, (from + to) / 2);
        QTest::mouseMove(main().PaintBox1, to);
        QTest::mouseRelease(main().PaintBox1, Qt::LeftButton, Qt::ShiftModifier, to);
    }
    void selectCell(int row, int column) {
        QTest::mouseClick(main().PaintBox1, Qt::LeftButton, Qt::ShiftModifier, centre(row, column));
    }
    void key(QKeySequence keys) { QTest::keySequence(&main(), keys); }
    void chooseStitch(const char* name) {
        for (std::uint32_t k = 0; k < main().doc.stiche.count; ++k) {
            if (ownedTextToString(main().doc.stiche[k].bezeichnung) == QString::fromUtf8(name)) {
                main().doc.stichnr = int(k);
                return;
            }
        }
        FAIL() << name;
    }
    QAction* editAction(const char* caption) {
        for (QAction* a : main().Bearbeiten1->actions()) {
            if (a->text() == QString::fromUtf8(caption)) {
                return a;
            }
        }
        return nullptr;
    }
    // The chart as the first letter of each cell's stitch name ('.' for empty, 'Z' cables).
    QStringList letters() {
        QStringList out;
        for (int r = 0; r < main().doc.azeilen; ++r) {
            QString row;
            for (int c = 0; c < main().doc.aspalten; ++c) {
                const TFeld& cell = main().doc.cellAt(r, c);
                row += cell.belegt ? ownedTextToString(cell.stich->bezeichnung).at(0)
                                   : QLatin1Char('.');
            }
            out << row;
        }
        return out;
    }
    QColor pixel(QPoint at) { return main().PaintBox1->grab().toImage().pixelColor(at); }
};

} // namespace

TEST_F(FirstHour, StartsWithTheStandardStitchesAndAGridOfRechts) {
    TMainForm& m = main();
    ASSERT_EQ(m.doc.stiche.count, std::uint32_t(standardstitches::count()));
    EXPECT_EQ(ownedTextToString(m.doc.stiche[0].bezeichnung), QStringLiteral("rechts"));
    EXPECT_EQ(letters(), QStringList(10, QStringLiteral("rrrrrrrrrr")));
    EXPECT_TRUE(messages.texts().isEmpty());
    // Written to the library file at once, and "Neu..." offers them for filling.
    QFile file(libraryPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    TStich* astich = nullptr;
    TDynaArrayOf<TStich> read(&astich);
    const StitchLibraryFile::ReadResult result = StitchLibraryFile::read(file, file.size(), read);
    EXPECT_EQ(result.status, FileStatus::Ok);
    EXPECT_EQ(read.count, std::uint32_t(standardstitches::count()));
    for (TStich& s : read) {
        releaseStitch(s);
    }
    QStringList offered;
    whenShown(windows->NeuForm.get(), [&] {
        for (int k = 0; k < windows->NeuForm->ComboBox1->count(); ++k) {
            offered << windows->NeuForm->ComboBox1->itemText(k);
        }
        windows->NeuForm->reject();
    });
    m.NewAll();
    ASSERT_EQ(offered.size(), int(standardstitches::count()));
    EXPECT_EQ(offered.at(1), QStringLiteral("links"));

    // A stitch added by hand is the one selected to place next.
    addStitch(QStringLiteral("Perlmuster"), 1, dib{});
    EXPECT_EQ(m.doc.stichnr, int(standardstitches::count()));

    // An existing library, even an empty one, stays as it is; the menu command adds what it
    // lacks, and says so.
    file.close();
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(QByteArray(4, '\0'));
    file.close();
    TMainForm& again = start();
    EXPECT_EQ(again.doc.stiche.count, 0u);
    EXPECT_EQ(QFileInfo(libraryPath()).size(), 4);
    EXPECT_FALSE(again.doc.cellAt(0, 0).belegt);
    again.Standardstichehinzufgen1->trigger();
    again.Standardstichehinzufgen1->trigger();
    EXPECT_EQ(again.doc.stiche.count, std::uint32_t(standardstitches::count()));
    EXPECT_EQ(
        messages.texts().mid(messages.texts().size() - 2),
        (QStringList{
            QStringLiteral("%1 Standardstiche wurden hinzugefügt.").arg(standardstitches::count()),
            QStringLiteral("Die Bibliothek enthält schon alle Standardstiche.")}));
    EXPECT_GT(QFileInfo(libraryPath()).size(), 4);
}

TEST_F(FirstHour, BlocksAreDraggedWithShiftAndWorkedWithTheEditCommands) {
    TMainForm& m = main();
    QStringList entries;
    for (const QAction* a : m.Bearbeiten1->actions()) {
        entries << (a->isSeparator() ? QStringLiteral("-")
                                     : a->text() + QLatin1Char('|') + a->shortcut().toString());
    }
    EXPECT_EQ(entries.mid(2),
              (QStringList{"-", "Block ausschneiden|Ctrl+Shift+X", "Block kopieren|Ctrl+Shift+C",
                           "Block einfügen|Ctrl+Shift+V", "Block leeren|Del",
                           "Block mit Stich füllen|Ctrl+Shift+F", "Block waagerecht spiegeln|",
                           "Block senkrecht spiegeln|", "-", "Als Rapport markieren|",
                           "Rapport aufheben|", "Rapport wiederholen...|"}));

    // A cable clicked into row 1 covers columns 3 to 6; a drag that starts inside it takes
    // all of it, and the block shows as a frame.
    chooseStitch("Zopf 2/2 nach rechts");
    QTest::mouseClick(m.PaintBox1, Qt::LeftButton, {}, centre(0, 2));
    drag(centre(0, 4), centre(1, 7));
    EXPECT_EQ(m.doc.block, (CellBlock{0, 2, 2, 6}));
    const CellRect& corner = m.doc.cellAt(0, 2).feldrect;
    EXPECT_EQ(pixel({corner.left - 1, corner.top + 5}), QColor(0, 90, 210));

    // Fill the block with purl stitches, copy it, paste it with its corner on row 5, column 2.
    chooseStitch("links");
    key(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    EXPECT_EQ(letters().mid(0, 3), (QStringList{"rrllllllrr", "rrllllllrr", "rrrrrrrrrr"}));
    EXPECT_TRUE(m.windowTitle().endsWith(QStringLiteral("*]")));
    EXPECT_EQ(m.Rckgngig1->text(), QStringLiteral("Rückgängig: Block mit Stich füllen"));
    key(QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(letters().at(0), QStringLiteral("rrZrrrrrrr"));
    key(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    selectCell(4, 1);
    EXPECT_EQ(m.doc.block, (CellBlock{4, 1, 1, 1}));
    key(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V));
    EXPECT_EQ(letters().mid(4, 2), (QStringList{"rZrrrrrrrr", "rrrrrrrrrr"}));
    EXPECT_EQ(m.doc.block, (CellBlock{4, 1, 2, 6})); // the pasted cells are the block now
    EXPECT_EQ(m.Rckgngig1->text(), QStringLiteral("Rückgängig: Block einfügen"));

    // Mirrored left to right the cable crosses the other way (the library has that one).
    editAction("Block waagerecht spiegeln")->trigger();
    EXPECT_EQ(letters().at(4), QStringLiteral("rrrZrrrrrr"));
    EXPECT_EQ(ownedTextToString(m.doc.cellAt(4, 3).stich->bezeichnung),
              QStringLiteral("Zopf 2/2 nach links"));
    editAction("Block senkrecht spiegeln")->trigger();
    EXPECT_EQ(letters().mid(4, 2), (QStringList{"rrrrrrrrrr", "rrrZrrrrrr"}));

    // Delete empties it, a cut too; each is one step back.
    key(QKeySequence(Qt::Key_Delete));
    EXPECT_EQ(letters().mid(4, 2), (QStringList{"r......rrr", "r......rrr"}));
    key(QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(letters().at(5), QStringLiteral("rrrZrrrrrr"));
    drag(centre(0, 2), centre(0, 2));
    key(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_X));
    EXPECT_EQ(letters().at(0), QStringLiteral("rr....rrrr"));

    // A paste past the corner asks; "Ja" adds the rows and columns it needs.
    selectCell(9, 8);
    {
        QuestionScript answers({UserAnswer::Yes});
        key(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V));
        ASSERT_EQ(answers.asked().size(), 1);
        EXPECT_TRUE(answers.asked()[0].contains(QStringLiteral("um 2 Spalten erweitert")));
    }
    EXPECT_EQ(m.doc.aspalten, 12);
    EXPECT_EQ(m.doc.azeilen, 10);
    EXPECT_EQ(letters().at(9), QStringLiteral("rrrrrrrrZrrr"));
    key(QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(m.doc.aspalten, 10);
    // "Nein" pastes what fits: the cable does not, so nothing is pasted; "Abbrechen" nothing.
    for (const UserAnswer answer : {UserAnswer::No, UserAnswer::Cancel}) {
        m.doc.block = {9, 8, 1, 1};
        QuestionScript answers({answer});
        m.Blockeinfgen1Click();
        EXPECT_EQ(m.doc.aspalten, 10);
        EXPECT_EQ(letters().at(9), QStringLiteral("rrrrrrrrrr"));
    }

    // Typing keeps its keys: Entf in a text field deletes text, not the block.
    m.doc.block = {9, 0, 1, 2};
    m.PageControl1->setCurrentIndex(1);
    m.TabSheet2->caped->setText(QStringLiteral("Jacke"));
    m.TabSheet2->caped->setFocus();
    m.TabSheet2->caped->setCursorPosition(0);
    QTest::keyClick(m.TabSheet2->caped, Qt::Key_Delete);
    EXPECT_EQ(m.TabSheet2->caped->text(), QStringLiteral("acke"));
    m.TabSheet2->Memo2->setPlainText(QStringLiteral("Wolle"));
    m.TabSheet2->Memo2->moveCursor(QTextCursor::Start);
    m.TabSheet2->Memo2->setFocus();
    QTest::keyClick(m.TabSheet2->Memo2, Qt::Key_Delete);
    EXPECT_EQ(m.TabSheet2->Memo2->toPlainText(), QStringLiteral("olle"));
    EXPECT_EQ(letters().at(9).left(2), QStringLiteral("rr"));
    m.PageControl1->setCurrentIndex(0);

    // Any plain click lets go of the block; the commands then say how to get one.
    QTest::mouseClick(m.PaintBox1, Qt::LeftButton, {}, centre(8, 8));
    EXPECT_TRUE(m.doc.block.isEmpty());
    key(QKeySequence(Qt::Key_Delete));
    EXPECT_TRUE(messages.texts().last().startsWith(QStringLiteral("Es ist kein Block markiert.")));
}

TEST_F(FirstHour, TheCellsAStitchWouldCoverAreOutlinedUnderThePointer) {
    TMainForm& m = main();
    chooseStitch("Zopf 2/2 nach links");
    auto hover = [&](QPoint at) {
        QMouseEvent move(QEvent::MouseMove, at, m.PaintBox1->mapToGlobal(at), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(m.PaintBox1, &move);
    };
    struct Case {
        int column;
        QColor outline; // light where it fits, warning where the chart's side cuts it
        int lastColumn;
    } cases[] = {{5, QColor(110, 170, 255), 8}, {8, QColor(230, 70, 30), 9}};
    auto topEdge = [&](int column) {
        const CellRect& r = m.doc.cellAt(3, column).feldrect;
        return pixel({(r.left + r.right) / 2, r.top - 1});
    };
    for (const Case& c : cases) {
        hover(centre(3, c.column));
        const CellRect& first = m.doc.cellAt(3, c.column).feldrect;
        EXPECT_EQ(pixel({first.left - 1, (first.top + first.bottom) / 2}), c.outline);
        EXPECT_EQ(topEdge(c.lastColumn), c.outline);
        if (c.lastColumn < 9) {
            EXPECT_NE(topEdge(c.lastColumn + 1), c.outline);
        }
    }
    hover({1, 1}); // off the grid: no outline
    EXPECT_NE(topEdge(9), QColor(230, 70, 30));
}

TEST_F(FirstHour, ARepeatIsMarkedFramedInRedTiledThroughItsDialogAndUndone) {
    TMainForm& m = main();
    // Without a repeat the tiling says how to get one and shows no dialog.
    editAction("Rapport wiederholen...")->trigger();
    EXPECT_TRUE(messages.texts().last().startsWith(QStringLiteral("Es ist kein Rapport")));

    // A 2 x 2 block of purl stitches becomes the repeat: a red frame on the grid lines around
    // it, nothing red beside it.
    chooseStitch("links");
    drag(centre(0, 4), centre(1, 5));
    key(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    editAction("Als Rapport markieren")->trigger();
    EXPECT_EQ(m.doc.repeat, (CellBlock{0, 4, 2, 2}));
    EXPECT_EQ(m.Rckgngig1->text(), QStringLiteral("Rückgängig: Als Rapport markieren"));
    EXPECT_TRUE(m.doc.block.isEmpty()); // its frame would hide the repeat's
    const CellRect corner = m.doc.cellAt(0, 4).feldrect;
    EXPECT_EQ(pixel({corner.left - 1, corner.top + 5}), QColor(255, 0, 0));
    EXPECT_EQ(pixel({corner.left + 5, corner.top - 1}), QColor(255, 0, 0));
    EXPECT_NE(pixel({corner.left - 1 - m.doc.cellwh, corner.top + 5}), QColor(255, 0, 0));

    // Through the menu: 3 across and 2 up, one step; the edge stitches stay at the edges.
    whenModalShows([](QWidget* dialog) {
        auto* form = qobject_cast<TRapportForm*>(dialog);
        ASSERT_NE(form, nullptr);
        form->AcrossEd->setValue(3);
        form->UpEd->setValue(2);
        QTest::mouseClick(form->OkBtn, Qt::LeftButton);
    });
    editAction("Rapport wiederholen...")->trigger();
    EXPECT_EQ(m.doc.aspalten, 14);
    EXPECT_EQ(m.doc.azeilen, 12);
    EXPECT_EQ(letters().at(0), QStringLiteral("rrrrllllllrrrr"));
    EXPECT_EQ(letters().at(2), QStringLiteral("rrrrllllllrrrr"));
    EXPECT_EQ(letters().at(4), QStringLiteral("rrrrrrrrrrrrrr"));
    EXPECT_EQ(m.Rckgngig1->text(), QStringLiteral("Rückgängig: Rapport wiederholen"));

    // The whole 14 x 12 chart as the repeat: the dialog shows the size before OK and refuses
    // what would exceed 1000 stitches or rows.
    paint();
    drag(centre(0, 0), centre(11, 13));
    editAction("Als Rapport markieren")->trigger();
    struct Case {
        int across, up;
        bool allowed;
        const char* shown;
    } cases[] = {
        {1, 1, true, "14 Maschen breit und 12 Reihen hoch"},
        {71, 83, true, "994 Maschen breit und 996 Reihen hoch"},
        {72, 1, false, "würde 1008 Maschen breit und 12 Reihen hoch"},
        {1, 84, false, "würde 14 Maschen breit und 1008 Reihen hoch"},
        {100, 100, false, "1400 Maschen breit und 1200 Reihen hoch"},
    };
    for (const Case& c : cases) {
        TRapportForm form(m.doc);
        EXPECT_EQ(form.AcrossEd->maximum(), 100);
        form.AcrossEd->setValue(c.across);
        form.UpEd->setValue(c.up);
        EXPECT_EQ(form.OkBtn->isEnabled(), c.allowed) << c.across << " x " << c.up;
        EXPECT_TRUE(form.SizeLabel->text().contains(QString::fromUtf8(c.shown)))
            << form.SizeLabel->text().toStdString();
    }
    m.Rckgngig1->trigger();
    EXPECT_EQ(m.doc.repeat, (CellBlock{2, 8, 2, 2})); // the marked cells, after the copies
    m.Rckgngig1->trigger();
    EXPECT_EQ(m.doc.aspalten, 10);
    EXPECT_EQ(m.doc.azeilen, 10);
    EXPECT_EQ(letters().at(0), QStringLiteral("rrrrllrrrr"));

    editAction("Rapport aufheben")->trigger();
    EXPECT_TRUE(m.doc.repeat.isEmpty());
    EXPECT_NE(pixel({corner.left - 1, corner.top + 5}), QColor(255, 0, 0));
}
