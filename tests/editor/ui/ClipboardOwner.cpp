// A second program for the clipboard tests: puts a 32-bit, top-down bitmap with bit-field
// masks on the clipboard as image/bmp, as other programs do, says "ready" and keeps the
// clipboard until it is ended. Runs only on a real display (X11): the clipboard is shared
// between programs there.
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTimer>

#include <cstdio>

namespace {

void u32(QByteArray& out, quint32 v) {
    for (int i = 0; i < 4; ++i) {
        out.append(char((v >> (8 * i)) & 0xff));
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    constexpr int w = 6, h = 4;
    QByteArray dib;
    u32(dib, 40);
    u32(dib, w);
    u32(dib, quint32(-h)); // top-down
    dib.append(char(1)).append(char(0)).append(char(32)).append(char(0));
    u32(dib, 3);                  // bit fields
    for (int i = 0; i < 5; ++i) { // image size, resolution, colours used and important
        u32(dib, 0);
    }
    u32(dib, 0x00ff0000);
    u32(dib, 0x0000ff00);
    u32(dib, 0x000000ff);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            u32(dib, 0xff000000u | quint32(x * 40) << 16 | quint32(y * 60) << 8 | quint32(x + y));
        }
    }
    QByteArray file("BM");
    u32(file, quint32(14 + dib.size()));
    u32(file, 0);
    u32(file, 14 + 40 + 12);
    auto* data = new QMimeData;
    data->setData(QStringLiteral("image/bmp"), file + dib);
    QGuiApplication::clipboard()->setMimeData(data);
    std::puts("ready");
    std::fflush(stdout);
    // Ends when the test is done with it, at the latest after a minute.
    QTimer::singleShot(60000, &app, &QCoreApplication::quit);
    return app.exec();
}
