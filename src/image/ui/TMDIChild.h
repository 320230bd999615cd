#pragma once

#include "image/ImageDocument.h"

#include <QCursor>
#include <QHash>
#include <QWidget>

#include <functional>

class QScrollArea;
class QTimer;
class TImagePaintBox;

// The image document frame the editor window embeds as MDIChild1: the scroll box ScrollBox1
// with the paint box PaintBox1 (the zoomed image size) and the 250 ms timer Timer1 of the
// marching ants. It owns the document, paints it from a const reference, forwards the mouse and
// timer events to it and carries out its scrolling, resizing, capture and cursor requests.
class TMDIChild : public QWidget, public ViewPort {
    Q_OBJECT

public:
    explicit TMDIChild(QWidget* parent = nullptr);
    ~TMDIChild() override;

    ImageDocument& doc() { return doc_; }
    const ImageDocument& doc() const { return doc_; }

    // The tool and option controls, read at every mouse event (defaults when not set).
    std::function<ToolOptions()> toolOptions;

    // Cursor `number` (1 to 18) of the tools; unregistered numbers show a standard shape.
    void registerCursor(int number, const QCursor& cursor);
    int toolCursor() const { return cursorNumber_; }

    QScrollArea* ScrollBox1 = nullptr;
    TImagePaintBox* PaintBox1 = nullptr;
    QTimer* Timer1 = nullptr;

    // ViewPort
    ScrollState scrollState() const override;
    void setScrollPosition(int h, int v) override;
    void setPaintBoxSize(int width, int height) override;
    void invalidate(const QRect& paintBoxRect) override;
    void invalidateAll() override;
    bool mouseCaptured() const override;
    void setMouseCapture(bool on) override;
    void setToolCursor(int number) override;
    // The text tool's dialog TAddTextForm, shown modally.
    std::optional<TextBlock> askForText() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void PaintBox1MouseDown(QMouseEvent* event);
    void PaintBox1MouseMove(QMouseEvent* event);
    void PaintBox1MouseUp(QMouseEvent* event);
    ToolOptions currentOptions() const;
    void updateScrollRanges();

    ImageDocument doc_;
    QHash<int, QCursor> cursors_;
    int cursorNumber_ = 0;
    bool grabbed_ = false;
};
