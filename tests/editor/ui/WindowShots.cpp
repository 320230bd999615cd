// Renders the image editor window with each drawing tool chosen, at 1:1 and at 16:1, into PNG
// files for looking at layout, tool pictures and cursors. The pointer rests on the picture and
// its cursor is drawn into the shot at its hot spot (screen grabs leave the pointer out).
// A test tool only.
//
//   editor_window_shots <picture file> <folder>
#include "editor/ui/TDIBMainForm.h"

#include "foundation/grafikrw3/ImageFiles.h"
#include "image/ImageDocument.h"
#include "image/ui/TImagePaintBox.h"
#include "image/ui/TMDIChild.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "editor_window_shots <picture file> <folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(folder);

    TDIBMainForm form;
    dib loaded{};
    grafikrw3::OpenDib(&loaded, QString::fromLocal8Bit(argv[1]), 0, form.progress());
    if (!loaded.poi) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    form.WMProgress(0);
    form.NewWindow(OwnedDib(loaded), QFileInfo(QString::fromLocal8Bit(argv[1])).fileName());
    form.resize(960, 680);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) {
        return 1;
    }
    // A selection with its marching ants, so that the view shows them beside the tools.
    ImageDocument& doc = form.doc();
    doc.selectShape(40, 30, 139, 99, false, SelectionMode::Replace);
    doc.UpdateSelddib();

    TImagePaintBox* box = form.MDIChild1->PaintBox1;
    for (const int zoom : {1, 16}) {
        form.SetZoom(zoom, 1);
        // At 16:1 the view looks at the selection's corner.
        form.MDIChild1->setScrollPosition(zoom == 1 ? 0 : 30 * zoom, zoom == 1 ? 0 : 22 * zoom);
        for (int i = 0; i < kToolCount; ++i) {
            form.toolButtons[std::size_t(i)]->click();
            const QPoint inView =
                form.MDIChild1->ScrollBox1->viewport()->rect().center() / (zoom == 1 ? 3 : 1);
            const QPoint pointer =
                box->mapFrom(form.MDIChild1->ScrollBox1->viewport(), inView + QPoint(7, 5));
            QTest::mouseMove(box, pointer + QPoint(1, 1)); // a move each time: the tool cursor
            QTest::mouseMove(box, pointer);
            QApplication::processEvents();
            QImage shot = form.grab().toImage();
            QPainter painter(&shot);
            const QCursor cursor = box->cursor();
            painter.drawPixmap(box->mapTo(&form, pointer) - cursor.hotSpot(), cursor.pixmap());
            painter.end();
            const QString name =
                QStringLiteral("%1/%2-%3-%4.png")
                    .arg(folder)
                    .arg(zoom == 1 ? QStringLiteral("1to1") : QStringLiteral("16to1"))
                    .arg(i, 2, 10, QLatin1Char('0'))
                    .arg(form.toolButtons[std::size_t(i)]->objectName());
            if (!shot.save(name)) {
                return 1;
            }
        }
    }
    return 0;
}
