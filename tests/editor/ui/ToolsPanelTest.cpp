#include "ModalDialogs.h"

#include "editor/ui/TConfigBars.h"
#include "editor/ui/TDIBMainForm.h"
#include "editor/ui/ToolCursors.h"
#include "image/ui/TImagePaintBox.h"
#include "image/ui/TMDIChild.h"

#include "Pictures.h"
#include "TestSupport.h"
#include "foundation/grafikrw3/ImageFiles.h"
#include "foundation/ui/FileDialogs.h"
#include "foundation/ui/TPaintBox.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>

namespace {

class ToolsPanel : public ::testing::Test {
protected:
    void SetUp() override {
        form.show();
        QApplication::processEvents();
    }
    // The option controls and labels the tab "Optionen" shows now.
    QStringList shownOptions() const {
        QStringList names;
        for (QWidget* w : form.TabSheet1->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (w->isVisibleTo(form.TabSheet1)) {
                names << w->objectName();
            }
        }
        names.sort();
        return names;
    }
    bool brushTabShown() const { return form.PageControl1->isTabVisible(1); }

    TDIBMainForm form;
};

} // namespace

TEST_F(ToolsPanel, EachToolShowsItsOptionsAndTheBrushTipWhereItPaints) {
    struct Layout {
        QToolButton* TDIBMainForm::*button;
        QStringList options;
        bool brushTip;
    };
    const QStringList zoom = {QStringLiteral("ZoomBox"), QStringLiteral("ZoomLabel")};
    const Layout layouts[] = {
        {&TDIBMainForm::ZoomBtn, zoom, false},
        {&TDIBMainForm::HandBtn, zoom, false},
        {&TDIBMainForm::SelectBtn, {"TypBox", "TypLabel"}, false},
        {&TDIBMainForm::FreeSelBtn, zoom, false},
        {&TDIBMainForm::MagicBtn, {"TolEdit", "TolLabel"}, false},
        {&TDIBMainForm::DropBtn, zoom, false},
        {&TDIBMainForm::BrushBtn, zoom, true},
        {&TDIBMainForm::CloneBtn, {"CloneBox", "CloneLabel"}, true},
        {&TDIBMainForm::ReplaceBtn, zoom, true},
        {&TDIBMainForm::RetouchBtn, {"RetouchBox", "RetouchLabel"}, true},
        {&TDIBMainForm::FillBtn,
         {"DirLabel", "DirectBox", "FillStyleBox", "FstyleLabel", "LoadPattBtn", "TolEdit",
          "TolLabel"},
         false},
        {&TDIBMainForm::TxtBtn, zoom, false},
        {&TDIBMainForm::LineBtn, {"BreitEdit", "BreitLabel"}, false},
        {&TDIBMainForm::ShapeBtn,
         {"BreitEdit", "BreitLabel", "StilBox", "StilLabel", "TypBox", "TypLabel"},
         false},
    };
    // At start the zoom tool is down with "1:1" and no brush tip.
    EXPECT_TRUE(form.ZoomBtn->isChecked());
    EXPECT_EQ(shownOptions(), zoom);
    EXPECT_FALSE(brushTabShown());
    EXPECT_EQ(form.ZoomBox->currentText(), QStringLiteral("1:1"));

    for (int i = 0; i < kToolCount; ++i) {
        const Layout& layout = layouts[i];
        QToolButton* button = form.*layout.button;
        ASSERT_EQ(button, form.toolButtons[std::size_t(i)]);
        // Look at the brush tip first, so that leaving for a tool without one must come back.
        form.PageControl1->setCurrentIndex(brushTabShown() ? 1 : 0);
        QTest::mouseClick(button, Qt::LeftButton);
        SCOPED_TRACE(button->objectName().toStdString());
        EXPECT_EQ(form.currentTool(), Tool(i));
        EXPECT_EQ(form.toolOptions().tool, Tool(i));
        int down = 0;
        for (QToolButton* b : form.toolButtons) {
            down += b->isChecked();
        }
        EXPECT_EQ(down, 1);
        EXPECT_EQ(shownOptions(), layout.options);
        EXPECT_EQ(brushTabShown(), layout.brushTip);
        if (!layout.brushTip) {
            EXPECT_EQ(form.PageControl1->currentWidget(), form.TabSheet1);
        }
        // What shows at once must not overlap and must fit the tab.
        const QList<QWidget*> shown = form.TabSheet1->findChildren<QWidget*>();
        for (QWidget* a : shown) {
            if (!a->isVisibleTo(form.TabSheet1) || a->parentWidget() != form.TabSheet1) {
                continue;
            }
            EXPECT_TRUE(form.TabSheet1->rect().contains(a->geometry()))
                << a->objectName().toStdString();
            for (QWidget* b : shown) {
                if (a != b && b->isVisibleTo(form.TabSheet1) &&
                    b->parentWidget() == form.TabSheet1) {
                    EXPECT_FALSE(a->geometry().intersects(b->geometry()))
                        << a->objectName().toStdString() << " / " << b->objectName().toStdString();
                }
            }
        }
    }
}

TEST_F(ToolsPanel, BrushTypesPresetTheirNumbersAndNormalKeepsWhatTheUserSet) {
    for (int i = 0; i < 6; ++i) {
        QTest::keyClick(form.BrushTypBox, Qt::Key_Down); // through every preset to "Kreide"
    }
    EXPECT_EQ(form.BrushTypBox->currentText(), QStringLiteral("Kreide"));
    EXPECT_EQ(form.HardEdit->value(), 90);
    EXPECT_EQ(form.DensEdit->value(), 33);
    EXPECT_EQ(form.OpaCityEdit->value(), 20);
    QTest::keyClick(form.BrushTypBox, Qt::Key_Up);
    EXPECT_EQ(form.toolOptions().tip.dens, 11); // "Buntstift": 100, 11, 50
    EXPECT_EQ(form.toolOptions().tip.opacity, 50);
    form.HardEdit->setValue(12);
    QTest::keyClick(form.BrushTypBox, Qt::Key_Home);
    EXPECT_EQ(form.BrushTypBox->currentText(), QStringLiteral("Normal"));
    EXPECT_EQ(form.HardEdit->value(), 12);
    EXPECT_EQ(form.DensEdit->value(), 11);
    EXPECT_EQ(form.OpaCityEdit->value(), 50);
}

TEST_F(ToolsPanel, TheOptionsStructReadsEveryControl) {
    const ToolOptions defaults = form.toolOptions();
    EXPECT_EQ(defaults.typ, 0);
    EXPECT_EQ(defaults.breite, 1);
    EXPECT_EQ(defaults.toleranz, 25);
    EXPECT_EQ(defaults.tip.form, 1);
    EXPECT_EQ(defaults.tip.size, 7);
    EXPECT_EQ(defaults.tip.hard, 50);
    EXPECT_EQ(defaults.tip.dens, 100);
    EXPECT_EQ(defaults.tip.opacity, 0);
    EXPECT_EQ(defaults.pattern, nullptr);

    form.selectTool(Tool::Shape);
    form.TypBox->setCurrentIndex(3);
    form.StilBox->setCurrentIndex(1);
    form.BreitEdit->setValue(100);
    form.TolEdit->setValue(200);
    form.CloneBox->setCurrentIndex(1);
    form.RetouchBox->setCurrentIndex(2);
    form.FillStyleBox->setCurrentIndex(5);
    form.DirectBox->setCurrentIndex(7);
    form.FormBox->setCurrentIndex(4);
    form.SizeEdit->setValue(199);
    form.HardEdit->setValue(3);
    form.DensEdit->setValue(4);
    form.OpaCityEdit->setValue(5);
    const ToolOptions o = form.toolOptions();
    EXPECT_EQ(o.tool, Tool::Shape);
    EXPECT_EQ(o.typ, 3);
    EXPECT_EQ(o.stil, 1);
    EXPECT_EQ(o.breite, 100);
    EXPECT_EQ(o.toleranz, 200);
    EXPECT_EQ(o.cloneModus, 1);
    EXPECT_EQ(o.retouchModus, 2);
    EXPECT_EQ(o.fillStyle, 5);
    EXPECT_EQ(o.direction, 7);
    EXPECT_EQ(o.tip.form, 4);
    EXPECT_EQ(o.tip.size, 199);
    EXPECT_EQ(o.tip.hard, 3);
    EXPECT_EQ(o.tip.dens, 4);
    EXPECT_EQ(o.tip.opacity, 5);
}

TEST_F(ToolsPanel, TheZoomBoxTheZoomMenusAndTheDocumentStayInStep) {
    ASSERT_EQ(form.ZoomBox->count(), 31);
    const ImageDocument& doc = form.doc();
    const std::pair<std::pair<int, int>, QString> steps[] = {
        {{2, 1}, "2:1"}, {{16, 1}, "16:1"}, {{1, 2}, "1:2"}, {{1, 16}, "1:16"}, {{1, 1}, "1:1"}};
    for (const auto& [zoom, text] : steps) {
        form.SetZoom(zoom.first, zoom.second);
        EXPECT_EQ(form.ZoomBox->currentText(), text);
        EXPECT_EQ(doc.view(), (ZoomView{zoom.first, zoom.second}));
        EXPECT_EQ(form.windowTitle(), QStringLiteral("Bild bearbeiten - NONAME [%1]").arg(text));
        EXPECT_EQ(form.MDIChild1->PaintBox1->size(), doc.paintBoxSize());
    }
    // The user's choice in the list, the menus and the zoom tool all end up in both places.
    form.ZoomBox->setCurrentIndex(16);
    emit form.ZoomBox->activated(16);
    EXPECT_EQ(doc.view(), (ZoomView{1, 2}));
    auto* oneToOne = form.findChild<QAction*>(QStringLiteral("Nichtvergrert111"));
    EXPECT_TRUE(oneToOne->isEnabled());
    form.findChild<QAction*>(QStringLiteral("N1112"))->trigger();
    EXPECT_EQ(doc.view(), (ZoomView{1, 11}));
    EXPECT_EQ(form.ZoomBox->currentText(), QStringLiteral("1:11"));
    oneToOne->trigger();
    EXPECT_EQ(form.ZoomBox->currentText(), QStringLiteral("1:1"));
    EXPECT_FALSE(oneToOne->isEnabled());
    QTest::mouseClick(form.MDIChild1->PaintBox1, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(form.ZoomBox->currentText(), QStringLiteral("2:1")); // the zoom tool is down
    EXPECT_TRUE(oneToOne->isEnabled());
}

TEST_F(ToolsPanel, TheBarsDialogShowsAndHidesTheThreeBars) {
    auto run = [this](std::function<void(TConfigBars*)> answer) {
        whenModalShows([answer](QWidget* w) { answer(qobject_cast<TConfigBars*>(w)); });
        form.findChild<QAction*>(QStringLiteral("Toolbars1"))->trigger();
    };
    run([](TConfigBars* dialog) {
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("ConfigBars"));
        EXPECT_EQ(dialog->CheckList->item(0)->text(),
                  QStringLiteral("Standart Werkzeugleiste (Öffnen,...)"));
        EXPECT_EQ(dialog->ticks(), (TConfigBars::Ticks{true, true, true}));
        dialog->CheckList->item(TConfigBars::Colours)->setCheckState(Qt::Unchecked);
        dialog->OkBtn->click();
    });
    EXPECT_FALSE(form.RightSidePanel->isVisible());
    EXPECT_FALSE(form.Panel2->isVisibleTo(&form));
    EXPECT_TRUE(form.Panel3->isVisible()); // the tool options stay
    EXPECT_TRUE(form.SpeedPanel->isVisible());

    run([](TConfigBars* dialog) {
        EXPECT_EQ(dialog->ticks(), (TConfigBars::Ticks{true, true, false}));
        for (int i = 0; i < 3; ++i) {
            dialog->CheckList->item(i)->setCheckState(Qt::Unchecked);
        }
        dialog->CancelBtn->click();
    });
    EXPECT_TRUE(form.SpeedPanel->isVisible());
    EXPECT_TRUE(form.SpeedBar1->isVisible());

    run([](TConfigBars* dialog) {
        dialog->setTicks({false, false, true});
        dialog->OkBtn->click();
    });
    EXPECT_FALSE(form.SpeedPanel->isVisible());
    EXPECT_FALSE(form.SpeedBar1->isVisible());
    EXPECT_TRUE(form.RightSidePanel->isVisible());
    EXPECT_TRUE(form.Panel2->isVisible());
}

TEST_F(ToolsPanel, APatternLoadsAndAFailedLoadKeepsThePreviousOne) {
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("muster.bmp"));
    const OwnedDib picture = patternPicture(9, 7, 8);
    ASSERT_EQ(grafikrw3::SaveDib(picture.get(), good, 3), 1);
    const QString bad = dir.filePath(QStringLiteral("kaputt.bmp"));
    QFile file(bad);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("BM kein Bild");
    file.close();

    MessageCapture messages;
    filedialogs::Script answers({good, bad, QString()});
    form.LoadPattBtn->click();
    ASSERT_TRUE(form.pattern);
    EXPECT_EQ(DIBWidth(form.pattern.get()), 9);
    EXPECT_EQ(pixelBytes(form.pattern.get()), pixelBytes(picture.get()));
    EXPECT_EQ(form.toolOptions().pattern, &form.pattern.get());
    EXPECT_EQ(form.ShowProzent->value(), 0);

    form.LoadPattBtn->click();
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Fehler beim Laden des Bildes!")});
    ASSERT_TRUE(form.pattern);
    EXPECT_EQ(DIBWidth(form.pattern.get()), 9);

    form.LoadPattBtn->click(); // cancelled
    EXPECT_EQ(answers.remaining(), 0);
    EXPECT_EQ(messages.texts().size(), 1);
    EXPECT_TRUE(form.pattern);
}

TEST_F(ToolsPanel, ThePaletteBoxShowsThePipette) {
    const QCursor cursor = form.PalPaintBox->cursor();
    const qreal dpr = form.devicePixelRatioF();
    EXPECT_EQ(cursor.hotSpot(), toolcursors::hotSpot(ToolCursor::Drop));
    EXPECT_EQ(cursor.pixmap().toImage(),
              toolcursors::cursorPixmap(ToolCursor::Drop, dpr).toImage());
    EXPECT_EQ(form.toolCursor(ToolCursor::Lupe).hotSpot(), QPoint(11, 11));
}
