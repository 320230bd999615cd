#include "designer/InstructionSheets.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

constexpr int kDpi = 100;
const QSize kSheet{827, 1169}; // A4 at 100 dpi

struct Drawn {
    int sheets = 0;
    QRect ink; // the union of everything drawn on every sheet
    bool everySheetInked = true;
};

Drawn drawAll(const QStringList& lines) {
    PageSettings settings;
    QImage probe(kSheet, QImage::Format_RGB32);
    probe.setDotsPerMeterX(int(kDpi / 0.0254 + 0.5));
    probe.setDotsPerMeterY(int(kDpi / 0.0254 + 0.5));
    QPainter measure(&probe);
    const InstructionSheets sheets(measure, lines, settings, kDpi, kSheet);
    measure.end();
    Drawn drawn;
    drawn.sheets = sheets.sheetCount();
    for (int s = 0; s < sheets.sheetCount(); ++s) {
        QImage sheet = probe;
        sheet.fill(Qt::white);
        {
            QPainter painter(&sheet);
            sheets.drawSheet(painter, s);
        }
        QRect ink;
        for (int y = 0; y < sheet.height(); ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(sheet.constScanLine(y));
            for (int x = 0; x < sheet.width(); ++x) {
                if (qGray(row[x]) < 200) {
                    ink |= QRect(x, y, 1, 1);
                }
            }
        }
        drawn.everySheetInked = drawn.everySheetInked && !ink.isEmpty();
        drawn.ink |= ink;
    }
    return drawn;
}

} // namespace

// Whatever the lines, the text stays within the 10 mm margin (39 pixels at 100 dpi) on every
// sheet, and only as many sheets are used as the text needs, none of them blank.
TEST(InstructionSheets, WrapWithinTheMarginsAndFillOnlyTheSheetsNeeded) {
    const QString longRow = QStringLiteral("Reihe 1 (Hinreihe): ") +
                            QStringList(60, QStringLiteral("2 × rechts, 2 × links")).join(", ");
    const QString unbroken = QStringLiteral("Reihe 2 (Rückreihe): ") + QString(400, u'x');
    const struct {
        QStringList lines;
        int minSheets, maxSheets;
    } cases[] = {
        {{}, 1, 1}, // the heading alone
        {{QStringLiteral("Reihe 1 (Hinreihe): 10 × rechts (10 Maschen)")}, 1, 1},
        {{longRow, unbroken}, 1, 1},
        {QStringList(300, QStringLiteral("Reihe 3 (Hinreihe): wie Reihe 1")), 3, 8},
        // One paragraph longer than a sheet is split rather than cut off.
        {{QStringList(2000, QStringLiteral("rechts")).join(", ")}, 2, 4},
    };
    constexpr int kMargin = 39;
    for (const auto& c : cases) {
        const Drawn drawn = drawAll(c.lines);
        SCOPED_TRACE(c.lines.size());
        EXPECT_GE(drawn.sheets, c.minSheets);
        EXPECT_LE(drawn.sheets, c.maxSheets);
        EXPECT_TRUE(drawn.everySheetInked);
        EXPECT_GE(drawn.ink.left(), kMargin);
        EXPECT_GE(drawn.ink.top(), kMargin);
        EXPECT_LE(drawn.ink.right(), kSheet.width() - kMargin);
        EXPECT_LE(drawn.ink.bottom(), kSheet.height() - kMargin);
    }
}
