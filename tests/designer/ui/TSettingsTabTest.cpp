#include "designer/ui/TSettingsTab.h"
#include "designer/ui/ProgramWindows.h"
#include "designer/ui/TMainForm.h"

#include "designer/PageRenderer.h"
#include "image/ui/TAddTextForm.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <functional>

#include <gtest/gtest.h>

namespace {

class SettingsTab : public ::testing::Test {
protected:
    ProgramWindows windows;
    void SetUp() override { windows.create({QStringLiteral("tessaplan-designer")}); }
    TSettingsTab& tab() { return *windows.MainForm->TabSheet2; }
};

// Replaces the field's text by typing `keys`, then Return.
void typeInto(QDoubleSpinBox* edit, const QString& keys) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, keys);
    QTest::keyClick(edit, Qt::Key_Return);
}

// Clicks `button` and runs `inDialog` on the font dialog it opens, which it then closes with
// `result`.
void withFontDialog(QPushButton* button, std::function<void(QFontDialog*)> inDialog,
                    QDialogButtonBox::StandardButton result) {
    QTimer timer;
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) {
            return;
        }
        timer.stop();
        inDialog(dialog);
        QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(result), Qt::LeftButton);
    });
    timer.start();
    QTest::mouseClick(button, Qt::LeftButton);
}

// Runs `inDialog` on the colour dialog once it shows, then closes it with `result`.
void whenColourDialogShows(std::function<void(QColorDialog*)> inDialog,
                           QDialogButtonBox::StandardButton result) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, inDialog, result] {
        auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        inDialog(dialog);
        QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(result), Qt::LeftButton);
    });
    timer->start();
}

} // namespace

TEST_F(SettingsTab, DecimalFieldsTakePointAndCommaAndShowTheComma) {
    for (QDoubleSpinBox* edit :
         {tab().BreitEd, tab().BreitLegendeEd, tab().RandEd, tab().PenWidEd}) {
        const std::string name = edit->objectName().toStdString();
        typeInto(edit, QStringLiteral("7.5"));
        EXPECT_DOUBLE_EQ(edit->value(), 7.5) << name;
        EXPECT_EQ(edit->text().toStdString(), "7,50") << name;
        typeInto(edit, QStringLiteral("2,25"));
        EXPECT_DOUBLE_EQ(edit->value(), 2.25) << name;
        typeInto(edit, QStringLiteral("12.35"));
        EXPECT_DOUBLE_EQ(edit->value(), 12.35) << name;
        // A thousands separator has no place here: nothing is ever multiplied.
        typeInto(edit, QStringLiteral("1.000"));
        EXPECT_DOUBLE_EQ(edit->value(), 1.0) << name;
    }
}

TEST_F(SettingsTab, FontDialogOpensOnTheStoredFontAndOkWithoutAChangeKeepsIt) {
    const PageFont stored = tab().FontDialog2; // Tahoma, 11 points, bold
    const QString standIn = QFontInfo(stored.font).family();
    if (standIn == QStringLiteral("Tahoma")) {
        GTEST_SKIP() << "Tahoma is installed here";
    }
    QFont opened;
    QStringList fields;
    withFontDialog(
        tab().BitBtn7,
        [&](QFontDialog* dialog) {
            opened = dialog->currentFont();
            for (const QLineEdit* field : dialog->findChildren<QLineEdit*>()) {
                fields << field->text();
            }
        },
        QDialogButtonBox::Ok);
    EXPECT_EQ(opened.family(), standIn);
    EXPECT_EQ(opened.pointSize(), 11);
    EXPECT_TRUE(opened.bold());
    ASSERT_GE(fields.size(), 3);
    EXPECT_EQ(fields[0].toStdString(), "Tahoma");
    EXPECT_EQ(fields[2].toStdString(), "11");
    const PageFont& kept = tab().FontDialog2;
    EXPECT_EQ(kept.font.family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(kept.pointSize(), 11);
    EXPECT_TRUE(kept.font.bold());
    EXPECT_EQ(kept.color, stored.color); // the system's text colour, as stored
    // What is drawn takes the stored style through the stand-in.
    EXPECT_TRUE(QFontInfo(deviceFont(kept, 300)).bold());

    // A change is taken.
    withFontDialog(
        tab().BitBtn7, [&](QFontDialog* dialog) { dialog->setCurrentFont(QFont(standIn, 14)); },
        QDialogButtonBox::Ok);
    EXPECT_EQ(tab().FontDialog2.font.family(), standIn);
    EXPECT_EQ(tab().FontDialog2.pointSize(), 14);
    EXPECT_FALSE(tab().FontDialog2.font.bold());
}

TEST_F(SettingsTab, PastingWhileTheClipboardOffersNothingInsertsNothing) {
    // Every multi-line field of both windows: the text under the chart and the editor's text
    // tool dialog.
    TAddTextForm textDialog;
    windows.MainForm->show();
    windows.MainForm->PageControl1->setCurrentWidget(&tab());
    textDialog.show();
    QClipboard* clipboard = QApplication::clipboard();
    // An emptied clipboard offers no data here; an X clipboard without owner offers data
    // without any format, on which Qt 6.4.2 crashes.
    const std::function<void()> empties[] = {
        [clipboard] { clipboard->clear(); },
        [clipboard] { clipboard->setMimeData(new QMimeData); },
    };
    const struct {
        const char* what;
        std::function<void(QPlainTextEdit*)> paste;
    } ways[] = {
        {"Ctrl+V", [](QPlainTextEdit* e) { QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier); }},
        {"Shift+Insert",
         [](QPlainTextEdit* e) { QTest::keyClick(e, Qt::Key_Insert, Qt::ShiftModifier); }},
        {"context menu",
         [](QPlainTextEdit* e) {
             const QPoint at(5, 5);
             QContextMenuEvent event(QContextMenuEvent::Mouse, at, e->viewport()->mapToGlobal(at));
             QApplication::sendEvent(e->viewport(), &event);
             auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
             ASSERT_NE(menu, nullptr);
             QAction* paste = menu->findChild<QAction*>(QStringLiteral("edit-paste"));
             ASSERT_NE(paste, nullptr);
             paste->activate(QAction::Trigger);
             menu->close();
         }},
        {"middle button",
         [](QPlainTextEdit* e) { QTest::mouseClick(e->viewport(), Qt::MiddleButton); }},
    };
    for (QPlainTextEdit* field : {tab().Memo2, textDialog.TxtMemo}) {
        for (const auto& empty : empties) {
            for (const auto& way : ways) {
                field->setPlainText(QStringLiteral("Anfang"));
                field->moveCursor(QTextCursor::End);
                empty();
                way.paste(field);
                EXPECT_EQ(field->toPlainText(), QStringLiteral("Anfang"))
                    << field->objectName().toStdString() << ", " << way.what;
            }
        }
        // What the clipboard does hold is pasted as before.
        clipboard->setText(QStringLiteral(" Wolle"));
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(field->toPlainText(), QStringLiteral("Anfang Wolle"));
    }
}

TEST_F(SettingsTab, EachFontHasAColourThatOnlyAChoiceChanges) {
    const struct {
        QPushButton* button;
        PageFont* font;
    } fonts[] = {{tab().BitBtn6, &tab().FontDialog1},
                 {tab().BitBtn7, &tab().FontDialog2},
                 {tab().BitBtn8, &tab().FontDialog3}};
    int changes = 0;
    QObject::connect(&tab(), &TSettingsTab::fontChanged, [&changes] { ++changes; });
    // Picks `colour` in the colour dialog, or cancels it, and closes the font dialog with OK.
    auto chooseColour = [](QPushButton* button, const QColor& colour,
                           QDialogButtonBox::StandardButton result) {
        withFontDialog(
            button,
            [&](QFontDialog* dialog) {
                whenColourDialogShows([&](QColorDialog* c) { c->setCurrentColor(colour); }, result);
                QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("FontColorBtn")),
                                  Qt::LeftButton);
            },
            QDialogButtonBox::Ok);
    };
    for (const auto& f : fonts) {
        const std::string name = f.button->objectName().toStdString();
        const PageFont before = *f.font;
        ASSERT_EQ(before.color, kColorWindowText) << name;
        chooseColour(f.button, QColor(200, 30, 40), QDialogButtonBox::Cancel);
        EXPECT_EQ(f.font->color, kColorWindowText) << name;
        // The system's text colour chosen as such stays the system colour.
        chooseColour(f.button, Qt::black, QDialogButtonBox::Ok);
        EXPECT_EQ(f.font->color, kColorWindowText) << name;
        EXPECT_EQ(changes, 0) << name;

        chooseColour(f.button, QColor(200, 30, 40), QDialogButtonBox::Ok);
        EXPECT_EQ(f.font->color, 200u + 30u * 256 + 40u * 65536) << name;
        EXPECT_EQ(fontColor(*f.font), QColor(200, 30, 40)) << name;
        EXPECT_EQ(f.font->font, before.font) << name; // the face stays as stored
        EXPECT_EQ(changes, 1) << name;
        changes = 0;
    }
    // The page draws with it.
    EXPECT_EQ(tab().settings().textFont.color, 200u + 30u * 256 + 40u * 65536);
}
