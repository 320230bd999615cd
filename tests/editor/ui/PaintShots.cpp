// Paints a picture with every painting tool of the image editor window, through its buttons,
// option controls and mouse events on the paint box, and saves the window and the picture as
// PNG files for looking at them. A test tool only.
//
//   editor_paint_shots <folder>
#include "editor/ui/TDIBMainForm.h"
#include "image/ImageDocument.h"
#include "image/ui/TAddTextForm.h"
#include "image/ui/TImagePaintBox.h"
#include "image/ui/TMDIChild.h"

#include "foundation/grafikrw3/ImageFiles.h"
#include "foundation/grafikrw3/grafikrw3.h"
#include "foundation/ui/FileDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>

namespace {

TDIBMainForm* form = nullptr;
QWidget* box = nullptr;

void press(QPoint p, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = {}) {
    QTest::mousePress(box, b, m, p);
}
void release(QPoint p, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = {}) {
    QTest::mouseRelease(box, b, m, p);
}
void click(QPoint p, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers m = {}) {
    press(p, b, m);
    release(p, b, m);
}
// A drag through `points`, moving a few pixels at a time.
void drag(std::initializer_list<QPoint> points, Qt::MouseButton b = Qt::LeftButton) {
    const QPoint* p = points.begin();
    press(*p, b);
    for (const QPoint* q = p + 1; q != points.end(); ++q) {
        const QPoint from = *(q - 1), to = *q;
        const int steps =
            std::max(1, std::max(std::abs(to.x() - from.x()), std::abs(to.y() - from.y())) / 3);
        for (int i = 1; i <= steps; ++i) {
            QTest::mouseMove(box, from + (to - from) * i / steps);
        }
    }
    release(*(points.end() - 1), b);
}
// A wave from `from` to the right, `length` pixels long.
void wave(QPoint from, int length, int height, Qt::MouseButton b = Qt::LeftButton) {
    press(from, b);
    for (int x = 3; x <= length; x += 3) {
        QTest::mouseMove(box, from + QPoint(x, int(height * std::sin(x / 12.0))));
    }
    release(from + QPoint(length, int(height * std::sin(length / 12.0))), b);
}

void tip(int form_, int size, int hard, int dens, int opacity) {
    form->FormBox->setCurrentIndex(form_);
    form->SizeEdit->setValue(size);
    form->HardEdit->setValue(hard);
    form->DensEdit->setValue(dens);
    form->OpaCityEdit->setValue(opacity);
}

void colours(std::uint32_t c1, std::uint32_t c2) {
    form->doc().setcol1(std::int32_t(c1));
    form->doc().setcol2(std::int32_t(c2));
}

constexpr std::uint32_t rgb(int r, int g, int b) {
    return std::uint32_t(r | g << 8 | b << 16);
}

void paint(const QString& folder) {
    // Ground: a sunburst from the top left corner, pale blue to white.
    colours(rgb(170, 205, 240), rgb(255, 255, 250));
    form->FillBtn->click();
    form->FillStyleBox->setCurrentIndex(4);
    form->DirectBox->setCurrentIndex(0);
    form->TolEdit->setValue(0);
    click({200, 200});

    // Shapes: a filled rectangle, an outlined ellipse, a filled circle, lines of three widths.
    form->ShapeBtn->click();
    colours(rgb(40, 110, 200), rgb(255, 255, 255));
    form->TypBox->setCurrentIndex(0);
    form->StilBox->setCurrentIndex(1);
    drag({{20, 20}, {140, 100}});
    form->TypBox->setCurrentIndex(2);
    form->StilBox->setCurrentIndex(0);
    colours(rgb(200, 40, 40), 0);
    drag({{160, 20}, {300, 100}});
    form->TypBox->setCurrentIndex(3);
    form->StilBox->setCurrentIndex(1);
    colours(rgb(240, 180, 30), 0);
    drag({{320, 20}, {400, 60}});
    form->LineBtn->click();
    colours(rgb(30, 30, 30), 0);
    for (const auto& [w, y] : {std::pair{1, 120}, {5, 135}, {11, 155}}) {
        form->BreitEdit->setValue(w);
        drag({{20, y}, {200, y - 10}});
    }
    form->BreitEdit->setValue(4);
    drag({{220, 110}, {300, 180}});

    // Fills: a linear gradient in the rectangle, the loaded pattern in the ellipse's ring.
    form->FillBtn->click();
    colours(rgb(40, 110, 200), rgb(250, 250, 120));
    form->FillStyleBox->setCurrentIndex(2);
    form->DirectBox->setCurrentIndex(7);
    click({80, 60});
    const QString pattern = QDir(folder).filePath(QStringLiteral("muster.bmp"));
    {
        OwnedDib checks;
        grafikrw3::newdib(&checks.get(), 6, 6, 24, nullptr, 0);
        for (int y = 0; y < 6; ++y) {
            for (int x = 0; x < 6; ++x) {
                grafikrw3::setpixel(checks.get(), x, y,
                                    (x / 3 + y / 3) % 2 ? rgb(230, 120, 160) : rgb(255, 230, 240));
            }
        }
        grafikrw3::SaveDib(checks.get(), pattern, int(grafikrw3::ImageFormat::Bmp));
        filedialogs::Script answer({pattern});
        form->LoadPattBtn->click();
    }
    form->FillStyleBox->setCurrentIndex(1);
    form->TolEdit->setValue(40);
    click({230, 60});
    // A rectangular gradient in the circle.
    colours(rgb(255, 250, 200), rgb(230, 120, 20));
    form->FillStyleBox->setCurrentIndex(3);
    form->DirectBox->setCurrentIndex(0);
    form->TolEdit->setValue(10);
    click({340, 40});

    // Brushes: a soft round wave, a hard calligraphic one, a thin spray, a transparent band.
    form->BrushBtn->click();
    colours(rgb(20, 140, 60), 0);
    tip(1, 16, 0, 100, 0);
    wave({20, 200}, 180, 12);
    colours(rgb(120, 30, 150), 0);
    tip(2, 12, 100, 100, 0);
    wave({20, 240}, 180, 10);
    colours(rgb(200, 30, 30), 0);
    tip(1, 24, 0, 12, 60);
    wave({220, 210}, 170, 14);
    colours(rgb(0, 120, 220), 0);
    tip(0, 14, 100, 100, 70);
    drag({{330, 120}, {330, 280}});

    // Pipette: the circle's colour for the first colour, painted with a small round tip.
    form->DropBtn->click();
    click({335, 45});
    form->BrushBtn->click();
    tip(1, 6, 100, 100, 0);
    wave({220, 260}, 90, 6);

    // Clone the circle below the rectangle, aligned.
    form->CloneBtn->click();
    tip(1, 24, 60, 100, 0);
    click({340, 40}, Qt::LeftButton, Qt::ShiftModifier);
    for (int y = 270; y <= 310; y += 10) {
        drag({{415, y}, {455, y}});
    }

    // Replace the rectangle's blue with orange in a band; retouch: smear the ellipse's edge,
    // lighten and darken patches of the ground.
    form->ReplaceBtn->click();
    colours(rgb(240, 140, 30), rgb(40, 110, 200));
    form->TolEdit->setValue(60);
    tip(0, 10, 100, 100, 0);
    drag({{20, 90}, {140, 30}});
    form->RetouchBtn->click();
    tip(1, 18, 40, 100, 0);
    form->RetouchBox->setCurrentIndex(2);
    drag({{230, 20}, {230, 100}});
    form->RetouchBox->setCurrentIndex(3);
    drag({{160, 60}, {300, 60}});
    form->RetouchBox->setCurrentIndex(1);
    tip(1, 30, 0, 100, 0);
    for (int i = 0; i < 6; ++i) {
        drag({{420, 120}, {460, 160}});
    }
    form->RetouchBox->setCurrentIndex(0);
    for (int i = 0; i < 6; ++i) {
        drag({{420, 200}, {460, 240}});
    }

    // Text, in the first colour, put down by the next press and merged.
    colours(rgb(20, 20, 90), 0);
    form->TxtBtn->click();
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer] {
        if (auto* text = qobject_cast<TAddTextForm*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            QFont font(QStringLiteral("DejaVu Serif"));
            font.setPixelSize(26);
            text->setChosenFont(font);
            text->TxtMemo->setPlainText(QStringLiteral("Tessaplan\nStrickmuster"));
            text->Zentr->setChecked(true);
            text->OkBtn->click();
        }
    });
    timer->start();
    click({5, 5});
    QTest::mouseMove(box, QPoint(100, 250));
    QTest::mouseMove(box, QPoint(40, 262));
    click({40, 262});
    // Merged; the text's outline would otherwise stay selected.
    form->doc().FinishDraging();
    (void)form->doc().SelectNone();
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);
    TDIBMainForm window;
    form = &window;
    window.NewWindow(makeWhiteImage(480, 330), QStringLiteral("Alle Werkzeuge"));
    window.resize(1000, 560);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        return 1;
    }
    box = window.MDIChild1->PaintBox1;
    paint(folder);
    window.ZoomBtn->click();
    QApplication::processEvents();
    const QString shot = QDir(folder).filePath(QStringLiteral("editor-painted.png"));
    const QString picture = QDir(folder).filePath(QStringLiteral("painted-picture.png"));
    const bool ok =
        window.grab().save(shot) &&
        grafikrw3::SaveDib(window.doc().di.get(), picture, int(grafikrw3::ImageFormat::Png)) == 1;
    std::printf("%s %s and %s, %d undo steps\n", ok ? "wrote" : "could not write", qPrintable(shot),
                qPrintable(picture), window.doc().CanUndo);
    return ok ? 0 : 1;
}
