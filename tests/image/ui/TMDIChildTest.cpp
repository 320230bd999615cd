#include "DocumentFixture.h"

#include "image/ui/TImagePaintBox.h"
#include "image/ui/TMDIChild.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace grafikrw3;

namespace {

// The editor window's side, as a fake.
class Window : public FakeHost {};

struct Frame {
    Window window;
    TMDIChild frame;
    ToolOptions options;

    explicit Frame(OwnedDib picture) {
        frame.doc().setEditorHost(&window);
        frame.toolOptions = [this] { return options; };
        frame.resize(300, 200);
        frame.show();
        frame.doc().installImage(std::move(picture), QStringLiteral("NONAME"));
        QCoreApplication::processEvents();
    }
    ~Frame() { frame.doc().setEditorHost(nullptr); }
};

TEST(TMDIChild, FrameScrollsTheZoomedImageAndPaintsIt) {
    OwnedDib picture = makeWhiteImage(300, 200);
    setpixel(picture.get(), 150, 100, 0x0000ff); // red
    Frame f(std::move(picture));
    EXPECT_EQ(f.frame.Timer1->interval(), 250);
    EXPECT_TRUE(f.frame.Timer1->isActive());
    EXPECT_EQ(f.frame.ScrollBox1->widget(), f.frame.PaintBox1);
    EXPECT_EQ(f.frame.PaintBox1->size(), QSize(300, 200));

    f.frame.doc().ZoomInAt(150, 100);
    f.frame.doc().SetZoom(4, 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(f.frame.PaintBox1->size(), QSize(1200, 800));
    const ScrollState s = f.frame.scrollState();
    EXPECT_GT(s.h, 0);
    EXPECT_EQ(f.frame.ScrollBox1->horizontalScrollBar()->maximum(), 1200 - s.clientWidth);
    EXPECT_EQ(f.window.caption, "Bild bearbeiten - NONAME [4:1]");

    // The red pixel fills four by four screen pixels wherever the view stands.
    const QImage shown = f.frame.PaintBox1->grab(QRect(596, 396, 8, 8)).toImage();
    EXPECT_EQ(shown.pixel(4, 4), qRgb(255, 0, 0));
    EXPECT_EQ(shown.pixel(7, 7), qRgb(255, 0, 0));
    EXPECT_EQ(shown.pixel(3, 3), qRgb(255, 255, 255));
}

TEST(TMDIChild, MouseEventsReachTheToolsInPaintBoxCoordinates) {
    Frame f(makeWhiteImage(120, 90));
    f.frame.doc().SetZoom(2, 1);
    f.options.tool = Tool::Select;
    f.options.typ = 2;
    TImagePaintBox* box = f.frame.PaintBox1;
    QTest::mousePress(box, Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseMove(box, QPoint(60, 50));
    EXPECT_EQ(f.frame.doc().rubberBand().kind, RubberBand::Kind::Ellipse);
    EXPECT_EQ(f.window.status[0], "( 10 , 10 ) ->( 30 , 25 ) = ( 21 x 16 )");
    QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(60, 50));
    EXPECT_TRUE(f.frame.doc().selaktiv);
    EXPECT_EQ(f.frame.doc().selrect, (TRect{10, 10, 29, 24}));
    EXPECT_FALSE(f.frame.doc().inPaint);

    QTest::mouseMove(box, QPoint(40, 30));
    EXPECT_EQ(f.frame.toolCursor(), 1);
    EXPECT_EQ(box->cursor().shape(), Qt::SizeAllCursor);
    f.frame.registerCursor(7, QCursor(Qt::WaitCursor));
    QTest::mouseMove(box, QPoint(100, 100));
    EXPECT_EQ(box->cursor().shape(), Qt::WaitCursor);
}

TEST(TMDIChild, PlacedPixelsHoldTheMouseUntilTheNextPress) {
    Frame f(makeWhiteImage(60, 40));
    ASSERT_TRUE(f.frame.doc().InitDraging(patternPicture(5, 5, 24), {}, false, false, 99, true));
    EXPECT_EQ(QWidget::mouseGrabber(), f.frame.PaintBox1);
    QTest::mouseMove(f.frame.PaintBox1, QPoint(10, 12));
    QTest::mousePress(f.frame.PaintBox1, Qt::RightButton, {}, QPoint(10, 12));
    QTest::mouseRelease(f.frame.PaintBox1, Qt::RightButton, {}, QPoint(10, 12));
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_TRUE(f.frame.doc().DragingNotFinished);
    EXPECT_EQ(f.frame.doc().selrect, (TRect{10, 12, 14, 16}));
}

} // namespace
