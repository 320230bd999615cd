#include "DocumentFixture.h"

#include "image/ViewPainter.h"

#include <QImage>
#include <QPainter>
#include <QRegion>

#include <gtest/gtest.h>

using namespace grafikrw3;

namespace {

// The view's pixels over `exposed` (paint-box coordinates) as the frame paints them.
QImage paintView(const ImageDocument& doc, const QRect& exposed) {
    QImage out(exposed.size(), QImage::Format_RGB32);
    out.fill(qRgb(1, 2, 3));
    QPainter painter(&out);
    painter.translate(-exposed.topLeft());
    painter.setClipRect(exposed);
    paintDocumentView(painter, doc, exposed);
    return out;
}

QRgb screenPixel(const dib& d, int x, int y) {
    const std::uint32_t v = getpixel(d, x, y);
    if (DIBBitCount(d) == 24) {
        return qRgb(int(v & 0xff), int((v >> 8) & 0xff), int((v >> 16) & 0xff));
    }
    const RGBQUAD& c = d.pmi->colors()[v];
    return qRgb(c.rgbRed, c.rgbGreen, c.rgbBlue);
}

TEST(ZoomViewTest, StepsConversionsAndTheZoomList) {
    ZoomView v;
    std::vector<std::pair<int, int>> steps;
    for (int i = 0; i < 16; ++i) {
        v = v.zoomedIn();
        steps.emplace_back(v.zoomin, v.zoomout);
    }
    EXPECT_EQ(steps.front(), std::make_pair(2, 1));
    EXPECT_EQ(steps[14], std::make_pair(16, 1));
    EXPECT_EQ(steps[15], std::make_pair(16, 1));
    v = {1, 4};
    v = v.zoomedIn().zoomedIn().zoomedIn().zoomedIn();
    EXPECT_EQ(v, (ZoomView{2, 1}));
    EXPECT_EQ((ZoomView{1, 16}.zoomedOut()), (ZoomView{1, 16}));

    const ZoomView third{1, 3};
    EXPECT_EQ(third.paintBoxSize(100, 7), QSize(33, 2));
    EXPECT_EQ(third.toImage(32), 96);
    EXPECT_EQ((ZoomView{2, 1}.toImage(-5)), -2);
    EXPECT_EQ((ZoomView{1, 2}.toImage(-5)), -10);

    for (int i = 0; i <= 30; ++i) {
        EXPECT_EQ(ZoomView::fromZoomBoxIndex(i).zoomBoxIndex(), i);
    }
    EXPECT_EQ(ZoomView::fromZoomBoxIndex(0), (ZoomView{16, 1}));
    EXPECT_EQ(ZoomView::fromZoomBoxIndex(16), (ZoomView{1, 2}));

    // Scrolled to 7 at 4:1: the repaint starts at 4 and covers the width + 3, rounded up.
    const ZoomView::PaintArea area = ZoomView{4, 1}.paintArea(QRect(7, 0, 398, 300));
    EXPECT_EQ(area.paintBox, QRect(4, 0, 404, 300));
    EXPECT_EQ(area.image, QRect(1, 0, 101, 75));
}

TEST(DocumentView, ZoomStepsCentreOnThePointAndReportTheirFactor) {
    DocumentFixture f(makeWhiteImage(400, 300));
    f.doc.ZoomInAt(300, 200);
    EXPECT_EQ(f.host.box, QSize(800, 600));
    EXPECT_EQ(f.host.state.h, 600 - 417 / 2);
    EXPECT_EQ(f.host.state.v, 400 - 317 / 2);
    EXPECT_EQ(f.host.zoomBoxIndex, 14);
    EXPECT_EQ(f.host.caption, "Bild bearbeiten - NONAME [2:1]");

    f.doc.SetZoom(16, 1);
    f.host.state.h = 0;
    f.doc.ZoomInAt(3200, 40);
    EXPECT_EQ(f.doc.zoomin, 16);
    EXPECT_EQ(f.host.state.h, 3200 - 417 / 2) << "at 16:1 the view still centres";

    f.doc.ZoomOutAt(0, 0);
    EXPECT_EQ(f.doc.view(), (ZoomView{15, 1}));
    f.click(f.tool(Tool::Zoom), {10, 10}, {}, TMouseButton::Middle);
    EXPECT_EQ(f.doc.view(), (ZoomView{15, 1})) << "the middle button does not zoom";
    f.click(f.tool(Tool::Zoom), {10, 10}, {}, TMouseButton::Right);
    EXPECT_EQ(f.doc.view(), (ZoomView{14, 1}));
    EXPECT_EQ(f.doc.CanUndo, 0);
}

TEST(DocumentView, SetZoomKeepsTheViewCentreAndAWholeAxisCentresOnTheImage) {
    // 100 x 100 in a 344-pixel box is shown whole: its middle (50, 50) stays the centre, and at
    // 2:1 the 200 pixels still fit, so the view stays at the origin.
    DocumentFixture f(makeWhiteImage(100, 100));
    f.host.state = {0, 0, 327, 327, 344, 344};
    f.doc.SetZoom(2, 1);
    EXPECT_EQ(f.host.state.h, 0);
    EXPECT_EQ(f.host.state.v, 0);

    // Scrolled into a large picture the view keeps the point in its middle, (1008, 458).
    DocumentFixture big(makeWhiteImage(2000, 1000));
    big.host.state = {800, 300, 400, 300, 417, 317};
    big.doc.SetZoom(2, 1);
    EXPECT_EQ(big.host.state.h, 2016 - 208);
    EXPECT_EQ(big.host.state.v, 916 - 158);
    EXPECT_EQ(big.host.zoomBoxIndex, 14);
    big.doc.SetZoom(1, 1);
    EXPECT_EQ(big.host.state.h, 800);
    EXPECT_EQ(big.host.state.v, 300);
    // Reduced: at 1:4 the centre (100 + 208) * 4 = 1232 comes back to 1232 - 208 at 1:1.
    big.doc.SetZoom(1, 4);
    big.host.state.h = 100;
    big.doc.SetZoom(1, 1);
    EXPECT_EQ(big.host.state.h, 1232 - 208);
}

TEST(ZoomView, CentredScrollPositionsTruncateAndStayInsideTheZoomedImage) {
    EXPECT_EQ(ZoomView::centredScrollPosition(0, 7, 33, {1, 3}, {16, 1}), 9 * 16 - 3);
    EXPECT_EQ(ZoomView::centredScrollPosition(0, 1000, 3, {16, 1}, {1, 16}), 0);
    EXPECT_EQ(ZoomView::centredScrollPosition(1700, 344, 2000, {1, 1}, {16, 1}), 1872 * 16 - 172);
}

TEST(DocumentView, HandScrollsByTheDragWithoutAnUndoStep) {
    DocumentFixture f(makeWhiteImage(1000, 800));
    f.host.state.h = 50;
    f.host.state.v = 50;
    const ToolOptions hand = f.tool(Tool::Hand);
    f.doc.PaintBox1MouseDown(TMouseButton::Left, {}, 100, 100, hand);
    f.doc.PaintBox1MouseMove({}, 90, 80, hand);
    EXPECT_EQ(f.host.state.h, 60);
    EXPECT_EQ(f.host.state.v, 70);
    f.doc.PaintBox1MouseUp(TMouseButton::Left, {}, 200, 200, hand);
    EXPECT_EQ(f.host.state.h, 0);
    EXPECT_EQ(f.host.state.v, 0);
    EXPECT_EQ(f.doc.CanUndo, 0);
    EXPECT_FALSE(f.doc.changed);
}

TEST(DocumentView, StatusTextsColoursAndCursors) {
    DocumentFixture f(makeWhiteImage(320, 200));
    const ToolOptions select = f.tool(Tool::Select);
    f.doc.PaintBox1MouseMove({}, 12, 7, select);
    EXPECT_EQ(f.host.status[1], "Bild: 320 x 200 x 16777216 - 187 KByte   ");
    EXPECT_EQ(f.host.status[0], "( 12 , 7 )");
    EXPECT_EQ(f.host.cursor, 7);
    f.doc.ScrollBox1MouseMove();
    EXPECT_EQ(f.host.status[1], "Bild: 320 x 200 x 16777216 - 187 KByte");
    EXPECT_EQ(f.host.colors[1], qRgb(0, 0, 0));
    EXPECT_EQ(f.host.colors[2], qRgb(255, 255, 255));

    f.doc.PaintBox1MouseDown(TMouseButton::Left, {}, 10, 20, select);
    f.doc.PaintBox1MouseMove({}, 30, 40, select);
    EXPECT_EQ(f.host.status[0], "( 10 , 20 ) ->( 30 , 40 ) = ( 21 x 21 )");
    f.doc.PaintBox1MouseUp(TMouseButton::Left, {}, 30, 40, select);

    f.doc.PaintBox1MouseMove({}, 15, 25, select);
    EXPECT_EQ(f.host.cursor, 1) << "over the selection";
    f.doc.PaintBox1MouseMove(withShift(), 15, 25, select);
    EXPECT_EQ(f.host.cursor, 15);
    f.doc.PaintBox1MouseMove(withCtrl(), 200, 25, f.tool(Tool::Magic));
    EXPECT_EQ(f.host.cursor, 14);

    f.doc.SetZoom(2, 1);
    f.doc.PaintBox1MouseMove({}, -5, 3, f.tool(Tool::Drop));
    EXPECT_EQ(f.host.status[0], "( -2 , 1 )");
    f.doc.PaintBox1MouseMove({}, 6, 3, f.tool(Tool::Drop));
    ASSERT_TRUE(f.host.readout);
    EXPECT_EQ(f.host.readout->index, -1);
    EXPECT_EQ(f.host.readout->swatch, qRgb(255, 255, 255));

    OwnedDib tiny;
    newdib(&tiny.get(), 1, 1, 8, nullptr, 0);
    setpixel(tiny.get(), 0, 0, 7);
    DocumentFixture palette(std::move(tiny));
    EXPECT_EQ(palette.doc.col2, 255);
    palette.doc.PaintBox1MouseMove({}, 0, 0, palette.tool(Tool::Drop));
    EXPECT_EQ(palette.host.status[1], "Bild: 1 x 1 x 256 - 0 KByte   ");
    EXPECT_EQ(palette.host.readout->index, 7);
    EXPECT_EQ(palette.host.readout->red, 7 * 255 / 255);
    palette.click(palette.tool(Tool::Drop), {0, 0}, {}, TMouseButton::Right);
    EXPECT_EQ(palette.doc.col2, 7);
}

// Every paint-box pixel shows image pixel (p * zoomout / zoomin), for any exposed part.
TEST(ViewPainter, ShowsTheExposedPartAtEveryMagnification) {
    for (const int bits : kAllDepths) {
        for (const ZoomView z :
             {ZoomView{1, 1}, ZoomView{4, 1}, ZoomView{3, 1}, ZoomView{1, 3}, ZoomView{1, 2}}) {
            if (bits < 8 && z.zoomout > 1) {
                continue; // reduced packed pictures are scaled by the device
            }
            DocumentFixture f(patternPicture(37, 23, bits));
            f.doc.SetZoom(z.zoomin, z.zoomout);
            const QSize box = f.doc.paintBoxSize();
            for (QRect exposed : {QRect(QPoint(0, 0), box), QRect(5, 3, 17, 9),
                                  QRect(box.width() - 6, box.height() - 5, 6, 5)}) {
                exposed &= QRect(QPoint(0, 0), box);
                const QImage shown = paintView(f.doc, exposed);
                for (int y = 0; y < exposed.height(); ++y) {
                    for (int x = 0; x < exposed.width(); ++x) {
                        const int ix = z.toImage(exposed.x() + x);
                        const int iy = z.toImage(exposed.y() + y);
                        ASSERT_EQ(shown.pixel(x, y), screenPixel(f.doc.di.get(), ix, iy))
                            << bits << " bits " << z.zoomin << ":" << z.zoomout << " at "
                            << exposed.x() + x << "," << exposed.y() + y;
                    }
                }
            }
        }
    }
}

TEST(ViewPainter, PaintsDeepInsideAHugeMagnifiedView) {
    OwnedDib picture;
    newdib(&picture.get(), 4000, 3000, 24, nullptr, 0);
    for (int y = 1875; y < 1880; ++y) {
        for (int x = 2500; x < 2508; ++x) {
            setpixel(picture.get(), x, y, std::uint32_t(x * 7919 + y * 104729) & 0xffffff);
        }
    }
    DocumentFixture f(std::move(picture));
    f.doc.SetZoom(16, 1);
    EXPECT_EQ(f.host.box, QSize(64000, 48000));
    const QRect exposed(40003, 30001, 97, 61);
    const QImage shown = paintView(f.doc, exposed);
    for (int y = 0; y < exposed.height(); ++y) {
        for (int x = 0; x < exposed.width(); ++x) {
            ASSERT_EQ(shown.pixel(x, y),
                      screenPixel(f.doc.di.get(), (exposed.x() + x) / 16, (exposed.y() + y) / 16));
        }
    }
}

TEST(ViewPainter, AntsMarchOverTheOutlineAndTheRubberBandInverts) {
    DocumentFixture f(makeWhiteImage(6, 5));
    f.doc.SetZoom(4, 1);
    ASSERT_TRUE(f.doc.SelectAll());
    f.doc.Timer1Timer();
    f.doc.Timer1Timer();
    EXPECT_EQ(f.doc.selpos, 2);
    const QImage ants = paintView(f.doc, QRect(0, 0, 24, 20));
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 6; ++x) {
            const bool edge = x == 0 || y == 0 || x == 5 || y == 4;
            const bool white = ((x + 2) / 5 + (y + 2) / 5) % 2 == 1;
            const QRgb expected = !edge || white ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
            EXPECT_EQ(ants.pixel(4 * x + 3, 4 * y + 1), expected) << x << "," << y;
        }
    }

    // A rectangle band from (2, 3) to (13, 11) inverts the outline of 2...12 x 3...10 once.
    ASSERT_TRUE(f.doc.SelectNone());
    const ToolOptions select = f.tool(Tool::Select);
    f.doc.PaintBox1MouseDown(TMouseButton::Left, {}, 2, 3, select);
    f.doc.PaintBox1MouseMove({}, 13, 11, select);
    const QImage band = paintView(f.doc, QRect(0, 0, 24, 20));
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 24; ++x) {
            const bool inside = x >= 2 && x <= 12 && y >= 3 && y <= 10;
            const bool outline = inside && (x == 2 || x == 12 || y == 3 || y == 10);
            ASSERT_EQ(band.pixel(x, y), outline ? qRgb(0, 0, 0) : qRgb(255, 255, 255))
                << x << "," << y;
        }
    }
    f.doc.PaintBox1MouseUp(TMouseButton::Left, {}, 13, 11, select);
    EXPECT_EQ(f.doc.rubberBand().kind, RubberBand::Kind::None);
    EXPECT_EQ(f.doc.selrect, (TRect{0, 0, 3, 2}));
}

// Dragging a band or floating pixels repaints the figure's edges and the floating pixels'
// old and new places, never the whole view.
TEST(ViewPainter, DragsRepaintOnlyWhatChanges) {
    DocumentFixture f(makeWhiteImage(400, 300));
    f.doc.SetZoom(4, 1);
    const ToolOptions select = f.tool(Tool::Select);
    f.doc.PaintBox1MouseDown(TMouseButton::Left, {}, 100, 100, select);
    f.doc.PaintBox1MouseMove({}, 900, 700, select);
    const int all = f.host.invalidatedAll;
    f.host.invalidated.clear();
    f.doc.PaintBox1MouseMove({}, 904, 710, select);
    EXPECT_EQ(f.host.invalidated.size(), 8u);
    std::int64_t area = 0;
    for (const QRect& r : f.host.invalidated) {
        area += std::int64_t(r.width()) * r.height();
    }
    EXPECT_LT(area, 2 * (2 * 808 + 2 * 612)) << "the edges only";
    f.doc.PaintBox1MouseUp(TMouseButton::Left, {}, 904, 710, select);

    // Floating pixels of 201 x 153 paint-box pixels moved by 8: the old and the new place.
    f.doc.PaintBox1MouseDown(TMouseButton::Left, {}, 400, 400, select);
    f.host.invalidated.clear();
    f.doc.PaintBox1MouseMove({}, 408, 400, select);
    QRegion repainted;
    for (const QRect& r : f.host.invalidated) {
        repainted += r;
    }
    const QRect floating =
        f.doc.view().paintBoxRect(QRect(QPoint(f.doc.selrect.Left, f.doc.selrect.Top),
                                        QPoint(f.doc.selrect.Right, f.doc.selrect.Bottom)));
    EXPECT_EQ(repainted, QRegion(floating) + QRegion(floating.translated(8, 0)));
    EXPECT_EQ(f.host.invalidatedAll, all);
    f.doc.PaintBox1MouseUp(TMouseButton::Left, {}, 408, 400, select);
}

} // namespace
