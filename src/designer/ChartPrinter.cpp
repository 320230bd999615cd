#include "ChartPrinter.h"

#include <QPainter>

#include <algorithm>

namespace {

PageSettings gridOnly(PageSettings settings) {
    settings.legende = false;
    settings.text.clear();
    return settings;
}

PageSettings flowOnly(PageSettings settings) {
    settings.tessaplan = false;
    return settings;
}

// Lays the page out without drawing anything, for its measures.
void layOut(QPainter& painter, PageRenderer& renderer) {
    painter.save();
    painter.setClipRect(QRect(0, 0, 0, 0));
    renderer.Drawpage(painter, QRect(-2, -2, 1, 1));
    painter.restore();
}

} // namespace

ChartPrinter::ChartPrinter(QPainter& painter, ChartDocument& doc, const PageSettings& settings,
                           int dpi, QSize sheet)
    : wholeSettings_(settings), gridSettings_(gridOnly(settings)),
      flowSettings_(flowOnly(settings)), whole_(doc, wholeSettings_, dpi, true, sheet.width()),
      grid_(doc, gridSettings_, dpi, true, sheet.width()),
      flow_(doc, flowSettings_, dpi, true, sheet.width()), doc_(doc), sheet_(sheet) {
    for (PageRenderer* renderer : {&whole_, &grid_, &flow_}) {
        renderer->shareSymbols(symbols_);
    }
    layOut(painter, whole_);
    const PageMetrics& m = whole_.metrics();
    const std::int64_t gridRight = m.M + std::int64_t(m.c) * (doc.aspalten + 2) + m.lw;
    const bool gridFits = !settings.tessaplan || gridRight + m.M <= sheet.width();
    if (m.c <= 0 || (gridFits && whole_.bottom() + m.M <= sheet.height())) {
        sheets_.push_back({Part{Source::Whole, QRect(), QPoint()}});
        return;
    }
    if (settings.tessaplan) {
        layOutGrid();
    }
    if (settings.legende || !settings.text.isEmpty()) {
        layOutFlow(painter);
    }
    if (sheets_.empty()) {
        sheets_.emplace_back(); // an empty sheet rather than no printout at all
    }
}

std::vector<ChartPrinter::Band> ChartPrinter::balancedBands(int count, int firstRoom, int room) {
    std::vector<Band> out;
    if (count <= 0) {
        return out;
    }
    room = std::max(1, room);
    firstRoom = std::clamp(firstRoom, 1, room);
    const int bands = 1 + (count > firstRoom ? (count - firstRoom + room - 1) / room : 0);
    // Even sizes, the smaller ones first, where the first band may have less room.
    auto split = [&out](int begin, int total, int parts) {
        for (int i = 0; i < parts; ++i) {
            const int size = total / parts + (i >= parts - total % parts ? 1 : 0);
            out.push_back({begin, begin + size});
            begin += size;
        }
    };
    if (count / bands <= firstRoom) {
        split(0, count, bands);
    } else {
        out.push_back({0, firstRoom});
        split(firstRoom, count - firstRoom, bands - 1);
    }
    return out;
}

void ChartPrinter::layOutGrid() {
    const PageMetrics& m = whole_.metrics();
    const int c = m.c;
    const int lw = m.lw;
    const int M = m.M;
    const int y0 = whole_.gridTop();
    // Room for chart columns between the two number columns, and for chart rows below the
    // column numbers; the first sheet has the heading above.
    const int columnRoom = (sheet_.width() - 2 * M - lw) / c - 2;
    const int rowRoom = (sheet_.height() - 2 * M - lw) / c - 1;
    const int firstRowRoom = (sheet_.height() - M - lw - y0) / c - 1;
    columnBands_ = balancedBands(doc_.aspalten, columnRoom, columnRoom);
    rowBands_ = balancedBands(doc_.azeilen, firstRowRoom, rowRoom);

    const int rightNumbers = M + c * (doc_.aspalten + 1);
    for (const Band& rows : rowBands_) {
        for (const Band& columns : columnBands_) {
            Sheet sheet;
            const bool first = sheets_.empty();
            const int top = first ? y0 : M;
            if (first && y0 > M) {
                sheet.push_back({Source::Grid, QRect(0, 0, sheet_.width(), y0), QPoint(0, 0)});
            }
            const int shown = columns.end - columns.begin;
            const int rowsTop = y0 + c * (rows.begin + 1);
            const int rowsHeight = c * (rows.end - rows.begin) + lw;
            const QRect cells(M + c * (columns.begin + 1), rowsTop, c * shown + lw, rowsHeight);
            // The cells first: the frame lines of the numbers drawn after them lie over the
            // grey lines where the parts meet.
            sheet.push_back({Source::Grid, cells, QPoint(M + c, top + c)});
            sheet.push_back(
                {Source::Grid, QRect(cells.left(), y0, cells.width(), c + lw), QPoint(M + c, top)});
            for (const auto& [from, to] :
                 {std::pair{M, M}, std::pair{rightNumbers, M + c * (shown + 1)}}) {
                sheet.push_back(
                    {Source::Grid, QRect(from, rowsTop, c + lw, rowsHeight), QPoint(to, top + c)});
                sheet.push_back({Source::Grid, QRect(from, y0, c + lw, c + lw), QPoint(to, top)});
            }
            sheets_.push_back(std::move(sheet));
        }
    }
}

void ChartPrinter::layOutFlow(QPainter& painter) {
    layOut(painter, flow_);
    const int M = whole_.metrics().M;
    const std::vector<int>& breaks = flow_.flowBreaks();
    const int room = std::max(1, sheet_.height() - 2 * M);
    int start = M;
    while (start < flow_.bottom()) {
        int end = start + room;
        const auto fitting = std::upper_bound(breaks.begin(), breaks.end(), end);
        if (fitting != breaks.begin() && *std::prev(fitting) > start) {
            end = *std::prev(fitting);
        }
        sheets_.push_back(
            {Part{Source::Flow, QRect(0, start, sheet_.width(), end - start), QPoint(0, M)}});
        start = end;
    }
}

PageRenderer& ChartPrinter::renderer(Source source) {
    switch (source) {
    case Source::Grid:
        return grid_;
    case Source::Flow:
        return flow_;
    case Source::Whole:
        break;
    }
    return whole_;
}

void ChartPrinter::drawSheet(QPainter& painter, int index) {
    for (const Part& part : sheets_.at(std::size_t(index))) {
        PageRenderer& page = renderer(part.source);
        if (part.content.isEmpty()) {
            page.Drawpage(painter);
            continue;
        }
        painter.save();
        painter.translate(part.at - part.content.topLeft());
        painter.setClipRect(part.content);
        page.Drawpage(painter, part.content);
        painter.restore();
    }
}
