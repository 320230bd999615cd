#include "editor/ui/PrintLayout.h"
#include "editor/ui/TPrintForm.h"

#include "foundation/grafikrw3/grafikrw3.h"
#include "foundation/ui/TPaintBox.h"

#include "PdfImages.h"
#include "Pictures.h"
#include "foundation/DrawDib.h"

#include <QCheckBox>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>

namespace {

const QSize kPortrait(4800, 6600);

PrintChoice percent(int breit, int hoch, bool centre) {
    PrintChoice c;
    c.fullPage = false;
    c.breit = breit;
    c.hoch = hoch;
    c.centre = centre;
    return c;
}

PrintChoice fullPage(bool keepAspect) {
    PrintChoice c;
    c.keepAspect = keepAspect;
    return c;
}

OwnedDib solid(int width, int height, std::uint32_t colour) {
    OwnedDib picture;
    grafikrw3::newdib(&picture.get(), width, height, 24, nullptr, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            grafikrw3::setpixel(picture.get(), x, y, colour);
        }
    }
    return picture;
}

// The rectangle of the pixels of `image` that have colour `c`, or empty when they do not
// fill one.
QRect areaOf(const QImage& image, QRgb c) {
    QRect box;
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == c) {
                box |= QRect(x, y, 1, 1);
                ++count;
            }
        }
    }
    return count == box.width() * box.height() ? box : QRect();
}

} // namespace

TEST(PrintLayout, PlacesThePictureOnThePageAndOnTheMiniature) {
    EXPECT_EQ(printPlacement({320, 200}, kPortrait, fullPage(true)), QRect(0, 1800, 4800, 3000));
    EXPECT_EQ(printPlacement({320, 200}, kPortrait, fullPage(false)), QRect(0, 0, 4800, 6600));
    EXPECT_EQ(printPlacement({100, 1000}, kPortrait, fullPage(true)), QRect(2070, 0, 660, 6600));
    EXPECT_EQ(printPlacement({320, 200}, kPortrait, percent(50, 50, false)),
              QRect(0, 0, 2400, 3300));
    EXPECT_EQ(printPlacement({320, 200}, kPortrait, percent(50, 10, true)),
              QRect(1200, 2970, 2400, 660));
    // Percentages round halves to even.
    EXPECT_EQ(printPlacement({1, 1}, {4801, 4803}, percent(50, 50, false)).size(),
              QSize(2400, 2402));
    EXPECT_TRUE(printPlacement({0, 5}, kPortrait, fullPage(true)).isEmpty());

    EXPECT_EQ(previewPage(kPortrait, {190, 190}), QRect(26, 0, 138, 190));
    EXPECT_EQ(previewPage({6600, 4800}, {190, 190}), QRect(0, 26, 190, 138));
}

// The two percentages keep the picture's proportions on paper, each derived once from the
// other; a value that does not fit is limited and the other derived back from it. What the
// user typed is never changed by the way back.
TEST(PrintForm, PercentagesKeepTheProportions) {
    struct Step {
        QSize picture, page;
        bool width; // the user sets the width (else the height)
        int value;
        int breit, hoch; // then shown
    };
    const Step steps[] = {
        {{320, 200}, kPortrait, true, 50, 50, 22},   // 200*50/320 * 4800/6600 = 22.7
        {{320, 200}, kPortrait, true, 100, 100, 45}, //
        {{100, 1000}, kPortrait, true, 50, 13, 100}, // 363 is limited, 13.75 back
        {{200, 300}, {4800, 4800}, true, 3, 3, 4},   // 4.5 down to 4; 3 stays
        {{200, 300}, {4800, 4800}, false, 7, 4, 7},  // 4.67
        {{1, 1000}, kPortrait, true, 1, 1, 100},     // both ends limited: it stops
        {{1000, 1}, kPortrait, false, 1, 100, 1},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(QStringLiteral("%1x%2 %3")
                         .arg(s.picture.width())
                         .arg(s.picture.height())
                         .arg(s.value)
                         .toStdString());
        OwnedDib picture = solid(s.picture.width(), s.picture.height(), 0);
        TPrintForm form;
        form.di = &picture.get();
        form.pageSize = [&s] { return s.page; };
        form.UserdefCheck->click();
        EXPECT_TRUE(form.BreitEdit->isEnabled());
        (s.width ? form.BreitEdit : form.HochEdit)->setValue(s.value);
        EXPECT_EQ(form.BreitEdit->value(), s.breit);
        EXPECT_EQ(form.HochEdit->value(), s.hoch);
    }

    // Without the proportions the fields are free; the full page ignores them.
    OwnedDib picture = solid(320, 200, 0);
    TPrintForm form;
    form.di = &picture.get();
    form.pageSize = [] { return kPortrait; };
    EXPECT_FALSE(form.BreitEdit->isEnabled());
    form.UserdefCheck->click();
    form.SverhCheck->click();
    form.BreitEdit->setValue(80);
    form.HochEdit->setValue(30);
    EXPECT_EQ(form.choice().breit, 80);
    EXPECT_EQ(form.choice().hoch, 30);
    EXPECT_FALSE(form.choice().keepAspect);
}

// What the preview shows and what is printed: the picture in its place on a white page.
TEST(PrintForm, PreviewAndPrintShowThePictureWhereItGoes) {
    const QRgb red = qRgb(255, 0, 0);
    OwnedDib picture = solid(320, 200, 0x0000ff); // red in the low byte
    TPrintForm form;
    form.di = &picture.get();
    form.pageSize = [] { return kPortrait; };
    const QRect paper = previewPage(kPortrait, {190, 190});
    const QImage shown = form.PrintPaintBox->grab().toImage();
    // Full page with proportions, centred: 138 x 86 at the middle of the miniature page.
    const QRect expected =
        printPlacement({320, 200}, paper.size(), fullPage(true)).translated(paper.topLeft());
    EXPECT_EQ(areaOf(shown, red), expected);
    EXPECT_EQ(shown.pixel(paper.left() + 1, paper.top() + 1), qRgb(255, 255, 255));
    EXPECT_NE(shown.pixel(paper.left() - 1, paper.top() + 1), qRgb(255, 255, 255));

    // Printed at 40 % x 22 % at the top left corner of a page the size of an image.
    form.setChoice(percent(40, 22, false));
    QImage page(480, 660, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        printPicture(painter, picture.get(), page.size(), form.choice());
    }
    EXPECT_EQ(areaOf(page, red), QRect(0, 0, 192, 145));
}

TEST(PrintLayout, APrintedPictureReachesThePdfFileAsItIs) {
    // Neighbouring pixels of very different colours, which JPEG would blur.
    OwnedDib picture = patternPicture(160, 120, 24);
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("bild.pdf"));
    {
        QPdfWriter writer(pdf);
        writer.setResolution(300);
        QPainter painter(&writer);
        printPicture(painter, picture.get(), writer.pageLayout().paintRectPixels(300).size(),
                     fullPage(true));
    }
    const std::vector<PdfImage> stored = pdfImages(pdf, true);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_NE(stored[0].encoding, QStringLiteral("jpeg"));
    EXPECT_TRUE(stored[0].pixels ==
                dibToImage(picture.get()).convertToFormat(QImage::Format_RGB32));
}
