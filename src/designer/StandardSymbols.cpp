#include "StandardSymbols.h"

#include "foundation/grafikrw3/PixelRows.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace standardstitches {

namespace {

// Stroke weight: a chart cell of 10 pixels still samples every stroke of a 100-pixel symbol.
constexpr double kStroke = 11;
// How far the lines of a cable's band keep from its sides, the gap that sets the strand in
// front apart from the one behind, and the dashes of purled stitches (in stroke widths).
constexpr double kBandInset = 14;
constexpr double kStrandGap = 16;
constexpr double kPurlDash = 1.3;
constexpr double kPurlGap = 1.6;
// Purl variants draw their glyph in the upper part and the purl bar below it.
constexpr double kPurlGlyphHeight = 74;
constexpr double kPurlBarY = 86;
// "keine Masche" is grey, as charts show cells without a stitch.
constexpr RGBQUAD kGrey{160, 160, 160, 0};

// Draws in the units of one 100 x 100 cell, squeezed into the rows from `top` on.
class CellPen {
public:
    CellPen(QPainter& painter, double scaleY) : p_(painter), scaleY_(scaleY) {}

    QPointF at(double x, double y) const { return {x, y * scaleY_}; }
    void line(double x1, double y1, double x2, double y2) { p_.drawLine(at(x1, y1), at(x2, y2)); }
    void polyline(std::initializer_list<QPointF> points) {
        QPolygonF poly;
        for (const QPointF& pt : points) {
            poly << at(pt.x(), pt.y());
        }
        p_.drawPolyline(poly);
    }
    void curve(QPointF from, QPointF c1, QPointF c2, QPointF to) {
        QPainterPath path(at(from.x(), from.y()));
        path.cubicTo(at(c1.x(), c1.y()), at(c2.x(), c2.y()), at(to.x(), to.y()));
        p_.drawPath(path);
    }
    void ring(double cx, double cy, double r) {
        p_.setBrush(Qt::NoBrush);
        p_.drawEllipse(at(cx, cy), r, r * scaleY_);
    }
    void disc(double cx, double cy, double r) {
        p_.setBrush(Qt::black);
        p_.drawEllipse(at(cx, cy), r, r * scaleY_);
        p_.setBrush(Qt::NoBrush);
    }
    void diamond(double cx, double cy, double r) {
        p_.setBrush(Qt::black);
        p_.drawPolygon(QPolygonF{at(cx, cy - r), at(cx + r, cy), at(cx, cy + r), at(cx - r, cy)});
        p_.setBrush(Qt::NoBrush);
    }

private:
    QPainter& p_;
    double scaleY_;
};

void drawGlyph(CellPen& pen, Glyph glyph) {
    switch (glyph) {
    case Glyph::Blank:
    case Glyph::NoStitch:
    case Glyph::Cable:
        break;
    case Glyph::Bar:
        pen.line(20, 50, 80, 50);
        break;
    case Glyph::Twisted:
        // One leg rises into the loop, the other leaves it crossing the first.
        pen.line(30, 88, 60, 50);
        pen.curve({60, 50}, {80, 26}, {64, 12}, {50, 12});
        pen.curve({50, 12}, {36, 12}, {20, 26}, {40, 50});
        pen.line(40, 50, 70, 88);
        break;
    case Glyph::Circle:
        pen.ring(50, 50, 25);
        break;
    case Glyph::DoubleCircle:
        pen.ring(50, 29, 16);
        pen.ring(50, 71, 16);
        break;
    case Glyph::SlashRight:
        pen.line(22, 86, 78, 14);
        break;
    case Glyph::SlashLeft:
        pen.line(22, 14, 78, 86);
        break;
    case Glyph::SlashTwisted:
        pen.line(22, 14, 78, 86);
        pen.line(52, 88, 84, 58);
        break;
    case Glyph::FanRight:
        pen.line(18, 86, 80, 14);
        pen.line(58, 86, 80, 14);
        break;
    case Glyph::FanLeft:
        pen.line(82, 86, 20, 14);
        pen.line(42, 86, 20, 14);
        break;
    case Glyph::Centred:
        pen.polyline({{18, 86}, {50, 14}, {82, 86}});
        pen.line(50, 14, 50, 86);
        break;
    case Glyph::IncreaseRight:
        pen.polyline({{50, 88}, {50, 50}, {78, 14}});
        break;
    case Glyph::IncreaseLeft:
        pen.polyline({{50, 88}, {50, 50}, {22, 14}});
        break;
    case Glyph::IncreaseThree:
        pen.line(50, 50, 50, 12);
        [[fallthrough]];
    case Glyph::IncreaseTwo:
        pen.polyline({{22, 14}, {50, 50}, {78, 14}});
        pen.line(50, 50, 50, 88);
        break;
    case Glyph::Below:
        pen.line(50, 12, 50, 70);
        pen.curve({26, 50}, {26, 96}, {74, 96}, {74, 50});
        break;
    case Glyph::SlipFront:
        pen.line(10, 42, 90, 42);
        [[fallthrough]];
    case Glyph::SlipBack:
        pen.polyline({{24, 14}, {50, 86}, {76, 14}});
        break;
    case Glyph::Bobble:
        pen.disc(50, 50, 27);
        break;
    case Glyph::Edge:
        pen.diamond(50, 50, 28);
        break;
    case Glyph::BindOff:
        pen.curve({16, 76}, {16, 16}, {84, 16}, {84, 76});
        break;
    }
}

// Strands of a cable: the `over` stitches cross in front of the `under` ones. A strand runs
// from where its stitches start (bottom) to where they end (top): one line for a single
// stitch, a band between two lines for more. The strand behind breaks off where the front one
// passes, and is dashed where its stitches are purled.
void drawCable(QPainter& painter, const Symbol& s) {
    const double cell = kSymbolCell;
    const double height = cell;
    struct Strand {
        double bottom; // left side of its first stitch at the bottom
        double top;    // and at the top
        int stitches;
        // Left and right line, as offsets from the strand's left side.
        double leftLine() const { return stitches == 1 ? kSymbolCell / 2.0 : kBandInset; }
        double rightLine() const {
            return stitches == 1 ? kSymbolCell / 2.0 : stitches * kSymbolCell - kBandInset;
        }
    };
    // To the right: the front strand starts at the left and ends at the right.
    const Strand front =
        s.toRight ? Strand{0, s.under * cell, s.over} : Strand{s.under * cell, 0, s.over};
    const Strand back =
        s.toRight ? Strand{s.over * cell, 0, s.under} : Strand{0, s.over * cell, s.under};
    auto lines = [&](const Strand& strand) {
        for (const double offset : {strand.leftLine(), strand.rightLine()}) {
            painter.drawLine(QPointF(strand.bottom + offset, height),
                             QPointF(strand.top + offset, 0));
        }
    };
    QPen pen(Qt::black, kStroke, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    if (s.purl) {
        pen.setDashPattern({kPurlDash, kPurlGap});
    }
    painter.setPen(pen);
    lines(back);
    // Clear the way for the front strand, then draw it.
    const double left = front.leftLine() - kStroke / 2 - kStrandGap;
    const double right = front.rightLine() + kStroke / 2 + kStrandGap;
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawPolygon(QPolygonF{QPointF(front.bottom + left, height),
                                  QPointF(front.top + left, 0), QPointF(front.top + right, 0),
                                  QPointF(front.bottom + right, height)});
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, kStroke, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    lines(front);
}

} // namespace

bool drawSymbol(const Symbol& symbol, std::int32_t cells, dib& out) {
    const std::int32_t width = cells * kSymbolCell;
    const std::int32_t height = kSymbolCell;
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) {
        return false;
    }
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        // Crisp strokes: a symbol reduced to a small cell keeps black and white pixels only.
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(Qt::black, kStroke, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        if (symbol.glyph == Glyph::Cable) {
            drawCable(painter, symbol);
        } else {
            painter.setPen(QPen(Qt::black, kStroke, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            CellPen pen(painter, symbol.purl ? kPurlGlyphHeight / kSymbolCell : 1.0);
            drawGlyph(pen, symbol.glyph);
            if (symbol.purl) {
                CellPen bar(painter, 1.0);
                bar.line(26, kPurlBarY, 74, kPurlBarY);
            }
        }
    }

    // Index 0 is the ink (black, or grey for "keine Masche"), index 1 the white ground.
    struct {
        BITMAPINFO info;
        RGBQUAD colors[2];
    } table{};
    table.colors[0] = symbol.glyph == Glyph::NoStitch ? kGrey : RGBQUAD{0, 0, 0, 0};
    table.colors[1] = RGBQUAD{255, 255, 255, 0};
    grafikrw3::newdib(&out, width, height, 1, &table.info, 2);
    if (!out.poi) {
        return false;
    }
    for (std::int32_t y = 0; y < height; ++y) {
        const auto* source = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        std::uint8_t* row = grafikrw3::rowAt(out, y);
        for (std::int32_t x = 0; x < width; ++x) {
            const bool ink = symbol.glyph == Glyph::NoStitch || qGray(source[x]) < 128;
            grafikrw3::putIndex(row, 1, x, ink ? 0u : 1u);
        }
    }
    return true;
}

} // namespace standardstitches
