#include "designer/ui/TMainForm.h"
#include "designer/ui/ProgramWindows.h"
#include "designer/ui/TAufloesungForm.h"
#include "designer/ui/TNeuForm.h"
#include "designer/ui/TSettingsTab.h"
#include "designer/ui/TStichEditForm.h"
#include "editor/ui/TDIBMainForm.h"

#include "LibraryFile.h"
#include "Pictures.h"
#include "foundation/OwnedText.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>

namespace {

const QString kFreshTitle = QStringLiteral("Orvenal Tessaplan-Designer 1.0 - [unbenannt.tpd]");

// Runs `action` on the dialog as soon as it is shown modally.
void whenShown(QDialog* dialog, std::function<void(QDialog*)> action) {
    auto* timer = new QTimer(dialog);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, dialog, [dialog, timer, action] {
        if (dialog->isVisible()) {
            timer->stop();
            timer->deleteLater();
            action(dialog);
        }
    });
    timer->start();
}

class MainFormTest : public ::testing::Test {
protected:
    ProgramWindows windows;
    void SetUp() override {
        writeEmptyLibrary();
        windows.create({QStringLiteral("tessaplan-designer")});
    }
    TMainForm& main() { return *windows.MainForm; }
    TNeuForm& neu() { return *windows.NeuForm; }

    void addLibraryStitch(const QString& name) {
        TStich* s = main().doc.stiche.Add();
        s->bezeichnung = ownedTextFromString(name);
        s->breite = 1;
        s->di = makePatternPicture(150, 60, 24);
    }
};

} // namespace

TEST_F(MainFormTest, StartCreatesTheFiveWindowsHiddenWithAnEmptyTenByTenChart) {
    EXPECT_FALSE(main().isVisible());
    EXPECT_FALSE(windows.StichEditForm->isVisible());
    EXPECT_FALSE(windows.NeuForm->isVisible());
    EXPECT_FALSE(windows.AufloesungForm->isVisible());
    EXPECT_FALSE(windows.DIBMainForm->isVisible());
    EXPECT_EQ(windows.StichEditForm->windowTitle(), QStringLiteral("Stich bearbeiten"));
    EXPECT_EQ(windows.NeuForm->windowTitle(), QStringLiteral("Neues Projekt"));
    EXPECT_EQ(windows.AufloesungForm->windowTitle(), QStringLiteral("Export Auflösung"));
    EXPECT_EQ(windows.DIBMainForm->windowTitle(), QStringLiteral("Bild bearbeiten - NONAME [1:1]"));

    EXPECT_EQ(main().maincap, QStringLiteral("Orvenal Tessaplan-Designer 1.0"));
    EXPECT_EQ(main().windowTitle(), kFreshTitle);
    EXPECT_FALSE(main().doc.changed);
    EXPECT_TRUE(main().progpath.endsWith(QLatin1Char('/')));
    EXPECT_EQ(main().doc.azeilen, 10);
    EXPECT_EQ(main().doc.aspalten, 10);
    ASSERT_EQ(main().doc.zeilen.count, 10u);
    for (TZeile row : main().doc.zeilen) {
        ASSERT_EQ(row->count, 10u);
        for (const TFeld& cell : *row) {
            EXPECT_FALSE(cell.belegt);
        }
    }
    const int dpi = main().ScrollBox1->logicalDpiX();
    EXPECT_EQ(main().doc.cellwh, int(6.5 * dpi / double(25.39995f)));
    EXPECT_EQ(main().PageControl1->tabText(0), QStringLiteral("Bearbeiten"));
    EXPECT_EQ(main().PageControl1->tabText(1), QStringLiteral("Einstellungen"));
    EXPECT_EQ(main().PageControl1->currentIndex(), 0);
}

TEST_F(MainFormTest, ToolBarButtonsSitWhereTheyBelongWithTheirHints) {
    const QToolButton* buttons[] = {main().SpeedButton1, main().SpeedButton2, main().SpeedButton3,
                                    main().SpeedButton4, main().SpeedButton5};
    const int xs[] = {0, 32, 64, 96, 136};
    const char* hints[] = {"Neu...", "Öffnen...", "Speichern", "Speichern unter...", "Drucken"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(buttons[i]->geometry(), QRect(xs[i], 0, 33, 33));
        EXPECT_EQ(buttons[i]->toolTip(), QString::fromUtf8(hints[i]));
    }
    EXPECT_EQ(main().ToolPanel->height(), 33);
}

TEST_F(MainFormTest, SettingsStartWithTheirDefaultsAndRanges) {
    const TSettingsTab& t = *main().TabSheet2;
    struct Decimal {
        const QDoubleSpinBox* edit;
        double minimum, maximum, step, value;
    };
    for (const Decimal& d :
         {Decimal{t.BreitEd, 1, 100, 1, 6.5}, Decimal{t.BreitLegendeEd, 1, 100, 1, 6.5},
          Decimal{t.RandEd, 0, 100, 1, 10}, Decimal{t.PenWidEd, 0, 100, 0.1, 0.35}}) {
        EXPECT_EQ(d.edit->minimum(), d.minimum) << d.edit->objectName().toStdString();
        EXPECT_EQ(d.edit->maximum(), d.maximum);
        EXPECT_DOUBLE_EQ(d.edit->singleStep(), d.step);
        EXPECT_DOUBLE_EQ(d.edit->value(), d.value);
    }
    EXPECT_EQ(t.FirstRowEd->minimum(), 0);
    EXPECT_EQ(t.FirstRowEd->maximum(), 1000);
    EXPECT_EQ(t.FirstRowEd->value(), 0);
    EXPECT_FALSE(t.allerechtsCheck->isChecked());
    EXPECT_TRUE(t.ErsteRechtsCheck->isChecked());
    EXPECT_FALSE(t.DontShowLinksEd->isChecked());
    EXPECT_EQ(t.caped->text(), QStringLiteral("Tesaplan"));
    EXPECT_TRUE(t.Memo2->toPlainText().isEmpty());
    EXPECT_TRUE(t.LegendeCheck->isChecked());
    EXPECT_TRUE(t.InstCheck->isChecked());
    EXPECT_TRUE(t.TessaplanCheck->isChecked());
    EXPECT_EQ(t.allerechtsCheck->text(),
              QStringLiteral("Alle Zeilennnummern auf der rechten Seite"));
    EXPECT_EQ(t.BitBtn8->text(), QStringLiteral("Schriftart für die Text..."));
    EXPECT_EQ(t.FontDialog1.font.family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(t.FontDialog1.font.pointSize(), 8);
    EXPECT_EQ(t.FontDialog1.pixelHeight(96), 11);
    EXPECT_EQ(t.FontDialog2.pixelHeight(96), 15);
    EXPECT_TRUE(t.FontDialog2.font.bold());
    EXPECT_FALSE(t.FontDialog3.font.bold());
}

TEST_F(MainFormTest, SettingsRoundTripThroughTheControls) {
    PageSettings s;
    s.breitMm = 12.25;
    s.randMm = 0;
    s.alleRechts = true;
    s.ersteRechts = false;
    s.firstRow = 17;
    s.caption = QStringLiteral("Zopfmuster");
    s.text = QStringLiteral("Zeile eins\r\nZeile zwei");
    s.inst = false;
    s.captionFont.font.setPixelSize(20);
    main().TabSheet2->setSettings(s);
    const PageSettings back = main().TabSheet2->settings();
    EXPECT_DOUBLE_EQ(back.breitMm, 12.25);
    EXPECT_DOUBLE_EQ(back.randMm, 0);
    EXPECT_TRUE(back.alleRechts);
    EXPECT_FALSE(back.ersteRechts);
    EXPECT_EQ(back.firstRow, 17);
    EXPECT_EQ(back.caption, QStringLiteral("Zopfmuster"));
    EXPECT_EQ(back.text, QStringLiteral("Zeile eins\r\nZeile zwei"));
    EXPECT_FALSE(back.inst);
    EXPECT_EQ(back.captionFont.font.pixelSize(), 20);
}

TEST_F(MainFormTest, NewChartTakesSizeAndFillStitchFromTheDialog) {
    addLibraryStitch(QStringLiteral("Rechte Masche"));
    addLibraryStitch(QStringLiteral("Linke Masche"));
    main().doc.afilename = QStringLiteral("/tmp/alt.tpd");
    main().SetChanged();
    QStringList offered;
    whenShown(&neu(), [&](QDialog* d) {
        offered.clear();
        for (int i = 0; i < neu().ComboBox1->count(); ++i) {
            offered << neu().ComboBox1->itemText(i);
        }
        EXPECT_EQ(neu().ComboBox1->currentIndex(), 0);
        neu().SpaltenEd->setValue(1);
        neu().ZeilenEd->setValue(1000);
        neu().ComboBox1->setCurrentIndex(1);
        d->accept();
    });
    main().NewAll();
    EXPECT_EQ(offered,
              (QStringList{QStringLiteral("Rechte Masche"), QStringLiteral("Linke Masche")}));
    ASSERT_EQ(main().doc.azeilen, 1000);
    ASSERT_EQ(main().doc.aspalten, 1);
    ASSERT_EQ(main().doc.zeilen.count, 1000u);
    const TFeld& last = main().doc.cellAt(999, 0);
    EXPECT_TRUE(last.belegt);
    EXPECT_EQ(ownedTextToString(last.stich->bezeichnung), QStringLiteral("Linke Masche"));
    EXPECT_EQ(DIBWidth(last.stich->di), 100);
    EXPECT_TRUE(main().doc.afilename.isEmpty());
    EXPECT_FALSE(main().doc.changed);
    EXPECT_EQ(main().windowTitle(), kFreshTitle);

    // The dialog keeps the values last entered.
    whenShown(&neu(), [&](QDialog* d) {
        EXPECT_EQ(neu().SpaltenEd->value(), 1);
        EXPECT_EQ(neu().ZeilenEd->value(), 1000);
        d->reject();
    });
    main().NewAll();
}

TEST_F(MainFormTest, CancelledNewChartKeepsChartNameAndChangedState) {
    main().doc.afilename = QStringLiteral("/tmp/muster.tpd");
    main().SetChanged();
    const QString title = main().windowTitle();
    const TFeld* cell = &main().doc.cellAt(0, 0);
    whenShown(&neu(), [&](QDialog* d) {
        neu().ZeilenEd->setValue(3);
        d->reject();
    });
    main().NewAll();
    EXPECT_EQ(main().doc.azeilen, 10);
    EXPECT_EQ(&main().doc.cellAt(0, 0), cell);
    EXPECT_TRUE(main().doc.changed);
    EXPECT_EQ(main().doc.afilename, QStringLiteral("/tmp/muster.tpd"));
    EXPECT_EQ(main().windowTitle(), title);
    EXPECT_EQ(title, QStringLiteral("Orvenal Tessaplan-Designer 1.0 - [muster.tpd*]"));
}

TEST_F(MainFormTest, NewChartWithEmptyLibraryOffersNothingAndLeavesCellsEmpty) {
    whenShown(&neu(), [&](QDialog* d) {
        EXPECT_EQ(neu().ComboBox1->count(), 0);
        neu().SpaltenEd->setValue(4);
        neu().ZeilenEd->setValue(2);
        d->accept();
    });
    main().NewAll();
    EXPECT_EQ(main().doc.azeilen, 2);
    EXPECT_EQ(main().doc.aspalten, 4);
    EXPECT_FALSE(main().doc.cellAt(1, 3).belegt);
}

TEST_F(MainFormTest, ResolutionDialogRangeAndDefault) {
    const TAufloesungForm& f = *windows.AufloesungForm;
    EXPECT_EQ(f.DPIEd->minimum(), 10);
    EXPECT_EQ(f.DPIEd->maximum(), 4000);
    EXPECT_EQ(f.DPIEd->value(), 10);
    EXPECT_EQ(f.size(), QSize(257, 166));
}
