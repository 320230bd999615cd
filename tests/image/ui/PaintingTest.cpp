#include "DocumentFixture.h"

#include "image/ui/TAddTextForm.h"
#include "image/ui/TImagePaintBox.h"
#include "image/ui/TMDIChild.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace grafikrw3;

namespace {

// Runs `act` on the next modal dialog as soon as it shows.
void onNextDialog(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            act(dialog);
        }
    });
    timer->start();
}

bool hasInk(const QImage& image, QRgb background) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != background) {
                return true;
            }
        }
    }
    return false;
}

TEST(TAddTextForm, DefaultsPreviewOfTheFirstLineAndRememberedValues) {
    QSettings().remove(QStringLiteral("Formulare/AddTextForm"));
    {
        TAddTextForm form;
        EXPECT_EQ(form.windowTitle(), "Text hinzufügen");
        EXPECT_EQ(form.FntLabel->text(), "Times New Roman ; Größe:16");
        EXPECT_EQ(form.TxtMemo->toPlainText(), "Test");
        EXPECT_TRUE(form.Leftb->isChecked());
        EXPECT_EQ(form.SelFont->text(), "Schriftart &wählen...");
        EXPECT_EQ(form.CancelBtn->text(), "A&bbrechen");

        form.show();
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSize(24);
        form.setChosenFont(font);
        EXPECT_EQ(form.FntLabel->text(), "DejaVu Sans ; Größe:24");
        form.TxtMemo->setPlainText(QStringLiteral("Ab"));
        const QImage first = form.FontPaintBox->grab().toImage();
        EXPECT_TRUE(hasInk(first, first.pixel(first.width() - 1, first.height() - 1)));
        form.TxtMemo->setPlainText(QStringLiteral("Ab\nganz anders"));
        EXPECT_EQ(form.FontPaintBox->grab().toImage(), first) << "the preview shows line 1 only";
        form.Zentr->setChecked(true);
        const TextBlock block = form.textBlock();
        EXPECT_EQ(block.lines, QStringList({"Ab", "ganz anders"}));
        EXPECT_EQ(block.alignment, TextBlock::Alignment::Centre);
        form.OkBtn->click();
    }
    TAddTextForm again;
    again.show();
    EXPECT_EQ(again.TxtMemo->toPlainText(), "Ab\nganz anders");
    EXPECT_TRUE(again.Zentr->isChecked());
    EXPECT_EQ(again.chosenFont().family(), "DejaVu Sans");
    EXPECT_EQ(again.chosenFont().pointSize(), 24);
    again.reject();
}

struct Frame {
    FakeHost window;
    TMDIChild frame;
    ToolOptions options;

    explicit Frame(OwnedDib picture) {
        frame.doc().setEditorHost(&window);
        frame.toolOptions = [this] { return options; };
        frame.resize(320, 240);
        frame.show();
        frame.doc().installImage(std::move(picture), QStringLiteral("NONAME"));
        QCoreApplication::processEvents();
    }
    ~Frame() { frame.doc().setEditorHost(nullptr); }
};

// Presses, moves and releases on the paint box reach the brush and the text tool: at 2:1 a
// stroke paints the image pixels under the pointer, the text dialog's lines float with the
// pointer, are put down by the next press and become part of the picture.
TEST(PaintingInTheFrame, BrushStrokeAndTextThroughMouseEvents) {
    Frame f(makeWhiteImage(100, 80));
    f.frame.doc().SetZoom(2, 1);
    TImagePaintBox* box = f.frame.PaintBox1;
    f.options.tool = Tool::Brush;
    f.options.tip = {0, 1, 100, 100, 0};
    QTest::mousePress(box, Qt::LeftButton, {}, QPoint(20, 20));
    for (int x = 22; x <= 40; x += 2) {
        QTest::mouseMove(box, QPoint(x, 20));
    }
    QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(40, 20));
    const ImageDocument& doc = f.frame.doc();
    for (int x = 0; x < 100; ++x) {
        EXPECT_EQ(getpixel(doc.di.get(), x, 10), x >= 10 && x <= 20 ? 0u : 0xffffffu) << x;
    }
    EXPECT_EQ(doc.CanUndo, 1);
    const QImage shown = box->grab(QRect(20, 20, 22, 2)).toImage();
    EXPECT_EQ(shown.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(shown.pixel(21, 1), qRgb(0, 0, 0));

    f.options.tool = Tool::Txt;
    f.frame.doc().setcol1(0x0000ff);
    onNextDialog([](QWidget* dialog) {
        auto* form = qobject_cast<TAddTextForm*>(dialog);
        ASSERT_NE(form, nullptr);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(16);
        form->setChosenFont(font);
        form->TxtMemo->setPlainText(QStringLiteral("Hi"));
        form->OkBtn->click();
    });
    QTest::mousePress(box, Qt::LeftButton, {}, QPoint(10, 100));
    EXPECT_EQ(doc.PaintZeug, paintzeug::kPlaceFloating);
    QTest::mouseMove(box, QPoint(60, 90));
    QTest::mouseMove(box, QPoint(80, 100));
    QTest::mousePress(box, Qt::LeftButton, {}, QPoint(80, 100));
    QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(80, 100));
    EXPECT_TRUE(doc.DragingNotFinished);
    f.frame.doc().FinishDraging();
    int red = 0;
    for (int y = 0; y < 80; ++y) {
        for (int x = 0; x < 100; ++x) {
            if (getpixel(doc.di.get(), x, y) == 0x0000ffu) {
                ++red;
                EXPECT_GE(x, 40);
                EXPECT_GE(y, 50);
            }
        }
    }
    EXPECT_GT(red, 15);
}

} // namespace
