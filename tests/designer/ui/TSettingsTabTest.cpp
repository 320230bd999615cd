#include "designer/ui/TSettingsTab.h"
#include "designer/ui/ProgramWindows.h"
#include "designer/ui/TMainForm.h"

#include "designer/PageRenderer.h"
#include "image/ui/TAddTextForm.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
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
