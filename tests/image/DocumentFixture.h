#pragma once

#include "Pictures.h"

#include "image/ImageDocument.h"

#include <QSize>

#include <algorithm>
#include <optional>
#include <vector>

// Stands in for the frame and the editor window: records what the document asks of them and
// scrolls like a scroll box of 400 x 300 pixels.
class FakeHost : public ViewPort, public EditorHost {
public:
    ScrollState state{0, 0, 400, 300, 417, 317};
    QSize box;
    std::vector<QRect> invalidated;
    int invalidatedAll = 0;
    bool captured = false;
    bool capturedElsewhere = false;
    int cursor = 0;

    QString caption;
    int menuUpdates = 0;
    QString status[2];
    QRgb colors[3] = {0, 0, 0};
    std::optional<ColorReadout> readout;
    int zoomBoxIndex = -1;
    int paletteChanges = 0;

    ScrollState scrollState() const override { return state; }
    void setScrollPosition(int h, int v) override {
        state.h = std::clamp(h, 0, std::max(0, box.width() - state.clientWidth));
        state.v = std::clamp(v, 0, std::max(0, box.height() - state.clientHeight));
    }
    void setPaintBoxSize(int width, int height) override { box = QSize(width, height); }
    void invalidate(const QRect& r) override { invalidated.push_back(r); }
    void invalidateAll() override { ++invalidatedAll; }
    bool mouseCaptured() const override { return captured || capturedElsewhere; }
    void setMouseCapture(bool on) override { captured = on; }
    void setToolCursor(int number) override { cursor = number; }
    // The text dialog answers with `textAnswer` (nothing: cancelled).
    std::optional<TextBlock> textAnswer;
    int textAsked = 0;
    std::optional<TextBlock> askForText() override {
        ++textAsked;
        return textAnswer;
    }

    void setCaption(const QString& text) override { caption = text; }
    void UpdateMenuItems() override { ++menuUpdates; }
    void setStatusText(int panel, const QString& text) override { status[panel] = text; }
    void showColor(int which, QRgb color) override { colors[which] = color; }
    void showColorReadout(const ColorReadout& r) override { readout = r; }
    void selectZoomBoxIndex(int index) override { zoomBoxIndex = index; }
    void paletteChanged() override { ++paletteChanges; }
};

// A document showing `image`, with both fakes installed.
struct DocumentFixture {
    FakeHost host;
    ImageDocument doc;

    explicit DocumentFixture(OwnedDib image) {
        doc.setViewPort(&host);
        doc.setEditorHost(&host);
        doc.installImage(std::move(image), QStringLiteral("NONAME"));
    }

    static ToolOptions tool(Tool t, int typ = 0) {
        ToolOptions o;
        o.tool = t;
        o.typ = typ;
        return o;
    }

    // Press, one move and release of the left button (or `button`) in paint-box pixels.
    void drag(const ToolOptions& o, QPoint from, QPoint to, TShiftState mods = {},
              TMouseButton button = TMouseButton::Left) {
        doc.PaintBox1MouseDown(button, mods, from.x(), from.y(), o);
        doc.PaintBox1MouseMove(mods, to.x(), to.y(), o);
        doc.PaintBox1MouseUp(button, mods, to.x(), to.y(), o);
    }
    void click(const ToolOptions& o, QPoint at, TShiftState mods = {},
               TMouseButton button = TMouseButton::Left) {
        doc.PaintBox1MouseDown(button, mods, at.x(), at.y(), o);
        doc.PaintBox1MouseUp(button, mods, at.x(), at.y(), o);
    }
};

inline TShiftState withShift() {
    TShiftState s;
    s.shift = true;
    return s;
}
inline TShiftState withCtrl() {
    TShiftState s;
    s.ctrl = true;
    return s;
}

// An empty 1-bit mask of the picture's size.
inline OwnedDib emptyMask(const dib& like) {
    OwnedDib mask;
    grafikrw3::newdib(&mask.get(), DIBWidth(like), DIBHeight(like), 1, nullptr, 0);
    return mask;
}

// The mask's bits within its width, rows from the top (padding bits carry no meaning).
inline std::vector<std::vector<std::uint32_t>> maskBits(const dib& mask) {
    return pixelValues(mask);
}
