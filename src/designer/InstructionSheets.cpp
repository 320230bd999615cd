#include "InstructionSheets.h"

#include "PageRenderer.h"
#include "Units.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

InstructionSheets::InstructionSheets(QPainter& painter, const QStringList& lines,
                                     const PageSettings& settings, int dpi, QSize sheet)
    : margin_(millimetresToPixels(settings.randMm, dpi)), color_(fontColor(settings.textFont)) {
    const QFont text = deviceFont(settings.textFont, dpi);
    QFont heading = text;
    heading.setBold(true);
    const int width = std::max(1, sheet.width() - 2 * margin_);
    const int bottom = std::max(margin_ + 1, sheet.height() - margin_);
    const int spacing = QFontMetrics(text, painter.device()).lineSpacing();

    QStringList paragraphs{settings.caption.isEmpty()
                               ? QStringLiteral("Anleitung")
                               : QStringLiteral("Anleitung: ") + settings.caption};
    paragraphs << lines;
    int y = margin_;
    int sheetIndex = 0;
    for (qsizetype p = 0; p < paragraphs.size(); ++p) {
        auto layout =
            std::make_unique<QTextLayout>(paragraphs[p], p == 0 ? heading : text, painter.device());
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout->setTextOption(option);
        // Continuation lines of a row start under the text after its "Reihe n (...): ".
        const qsizetype colon = paragraphs[p].indexOf(QStringLiteral("): "));
        const int indent =
            colon < 0 ? 0
                      : std::min(width / 3, QFontMetrics(text, painter.device())
                                                .horizontalAdvance(paragraphs[p].left(colon + 3)));
        layout->beginLayout();
        qreal top = 0;
        for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
            const int x = line.lineNumber() == 0 ? 0 : indent;
            line.setLineWidth(width - x);
            line.setPosition(QPointF(x, top));
            top += line.height();
        }
        layout->endLayout();
        const int height = int(std::ceil(top));
        // A paragraph that fits on a sheet is not split.
        if (y > margin_ && y + height > bottom && height <= bottom - margin_) {
            ++sheetIndex;
            y = margin_;
        }
        for (int k = 0; k < layout->lineCount(); ++k) {
            const QTextLine line = layout->lineAt(k);
            const int lineTop = y + int(std::lround(line.y()));
            int at = lineTop;
            if (lineTop + int(std::ceil(line.height())) > bottom && lineTop > margin_) {
                ++sheetIndex;
                y = margin_ - int(std::lround(line.y()));
                at = margin_;
            }
            placed_.push_back({sheetIndex, paragraphs_.size(), k, at});
        }
        y += height + (p == 0 ? spacing : 0); // a free line after the heading
        paragraphs_.push_back(std::move(layout));
    }
    sheets_ = sheetIndex + 1;
}

InstructionSheets::~InstructionSheets() = default;

void InstructionSheets::drawSheet(QPainter& painter, int index) const {
    painter.save();
    painter.setPen(color_);
    for (const Placed& p : placed_) {
        if (p.sheet != index) {
            continue;
        }
        const QTextLine line = paragraphs_[p.paragraph]->lineAt(p.line);
        line.draw(&painter, QPointF(margin_, p.y - line.y()));
    }
    painter.restore();
}
