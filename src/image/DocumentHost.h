#pragma once

#include "TextBlock.h"

#include <QRect>
#include <QRgb>
#include <QString>

#include <optional>

// The two sides the image document talks to. The core owns no widgets: the frame that shows
// the document implements ViewPort, the editor window implements EditorHost. Tests install
// fakes of both. Every call is made on the user-interface thread.

// Scroll positions and sizes of the frame's scroll box, in paint-box pixels.
struct ScrollState {
    int h = 0;            // horizontal scroll position
    int v = 0;            // vertical scroll position
    int clientWidth = 0;  // visible width of the content
    int clientHeight = 0; // visible height of the content
    int boxWidth = 0;     // width of the scroll box itself
    int boxHeight = 0;    // height of the scroll box itself
};

// The frame: scroll box, paint box, mouse capture and cursor.
class ViewPort {
public:
    virtual ~ViewPort() = default;

    virtual ScrollState scrollState() const = 0;
    // Sets both scroll positions; the scroll bars limit them to their largest positions.
    virtual void setScrollPosition(int h, int v) = 0;
    // Resizes the paint box (the zoomed image size); the scroll ranges follow at once.
    virtual void setPaintBoxSize(int width, int height) = 0;
    // Schedules a repaint of a paint-box rectangle, or of everything visible.
    virtual void invalidate(const QRect& paintBoxRect) = 0;
    virtual void invalidateAll() = 0;
    // Whether some control holds the mouse capture now; taking and releasing it for the paint
    // box, so that moves and the release arrive even outside it.
    virtual bool mouseCaptured() const = 0;
    virtual void setMouseCapture(bool on) = 0;
    // Shows tool cursor `number` (1 to 18) over the paint box.
    virtual void setToolCursor(int number) = 0;
    // The text tool's dialog: the text to place, or nothing when the user cancels. A frame
    // without the dialog places nothing.
    virtual std::optional<TextBlock> askForText() { return std::nullopt; }
};

// The colour read-out under the pointer while the pipette is the tool.
struct ColorReadout {
    int red = 0;
    int green = 0;
    int blue = 0;
    int index = -1; // palette index, or -1 for a picture without palette
    QRgb swatch = 0;
};

// The editor window's side: caption, commands, status bar, colour swatches and zoom list.
class EditorHost {
public:
    virtual ~EditorHost() = default;

    // The caption of the window (and of its gradient caption).
    virtual void setCaption(const QString& caption) = 0;
    // Enable and disable the commands from the document's state.
    virtual void UpdateMenuItems() = 0;
    // Status bar panel 0 (pointer position) or 1 (image summary).
    virtual void setStatusText(int panel, const QString& text) = 0;
    // Swatch Shape1 (which 1) or Shape2 (which 2) shows `color`.
    virtual void showColor(int which, QRgb color) = 0;
    // RedLabel, GreenLabel, BlueLabel, IndexLabel, AColShape and the read-out timer.
    virtual void showColorReadout(const ColorReadout& readout) = 0;
    // ZoomBox shows entry `index` (0 "16:1" ... 15 "1:1" ... 30 "1:16") without running its
    // change handler.
    virtual void selectZoomBoxIndex(int index) = 0;
    // The image's palette may have changed: repaint the palette display and colour panel.
    virtual void paletteChanged() = 0;
};
