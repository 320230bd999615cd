#pragma once

#include "DocumentHost.h"
#include "ImageEdit.h"
#include "ImageTypes.h"
#include "Overlay.h"
#include "SelectionOutline.h"
#include "TextBlock.h"
#include "ToolOptions.h"
#include "UndoEntry.h"
#include "ZoomView.h"

#include "foundation/OwnedDib.h"
#include "imageops/BuiltinFilters.h"
#include "imageops/ImageOp.h"
#include "imageops/Transforms.h"

#include <QRect>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>

// The image document of the editor: the one image being edited with its zoomed view, the two
// drawing colours, the drag in progress, the selection, the floating selection and three
// levels of undo. It owns every picture it holds and talks to the frame that shows it and to
// the editor window only through ViewPort and EditorHost (both may be absent), so all of it
// runs and is tested without widgets.
//
// Coordinates: image pixels count from the top row; paint-box pixels are image pixels times
// zoomin div zoomout. Colour values are palette indexes for pictures of up to 256 colours and
// red + 256 * green + 65536 * blue for 24-bit pictures.
//
// Invariants: the mask `seldib` has the image's size (or no pixels when memory was short at
// installation); `selaktiv` is true exactly when the mask holds a 1; a put-down floating
// selection (`DragingNotFinished`) comes with a selection; `tempdi`, `dragdi1` and `dragdi2`
// hold pictures only while a floating selection exists.
class ImageDocument {
public:
    ImageDocument();
    ~ImageDocument();
    ImageDocument(const ImageDocument&) = delete;
    ImageDocument& operator=(const ImageDocument&) = delete;

    void setViewPort(ViewPort* view) { view_ = view; }
    void setEditorHost(EditorHost* host) { host_ = host; }

    // --- the image (ImageDocument.cpp) -------------------------------------------------------
    // Installs `picture` as the new image under `name` (the document part of the editor's
    // NewWindow): the previous image, mask, selection, floating selection, drag and undo entries
    // go; zoom 1:1 at the origin; unchanged, bound to no file; an empty mask; colours 0 and the
    // colour count - 1. A picture without pixels changes nothing and returns false.
    bool installImage(OwnedDib picture, const QString& name);

    // Replaces the image by a picture an operation produced (the document takes it over) and
    // records the undo step for it. A floating selection is merged first. A picture of another
    // size gets a new empty mask and the view follows the size (the zoom is applied again); a
    // picture of the same size keeps the selection. False, with nothing changed, when the
    // picture has no pixels, or when the new mask or the undo step cannot be made (the message
    // has been shown).
    [[nodiscard]] bool SetNewSizedDib(OwnedDib picture);

    // The image was changed in place: repaint it (the whole view, or the image rectangle `area`).
    void imageChanged(const QRect& area = {});

    // Grows with every change of the image: each one starts with an undo step (or is an undo,
    // a new image or an in-place change reported through imageChanged). A drag in progress
    // (inPaint) changes the image further until its release.
    std::uint64_t revision() const { return revision_; }

    // The part of the image operations may change: the mask while a selection is active.
    imageops::Selection selection() const { return imageops::Selection(&seldib.get(), selaktiv); }

    // --- the edit of one image command (ImageDocumentEdit.cpp) -------------------------------
    // Opens the edit every image command goes through (see ImageEdit): floating pixels still
    // following the pointer are put down and the undo step is recorded as `undo` says.
    [[nodiscard]] ImageEdit beginEdit(UndoStep undo = UndoStep::Record);
    // The drawing colours after the picture's depth or palette may have changed: at another
    // depth than `bitsBefore`, or when `startAgain`, they start again as for a new image (0 and
    // the last colour); otherwise the swatches show them with the present palette.
    void coloursFollowImage(int bitsBefore, bool startAgain = false);

    // --- view, caption, status and colours (ImageDocument.cpp, ImageDocumentView.cpp) --------
    ZoomView view() const { return {zoomin, zoomout}; }
    // The zoomed image size, which is the paint box's size.
    QSize paintBoxSize() const {
        return view().paintBoxSize(DIBWidth(di.get()), DIBHeight(di.get()));
    }

    // One zoom step keeping paint-box point (x, y) in the middle of the view.
    void ZoomInAt(std::int32_t x, std::int32_t y);
    void ZoomOutAt(std::int32_t x, std::int32_t y);
    // Sets the magnification zin:zout keeping the view's centre where possible (the editor's
    // zoom menu and list call it through the window's SetZoom).
    void SetZoom(std::int32_t zin, std::int32_t zout);
    // Hand-tool scrolling to the pointer at paint-box point (x, y).
    void ScrollByDrag(std::int32_t x, std::int32_t y);

    // "Bild bearbeiten - <WinName>[*] [<zoomin>:<zoomout>]"; UpdateCaption hands it to the window.
    QString captionText() const;
    void UpdateCaption();
    // "Bild: <w> x <h> x <colours> - <KByte> KByte" (status panel 1).
    QString imageSummary() const;

    void setcol1(std::int32_t c);
    void setcol2(std::int32_t c);
    // Red, green and blue of colour value c: the palette entry for pictures of up to 256
    // colours, the bytes of c otherwise.
    void SplitColor(std::int32_t c, std::int32_t& red, std::int32_t& green,
                    std::int32_t& blue) const;
    static void SplitRGB(std::int32_t c, std::int32_t& red, std::int32_t& green,
                         std::int32_t& blue);
    // The screen colour of colour value c.
    QRgb screenColor(std::int32_t c) const;

    // --- mouse and timer (ImageDocumentMouse.cpp) --------------------------------------------
    // X, Y are paint-box pixels; `options` are the tool and option controls at this event.
    void PaintBox1MouseDown(TMouseButton button, const TShiftState& shift, std::int32_t X,
                            std::int32_t Y, const ToolOptions& options);
    void PaintBox1MouseMove(const TShiftState& shift, std::int32_t X, std::int32_t Y,
                            const ToolOptions& options);
    void PaintBox1MouseUp(TMouseButton button, const TShiftState& shift, std::int32_t X,
                          std::int32_t Y, const ToolOptions& options);
    // The pointer moves over the scroll box outside the paint box.
    void ScrollBox1MouseMove();
    // The 250 ms tick: the marching ants move on while no drag runs.
    void Timer1Timer();

    // A drag from paint-box point (X, Y): its moves and release go to `tool`'s handlers.
    void BeginDrag(std::int32_t X, std::int32_t Y, Tool tool);
    void EraseRubberBand();
    void DrawRubberBand(const ToolOptions& options);
    void CommitShape(const ToolOptions& options);
    void SetToolCursor(int number);

    // --- selection (ImageDocumentSelection.cpp, the tools' steps in tools/SelectionTools.cpp) ---
    // Rebuilds the outline, selrect, selpos and selaktiv from the mask; UpdateMenuItems.
    void UpdateSelddib();
    // Magic wand at image pixel (x, y) with the mode of ShiftState. False, with the mask as it
    // was, when memory is short (the message has been shown).
    bool MagicWandSelect(std::int32_t x, std::int32_t y, std::int32_t tolerance);
    // The rectangle or ellipse selection step with corners (x1, y1), (x2, y2), image pixels.
    void selectShape(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                     bool ellipse, SelectionMode mode);
    // The free-hand step: the polygon through `points` (image pixels) with its outline.
    void selectPolygon(const std::vector<TPoint>& points, SelectionMode mode);
    // Select all, none and invert, each after recording undo (false when that was refused)
    // and merging a floating selection.
    bool SelectAll();
    bool SelectNone();
    bool InvertSelection();
    static void FreeSel(SelectionType& sell);
    // Whether image pixel (x, y) is selected (false outside the image).
    bool isSelected(std::int32_t x, std::int32_t y) const;
    const SelectionOutline& outline() const { return outline_; }

    // --- floating selection (ImageDocumentFloating.cpp) --------------------------------------
    // Starts floating pixels `di2` with mask `savesel` (used when `saveselhan`), transparent
    // when `trans`, as operation `nr` (98 moving, 99 placing); `setoff` resets the offsets.
    // The document takes both pictures over. False when memory is short (message shown).
    bool InitDraging(OwnedDib di2, OwnedDib savesel, bool saveselhan, bool trans, int nr,
                     bool setoff);
    // Floating pixels follow the pointer from paint-box point (X, Y): the selection lifted off
    // the image, or the put-down floating pixels picked up again. False when memory is short
    // (the message has been shown).
    bool LiftSelection(std::int32_t X, std::int32_t Y);
    void MoveFloating(std::int32_t X, std::int32_t Y);
    void DropFloating(std::int32_t X, std::int32_t Y);
    void RefreshFloating();
    // Composes the floating pixels into the image with their corner at paint-box point
    // (_x, _y); `seltoo` also writes the covered area into the mask.
    void DrawDragedDib(std::int32_t _x, std::int32_t _y, bool imtoo, bool seltoo);
    void FinishDraging();
    // Removes a put-down floating selection: the image shows the background again and the
    // selection ends (the editor's "Löschen" while floating).
    void removeFloating();
    // The picture lines and shapes are drawn into: the background under a put-down floating
    // selection (so they go behind it), otherwise the image.
    dib& drawingTarget();
    // After drawing into drawingTarget(): a put-down floating selection is composed on top of
    // the changed background again; the image rectangle `area` (all when empty) is repainted.
    void drawingDone(const QRect& area = {});
    // Turns the selection into a put-down floating selection in place. False when there is no
    // selection, one is floating already, or memory is short (message shown).
    bool MakeSelectionDragable();
    // A floating selection exists, moving or put down.
    bool hasFloating() const { return bool(dragdi1); }
    // Floating pixels that still move with the pointer (a command reached from the keyboard
    // during a drag or a placement) are put down where the pointer was last seen.
    void settleFloating();
    // After a command changed the image in place while a floating selection is put down: the
    // background takes the change wherever the floating pixels do not cover it, and the
    // floating pictures take a changed palette, so that moving them on keeps the change.
    void backgroundFollowsImage();

    // --- image commands (ImageDocumentCommands.cpp) ------------------------------------------
    // Each runs in an edit of its own (ImageEdit): it records its undo step and refreshes the
    // window once. Results: Done; Unchanged when nothing changed and the user has been told why
    // if there was a reason (undo refused, memory short for lifting the selection, no
    // selection); NoMemory when the operation made no picture, which the caller reports (the
    // undo step is taken back then, as after Stopped).
    //
    // "Horizontal spiegeln" (left-right) and "Vertikal spiegeln" (top-bottom). With an active
    // selection only the selected pixels turn over: they become a put-down floating selection
    // (if they were not one) mirrored in its own box, which stays where it was.
    imageops::OpStatus FlipH(const ProgressCallback& progress = {});
    imageops::OpStatus FlipV(const ProgressCallback& progress = {});
    // "Rotieren". Without a selection the image turns into a new picture: two undo steps, the
    // command's and SetNewSizedDib's. With one, the selected pixels turn as a put-down floating
    // selection: quarter and half turns keep its top-left corner; a free angle starts the turned
    // pixels at that corner, the uncovered corners left out of the selection.
    imageops::OpStatus rotate(const imageops::RotateParams& p,
                              const ProgressCallback& progress = {});
    // "Zur Auswahl verkleinern": the image becomes the selection's bounding box, keeping the
    // selected pixels; the others there take the value 0. Unchanged without a selection.
    imageops::OpStatus cropToSelection(const ProgressCallback& progress = {});
    // An operation on the selected pixels of the image: recorded, run and refreshed in one
    // edit (the in-place commands of "Bild" and "Farben"). The result is the operation's.
    using InPlaceOperation = std::function<imageops::OpStatus(
        dib& image, const imageops::Selection& selection, const ProgressCallback& progress)>;
    imageops::OpStatus changeInPlace(const InPlaceOperation& operation,
                                     const ProgressCallback& progress = {});
    // A command that makes a picture of a new size from the image ("Rand hinzufügen...",
    // "Leinwandgröße ändern...", "Größe ändern..."): SetNewSizedDib installs it and records the
    // step, in one edit. NoMemory when `make` made no picture.
    imageops::OpStatus changeSize(const std::function<OwnedDib(const dib& image)>& make);
    // Operations that record their own undo step before they change the selected pixels: the
    // filter engine (built-in and user filters), the two 5 x 5 shape filters and the removal
    // of noise.
    imageops::OpStatus DibFilter(const filtertype& filter, const ProgressCallback& progress = {});
    imageops::OpStatus runBuiltinFilter(const imageops::BuiltinFilter& filter,
                                        const ProgressCallback& progress = {});
    imageops::OpStatus DibErodeFilter(const ProgressCallback& progress = {});
    imageops::OpStatus DibDilateFilter(const ProgressCallback& progress = {});
    imageops::OpStatus DelNoise(std::int32_t Grenze, const ProgressCallback& progress = {});

    // --- painting tools (tools/BrushTool.cpp, tools/FillTool.cpp, tools/TextTool.cpp) --------
    // One segment of a brush stroke from (x1, y1) to (x2, y2), image pixels, in colour
    // `farbe`, with the tool of the mode flags and the tip of `options`; repaints what changed.
    void BrushLine(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                   std::int32_t farbe, const ToolOptions& options);
    // The fill tool at image pixel (ix, iy) with paintcolor and paint2color. A start outside the
    // picture or outside an active selection changes nothing.
    void floodFill(std::int32_t ix, std::int32_t iy, const ToolOptions& options);
    // The text tool's press: asks the frame for a text (ViewPort::askForText) and floats it.
    void textToolPress();
    // Renders `text` in col1 into a floating selection that follows the pointer with its
    // top-left corner (operation 99). False when there is nothing to place or memory is short
    // (the message has been shown).
    bool InsertText(const TextBlock& text);

    // --- undo (ImageDocumentUndo.cpp) --------------------------------------------------------
    // Records the current state as the newest entry and marks the image changed. When a copy
    // cannot be made nothing is recorded, the message is shown and false is returned: the
    // caller must then leave the document as it is. The oldest entry a full history pushes
    // out goes to `pushedOut` when given. Commands record through beginEdit.
    [[nodiscard]] bool SaveForUndo(UndoEntry* pushedOut = nullptr);
    // Steps back to the newest entry, "Rückgängig": the drawing colours follow the restored
    // picture (coloursFollowImage). The image counts as changed afterwards unless that is the
    // state last saved (or loaded).
    void LoadFromUndo();
    // The image was written to its file: unchanged from here, and again after undoing back to
    // here.
    void markSaved();
    // The image differs from its file without a recorded change (a recovered copy): changed in
    // every state until it is saved.
    void markUnsaved();
    // Frees entry nr (1 = oldest) and closes the gap.
    void FreeUndoBuffer(int nr);
    void freeAllUndo();

    // --- overlay read by the view ------------------------------------------------------------
    const RubberBand& rubberBand() const { return band_; }
    // The free-hand outline being drawn (paint-box pixels), or null.
    const std::vector<TPoint>* freehandOutline() const;

    // --- fields ------------------------------------------------------------------------------
    OwnedDib di;
    std::int32_t col1 = 0;
    std::int32_t col2 = 0xffffff;
    std::int32_t zoomin = 1;
    std::int32_t zoomout = 1;
    std::int32_t PaintZeug = paintzeug::kNone;
    bool inPaint = false;
    bool Capture = false;
    std::int32_t paint2color = 0;
    std::int32_t paintcolor = 0;
    TPaintInfo PaintInfo;
    std::int32_t selpos = 0;
    bool selaktiv = false;
    OwnedDib seldib;
    // Outline points of the selection (the same list as outline().points).
    const std::vector<TPoint>& selpunkte() const { return outline_.points; }
    SelectionType sel;
    SelectionType sel_;
    TRect selrect;
    TShiftState ShiftState;
    // Brush state: the mode flags of the stroke in progress (cleared at its release), the
    // colour being replaced, and the clone points: source (clx, cly) and the first stroke's
    // start (cfx, cfy) in image pixels, the current stroke's start (clsx, clsy) in paint-box
    // pixels. The clone source stays until it is set again.
    bool Replace = false;
    std::int32_t RepColor = 0;
    bool CloneFK = false;
    bool CloneNow = false;
    bool CloneSet = false;
    std::int32_t cfx = 0, cfy = 0, clsx = 0, clsy = 0, clx = 0, cly = 0;
    bool Retouch = false;
    OwnedDib tempdi;
    OwnedDib dragdi1;
    OwnedDib dragdi2;
    std::int32_t DragOx = 0;
    std::int32_t DragOy = 0;
    bool DragingNotFinished = false;
    bool dragtrans = false;
    bool dragSel = false;
    // Where the floating pixels' top-left corner lies while put down, image pixels. Picking
    // them up again and re-reading them use it, so a floating selection whose mask has empty
    // outer rows or columns keeps its place.
    TPoint floatingPos;
    int CanUndo = 0;
    std::array<UndoEntry, 3> UndoInfo;
    bool cansave = false;
    QString WinName;
    QString SaveFilename;
    std::int32_t SaveFormat = 0;
    bool changed = false;

private:
    friend class ImageEdit;

    // Window and frame calls that tolerate an absent side. While an edit is open they wait
    // for its finish (pending_), which makes each of them once.
    void updateMenus();
    void paletteChanged();
    void invalidate(const QRect& paintBoxRect);
    void invalidateAll();
    void invalidateImageArea(const QRect& imageRect);
    void invalidateSelection();
    void resizePaintBox();
    void takeCapture();
    void releaseCapture();
    void setRubberBand(const RubberBand& band);
    void showStatus(int panel, const QString& text);
    void zoomStepAt(std::int32_t x, std::int32_t y, ZoomView next);

    // The mask exists with the image's size (made anew, empty, when it does not).
    bool ensureMask();
    void clearSelection();
    // What each tool does with the mouse (handlersOf), at paint-box point (X, Y): its press,
    // and the moves and release of a drag its press began (none for a tool that starts none).
    // A drag of floating pixels is no tool's: it follows the pointer whichever tool started it.
    using ToolPress = void (ImageDocument::*)(TMouseButton button, std::int32_t X, std::int32_t Y,
                                              const ToolOptions& options);
    using ToolDrag = void (ImageDocument::*)(std::int32_t X, std::int32_t Y,
                                             const ToolOptions& options);
    struct ToolHandlers {
        ToolPress press = nullptr;
        ToolDrag move = nullptr;
        ToolDrag release = nullptr;
    };
    static ToolHandlers handlersOf(Tool tool);
    // The edit of a press that records an undo step (repaintChangesOnly).
    ImageEdit pressEdit();
    // A press on the selection: it follows the pointer from (X, Y), one undo step.
    void liftPress(std::int32_t X, std::int32_t Y);
    void zoomToolPress(TMouseButton button, std::int32_t X, std::int32_t Y,
                       const ToolOptions& options);
    void handToolPress(TMouseButton button, std::int32_t X, std::int32_t Y,
                       const ToolOptions& options);
    void handDrag(std::int32_t X, std::int32_t Y, const ToolOptions& options);
    void pipettePress(TMouseButton button, std::int32_t X, std::int32_t Y,
                      const ToolOptions& options);
    // Line, shape and rectangle selection: a rubber band from the press to the pointer (a
    // square or circle when the options keep the sides equal), committed by the release.
    void shapeToolPress(TMouseButton button, std::int32_t X, std::int32_t Y,
                        const ToolOptions& options);
    void figureMove(std::int32_t X, std::int32_t Y, const ToolOptions& options);
    void figureRelease(std::int32_t X, std::int32_t Y, const ToolOptions& options);
    // tools/: selection tools (a press on or beside the selection; the free-hand outline's
    // moves and release), the brush family, the fill and the text.
    void selectionToolPress(TMouseButton button, std::int32_t X, std::int32_t Y,
                            const ToolOptions& options);
    void freehandMove(std::int32_t X, std::int32_t Y, const ToolOptions& options);
    void freehandRelease(std::int32_t X, std::int32_t Y, const ToolOptions& options);
    void brushToolPress(TMouseButton button, std::int32_t X, std::int32_t Y,
                        const ToolOptions& options);
    // The brush stroke continues to paint-box point (X, Y): one segment from (sx, sy).
    void strokeTo(std::int32_t X, std::int32_t Y, const ToolOptions& options);
    void brushRelease(std::int32_t X, std::int32_t Y, const ToolOptions& options);
    void fillToolPress(TMouseButton button, std::int32_t X, std::int32_t Y,
                       const ToolOptions& options);
    void textToolClick(TMouseButton button, std::int32_t X, std::int32_t Y,
                       const ToolOptions& options);
    // The clone cross's centre, paint-box pixels: the point the brush copies from.
    QPoint cloneCrossCentre(const ToolOptions& options) const;
    void statusForMove(std::int32_t X, std::int32_t Y, const ToolOptions& options);
    void chooseCursor(const TShiftState& shift, std::int32_t X, std::int32_t Y,
                      const ToolOptions& options);
    // Restores the image under the floating pixels last composed from the background.
    void restoreBackground();
    bool startFloating(OwnedDib pixels, OwnedDib mask, bool hasMask, bool trans, int nr,
                       OwnedDib background);
    // The selected pixels, their mask and a copy of the whole image from before (the
    // selected pixels filled with `fill` when `cut`); all empty, with the shortage reported
    // and the image untouched, when memory runs short.
    struct LiftedSelection {
        OwnedDib pixels;
        OwnedDib mask;
        OwnedDib background;
    };
    LiftedSelection liftSelectedPixels(bool cut, std::uint32_t fill);
    void composeFloatingAt(std::int32_t ix, std::int32_t iy, bool imtoo, bool seltoo);
    void keepPlace(const TPoint& corner);
    // Image commands: the selection as a put-down floating selection (false, the outline
    // rebuilt, when it cannot be lifted); an in-place change after its undo step.
    bool floatSelection();
    imageops::OpStatus mirror(bool leftRight, const ProgressCallback& progress);
    imageops::OpStatus rotateFloating(const imageops::RotateParams& p,
                                      const ProgressCallback& progress);
    // Undo: the newest entry restored; a failed edit's entry taken back with the one its
    // step pushed out of a full history returned.
    void restoreNewest();
    void takeBackNewest(UndoEntry pushedOut);
    void flushRefresh();

    ViewPort* view_ = nullptr;
    EditorHost* host_ = nullptr;
    SelectionOutline outline_;
    RubberBand band_;
    // The image rectangle where floating pixels were last composed into the image; everything
    // else of the image equals the background while a floating selection exists.
    QRect composed_;
    // The part of the floating corner a paint-box offset cannot express when reduced.
    TPoint dragRest_;
    // The tool whose press began the drag in progress (BeginDrag).
    Tool dragTool_ = Tool::Zoom;
    QSize boxSize_;
    std::uint64_t revision_ = 0;
    // Every change recorded for undo starts a new state, named by the revision it began at
    // (never 0); undo returns to an earlier one. The image is unchanged exactly in the state it
    // was loaded or saved in.
    std::uint64_t state_ = 0;
    std::uint64_t savedState_ = 0;
    int openEdits_ = 0;
    struct PendingRefresh {
        bool palette = false;
        bool view = false;        // the whole view
        std::vector<QRect> areas; // otherwise these parts of it
        bool menus = false;
    };
    PendingRefresh pending_;
};

// A white picture of width x height pixels at 24 bits, as the editor starts with.
OwnedDib makeWhiteImage(std::int32_t width, std::int32_t height);
