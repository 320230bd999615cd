// Renders the image document frame in a few states into PNG files, for looking at the view:
// an elliptic selection with its marching ants, a floating selection and a rubber band, at
// 4:1 and at 1:4. A test tool only; the editor window is built elsewhere.
//
//   image_frame_shots <folder>
#include "image/ui/TImagePaintBox.h"
#include "image/ui/TMDIChild.h"

#include "foundation/grafikrw3/grafikrw3.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>
#include <QTest>

#include <cstdio>

namespace {

class ShotWindow : public QMainWindow, public EditorHost {
public:
    ShotWindow() {
        frame = new TMDIChild(this);
        setCentralWidget(frame);
        frame->doc().setEditorHost(this);
        frame->toolOptions = [this] { return options; };
        statusBar()->addWidget(position = new QLabel, 0);
        statusBar()->addWidget(summary = new QLabel, 1);
        position->setMinimumWidth(250);
    }
    ~ShotWindow() override { frame->doc().setEditorHost(nullptr); }

    void setCaption(const QString& caption) override { setWindowTitle(caption); }
    void UpdateMenuItems() override {}
    void setStatusText(int panel, const QString& text) override {
        (panel == 0 ? position : summary)->setText(text);
    }
    void showColor(int, QRgb) override {}
    void showColorReadout(const ColorReadout&) override {}
    void selectZoomBoxIndex(int) override {}
    void paletteChanged() override {}

    TMDIChild* frame = nullptr;
    QLabel* position = nullptr;
    QLabel* summary = nullptr;
    ToolOptions options;
};

// Soft colour bands, a grid every 10 pixels and a few discs, so that single pixels show at 4:1
// and the shapes stay recognisable at 1:4.
OwnedDib scene(int width, int height) {
    OwnedDib picture;
    grafikrw3::newdib(&picture.get(), width, height, 24, nullptr, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int r = 120 + 100 * x / width, g = 200 - 120 * y / height, b = 160;
            const bool grid = x % 10 == 0 || y % 10 == 0;
            grafikrw3::setpixel(picture.get(), x, y,
                                grid ? 0x404040u : std::uint32_t(r | g << 8 | b << 16));
        }
    }
    const std::uint32_t colours[] = {0x2020e0, 0x20c020, 0xe08020, 0x10d0f0};
    for (int i = 0; i < 4; ++i) {
        const int cx = width * (i + 1) / 5, cy = height * (i % 2 ? 2 : 1) / 3;
        const int r = std::min(width, height) / 7;
        grafikrw3::FilledEllipse(picture.get(), cx - r, cy - r, cx + r, cy + r, colours[i]);
    }
    return picture;
}

void settle(int ticks) {
    for (int i = 0; i < ticks; ++i) {
        QTest::qWait(260);
    }
}

bool save(ShotWindow& w, const QString& folder, const QString& name) {
    QApplication::processEvents();
    const QString path = QDir(folder).filePath(name);
    const bool ok = w.grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "could not write", qPrintable(path));
    return ok;
}

// Drags with the left button from `from` to `to` in paint-box pixels.
void drag(TImagePaintBox* box, QPoint from, QPoint to, bool release = true) {
    QTest::mousePress(box, Qt::LeftButton, {}, from);
    for (int i = 1; i <= 8; ++i) {
        QTest::mouseMove(box, from + (to - from) * i / 8);
    }
    if (release) {
        QTest::mouseRelease(box, Qt::LeftButton, {}, to);
    }
}

bool shots(ShotWindow& w, const QString& folder, int zin, int zout, const QString& prefix) {
    ImageDocument& doc = w.frame->doc();
    TImagePaintBox* box = w.frame->PaintBox1;
    const int size = zin > 1 ? 400 : 4000;
    doc.installImage(scene(size, size * 3 / 4), prefix);
    doc.SetZoom(zin, zout);
    const ZoomView v = doc.view();
    QApplication::processEvents();
    // Look at the middle of the picture.
    const QSize paintBox = doc.paintBoxSize();
    w.frame->setScrollPosition(paintBox.width() / 2 - 300, paintBox.height() / 2 - 200);
    QApplication::processEvents();
    const ScrollState s = w.frame->scrollState();
    const QPoint origin(s.h, s.v);

    bool ok = true;
    w.options.tool = Tool::Select;
    w.options.typ = 2;
    drag(box, origin + QPoint(90, 60), origin + QPoint(430, 330), false);
    ok &= save(w, folder, prefix + "-rubberband.png");
    QTest::mouseRelease(box, Qt::LeftButton, {}, origin + QPoint(430, 330));
    settle(3);
    ok &= save(w, folder, prefix + "-ellipse.png");

    // Lift it with the hand tool and put it down lower right: the hole shows the background
    // colour, the ants run around the floating pixels.
    w.options.tool = Tool::Hand;
    drag(box, origin + QPoint(260, 195), origin + QPoint(330, 245));
    settle(2);
    ok &= save(w, folder, prefix + "-floating.png");
    std::printf("%s: zoom %d:%d, selection %d,%d-%d,%d, floating at %d,%d\n", qPrintable(prefix),
                v.zoomin, v.zoomout, doc.selrect.Left, doc.selrect.Top, doc.selrect.Right,
                doc.selrect.Bottom, doc.floatingPos.x, doc.floatingPos.y);
    return ok && doc.DragingNotFinished;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);
    ShotWindow w;
    w.resize(720, 560);
    w.show();
    QApplication::processEvents();
    bool ok = shots(w, folder, 4, 1, QStringLiteral("zoom-4to1"));
    ok &= shots(w, folder, 1, 4, QStringLiteral("zoom-1to4"));
    return ok ? 0 : 1;
}
