#pragma once

#include "MenuState.h"
#include "foundation/OwnedDib.h"
#include "foundation/Progress.h"
#include "image/DocumentHost.h"
#include "image/ToolCursor.h"
#include "imageops/BuiltinFilters.h"
#include "imageops/ImageOp.h"
#include "imageops/OpMessage.h"

#include <QCursor>
#include <QDialog>
#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class QButtonGroup;
class QComboBox;
class QEventLoop;
class QLabel;
class QMenu;
class QMenuBar;
class QProgressBar;
class QPrinter;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QStatusBar;
class QTabWidget;
class QTimer;
class QToolButton;
class ImageDocument;
class TGradientCaption;
class TMDIChild;
class TPaintBox;
class ColourPanel;
class ScanControl;
class TPreviewForm;
class TShape;
class PictureRecoverySource;

namespace recovery {
class Keeper;
struct Description;
} // namespace recovery

// "Bild bearbeiten": the image editor window. One instance lives for the whole run; the stitch
// editor shows it modally for the symbol picture of one stitch. It holds the menus, the
// standard tool bar, the drawing tools with their options, the colour panel, the progress bar
// and the status bar around the image document MDIChild1 in its middle, and is the document's
// EditorHost: the document reports caption, status texts, colours and zoom through it.
class TDIBMainForm : public QMainWindow, public EditorHost {
    Q_OBJECT

public:
    // Least width of the right-hand panel with the tool options and the colours; it is wider
    // where the labels and the longest entry of an option list ("Rechteckiges Gefälle") need.
    static constexpr int kPanel1Width = 180;
    // The picture the window starts with and the document holds between two hand-overs.
    static constexpr int kStartWidth = 320;
    static constexpr int kStartHeight = 200;

    explicit TDIBMainForm(QWidget* parent = nullptr);
    ~TDIBMainForm() override;

    // Shows the window modally and returns once it has been closed.
    void ShowModal();
    void FileExitItemClick();

    // The one image document (MDIChild1's).
    ImageDocument& doc();
    const ImageDocument& doc() const;
    // Installs `bitmap` as the document's new image under `name` (1:1, unchanged, no file,
    // colours 0 and the last one). A bitmap without pixels leaves the image as it is.
    void NewWindow(OwnedDib bitmap, const QString& name);
    // The end of a hand-over: gives up the picture as the user sees it (a floating selection
    // included) and leaves the document with the blank start picture, no selection and no undo
    // steps. Empty only when the document held no picture.
    OwnedDib takePicture();
    // Repaints the document view.
    void UpdateAllColors();

    // Enables and disables the commands from the document's state and the clipboard.
    void UpdateMenuItems() override;
    // The document's part of that state.
    menustate::Input documentMenuState() const;
    // Whether a command is meant to be enabled as the last UpdateMenuItems left it (commands
    // that have no operation yet stay disabled on screen all the same).
    bool commandEnabled(menustate::Command command) const;

    // The hint of the control or menu item under the pointer, in status panel 0.
    void DisplayHint(const QString& hint);
    // Status panel 1 while the pointer is over the window's own surface.
    void FormMouseMove();
    void setStatusText(int panel, const QString& text) override;
    QString statusText(int panel) const;

    // The caption of the window and of its gradient caption.
    void setCaption(const QString& caption) override;

    // The rest of EditorHost: swatches, read-out, zoom list, palette display.
    void showColor(int which, QRgb color) override;
    void showColorReadout(const ColorReadout& readout) override;
    void selectZoomBoxIndex(int index) override;
    void paletteChanged() override;
    // Three seconds after a read-out: back to dashes, AColShape hidden, the timer off.
    void AColTimer1Timer();

    // Progress of long operations in ShowProzent (0 to 100); operations end with 0.
    void WMProgress(int percent);
    // A progress callback that drives ShowProzent, for the image library's reads and writes.
    ProgressCallback progress();

    // Drawing tools and their options.
    void ZoomBtnClick();
    void BrushTypBoxChange(int index);
    void LoadPattBtnClick();
    Tool currentTool() const;
    void selectTool(Tool tool);
    // The settings of every tool as the controls show them now; read at each mouse event.
    ToolOptions toolOptions() const;
    // The registered tool cursors, drawn for this window's device pixel ratio.
    QCursor toolCursor(ToolCursor kind) const;

    // Magnification: keeps ZoomBox in step and refreshes the commands.
    void SetZoom(int zin, int zout);
    void ZoomBoxChange(int index);
    void Toolbars1Click();

    // "Datei": files and scanning (TDIBMainFormFiles.cpp).
    void FileNewItemClick();
    void FileOpenItemClick();
    void FileSaveItemClick();
    void FileSaveAsItemClick();
    // Reads an image file into the document; says why when it cannot.
    void OpenImageFile(const QString& fileName);
    // Asks whether unsaved changes are to be saved first; true means the caller may go on.
    bool AskSaveChanges();
    void Scannerauswhlne1Click();
    void Bildscannen1Click();
    // A scan has finished: the picture under `token` becomes the image.
    void WMScanDone(quint64 token);

    // "Bearbeiten": the clipboard (TDIBMainFormClipboard.cpp).
    void CutItemClick();
    void CopyItemClick();
    void AlsBild1Click();
    void AlsAuswahl1Click();
    void AlstransparenteAuswahl1Click();
    // Pastes the clipboard's picture as a floating selection, transparent when AusTrans.
    void PasteAlsAuswahl();
    void Lschen1Click();
    void Zwischenablagelschen1Click();
    // The next paste as a selection is transparent.
    bool AusTrans = false;

    // "Farben": "Palette editieren..." (TDIBMainFormFiles.cpp).
    void Paletteeditieren1Click();

    // The editor on its own: closing asks about unsaved changes, and there is no chart
    // designer to go back to.
    void setStandalone(bool standalone);
    bool standalone() const { return standalone_; }
    // Reads the recovery copy `copyPath` as its description says: the picture under its title
    // and file, marked changed. False, with nothing reported and the picture as it was, when
    // the copy cannot be read.
    bool restorePicture(const QString& copyPath, const recovery::Description& description);
    // Keeps the recovery copy of the picture while it has unsaved changes.
    recovery::Keeper& recoveryKeeper() { return *recovery_; }

    // "Bearbeiten" and "Auswahl".
    void Rckgngig1Click();
    void Allesauswhlen1Click();
    void Nichtauswhlen1Click();
    void Auswahlumkeheren1Click();
    void VomUntergrundlsen1Click();
    void MitUntergrundverschmelzen1Click();
    // "Farbtiefe verkleinern" (the dialog first) and "Farbtiefe vergrößern".
    void N2Farbent1Bit1Click();
    void N16Farbent4Bit1Click();
    void N256Farbent8Bit1Click();
    void XFarben4Bit8Bit1Click();
    void N16Farbent4Bit2Click();
    void N256Farbent8Bit2Click();
    void N16MillionenFarbent24Bit1Click();

    // "Bild" (TDIBMainFormImage.cpp). The built-in filters are wired from their table.
    void Horizontalspiegeln1Click();
    void Vertikalspiegeln1Click();
    void Rotieren1Click();
    void Randhinzufgen1Click();
    void Rahmenvergrern1Click();
    void ZurAuswahlverkleinern1Click();
    void Grendern1Click();
    void Perspektive1Click();
    void Wlben1Click();
    void Druckknopferstellen1Click();
    void Schattenhinzufgen1Click();
    void builtinFilterClick(const imageops::BuiltinFilter& filter);
    // The menu items of the built-in filters: the filter named like the item that was chosen.
    void BuiltinFilterItemClick();
    void Hinzufgen1Click();
    void Entfernen1Click();
    void Erweitern1Click();
    void Auswachen1Click();
    void MosaikEffekt1Click();
    void BenutzerdefinierteFilter1Click();
    // "Farben" (TDIBMainFormColours.cpp).
    void HelligkeitundKontrast1Click();
    void GammaKorrektion1Click();
    void GlanzlichtMitteSchatten1Click();
    void RotGrnBlau1Click();
    void Colorieren1Click();
    void Graustufen1Click();
    void HistogramFunktionen1Click();
    void Farbenumkehren1Click();
    void Tiefebeschrnken1Click();
    void Solarisieren1Click();
    void PaletteladenBildanpassen1Click();
    void Paletteladen1Click();
    void Palettespeichern1Click();
    void BenutzteFarbenzhlen1Click();
    // "Drucker einrichten..." and "Drucken..." (TDIBMainFormPrint.cpp): the image on one page
    // of printer(), which the editor keeps for the whole run.
    void Druckereinrichten1Click();
    void Drucken1Click();
    QPrinter& printer();
    // How Drucken1Click lets the user choose the printer (or a PDF file) after the layout
    // dialog; the platform's print dialog unless a test puts its own step here.
    std::function<bool(QPrinter&)> choosePrinter;

    // Folder of the program file, ending in a separator.
    QString ProgPath;
    // The fill pattern of "Muster laden"; empty until one is loaded.
    OwnedDib pattern;

    // The image document frame; embedded in ClientArea.
    TMDIChild* MDIChild1 = nullptr;

    // Regions.
    TGradientCaption* GradientCaption = nullptr;
    QMenuBar* MainMenu = nullptr;
    QWidget* SpeedPanel = nullptr; // standard tool bar
    QWidget* SpeedBar1 = nullptr;  // drawing tools
    QWidget* ClientArea = nullptr; // the document's place
    QWidget* Panel1 = nullptr;     // right: options above, colours below
    QWidget* Panel3 = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr; // "Optionen"
    QWidget* TabSheet2 = nullptr; // "Pinselspitze"
    QWidget* RightSidePanel = nullptr;
    QWidget* Panel2 = nullptr; // colour swatches and read-outs
    QScrollArea* PalScrollBox = nullptr;
    TPaintBox* PalPaintBox = nullptr;

    // Panel2: the two colours and the read-out of the colour under the pointer.
    TShape* Shape1 = nullptr; // foreground
    TShape* Shape2 = nullptr; // background
    QLabel* RedLabel = nullptr;
    QLabel* GreenLabel = nullptr;
    QLabel* BlueLabel = nullptr;
    QLabel* IndexLabel = nullptr;
    TShape* AColShape = nullptr;
    QTimer* AColTimer1 = nullptr;
    // The colour panel holding them (it is RightSidePanel).
    ColourPanel* colours_ = nullptr;
    // Stops a running scan; shown beside ShowProzent while one runs.
    QToolButton* ScanCancelBtn = nullptr;

    QWidget* SpeedBar2 = nullptr;
    QProgressBar* ShowProzent = nullptr;
    QStatusBar* StatusBar = nullptr;

    // Standard tool bar.
    QToolButton* ToolButton1 = nullptr; // new
    QToolButton* ToolButton2 = nullptr; // open
    QToolButton* SaveSpeedBtn = nullptr;
    QToolButton* CutSpeedBtn = nullptr;
    QToolButton* CopySpeedBtn = nullptr;
    QToolButton* PasteSpeedBtn = nullptr;
    QToolButton* UndoItSpeedBtn = nullptr;
    QToolButton* ToolButton8 = nullptr; // back to the chart designer

    // Drawing tools, in SpeedBar1 order (index = Tool).
    std::array<QToolButton*, kToolCount> toolButtons{};
    QToolButton* ZoomBtn = nullptr;
    QToolButton* HandBtn = nullptr;
    QToolButton* SelectBtn = nullptr;
    QToolButton* FreeSelBtn = nullptr;
    QToolButton* MagicBtn = nullptr;
    QToolButton* DropBtn = nullptr;
    QToolButton* BrushBtn = nullptr;
    QToolButton* CloneBtn = nullptr;
    QToolButton* ReplaceBtn = nullptr;
    QToolButton* RetouchBtn = nullptr;
    QToolButton* FillBtn = nullptr;
    QToolButton* TxtBtn = nullptr;
    QToolButton* LineBtn = nullptr;
    QToolButton* ShapeBtn = nullptr;

    // "Optionen".
    QLabel* ZoomLabel = nullptr;
    QComboBox* ZoomBox = nullptr;
    QLabel* BreitLabel = nullptr;
    QSpinBox* BreitEdit = nullptr;
    QLabel* TypLabel = nullptr;
    QComboBox* TypBox = nullptr;
    QLabel* StilLabel = nullptr;
    QComboBox* StilBox = nullptr;
    QLabel* TolLabel = nullptr;
    QSpinBox* TolEdit = nullptr;
    QLabel* CloneLabel = nullptr;
    QComboBox* CloneBox = nullptr;
    QLabel* RetouchLabel = nullptr;
    QComboBox* RetouchBox = nullptr;
    QLabel* FstyleLabel = nullptr;
    QComboBox* FillStyleBox = nullptr;
    QLabel* DirLabel = nullptr;
    QComboBox* DirectBox = nullptr;
    QPushButton* LoadPattBtn = nullptr;

    // "Pinselspitze".
    QComboBox* BrushTypBox = nullptr;
    QComboBox* FormBox = nullptr;
    QSpinBox* SizeEdit = nullptr;
    QSpinBox* HardEdit = nullptr;
    QSpinBox* DensEdit = nullptr;
    QSpinBox* OpaCityEdit = nullptr;

    // Top-level menus.
    QMenu* File1 = nullptr;
    QMenu* Bearbeiten1 = nullptr;
    QMenu* Betrachten1 = nullptr;
    QMenu* Bild1 = nullptr;
    QMenu* Farben1 = nullptr;
    QMenu* Auswahl1 = nullptr;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void createRegions();
    void createSpeedPanel();
    void createMenus();
    void createToolBar();
    void createOptionTabs();
    void createBrushTab();
    void createColourArea();
    void embedDocument();
    void layOutOptionRow(QLabel* label, QWidget* control, int row);
    int labelColumn_ = 55;           // where the option controls start
    int panel1Width_ = kPanel1Width; // of the option tabs and the colour panel
    // Registers a menu item, submenu or button whose enabled state the window manages.
    // `wired`: its operation exists.
    void registerCommand(QObject* target, bool wired);
    void applyCommandStates();
    void ClipboardViewer1Change();
    // Pattern E: the depth changes in one edit of the document; the drawing colours start
    // again.
    void depthDown(int nbpp);
    void depthUp(int nbpp);
    void changeDepth(const std::function<imageops::OpStatus(dib& image)>& convert);
    // The image commands go through the document's edits (ImageEdit), which record the undo
    // step and refresh the window once. What is left here: the progress bar back to 0 and the
    // message of a command that ran short of memory; a new size made by `make` (pattern D); a
    // preview dialog working on the image while it is open (C).
    void showOutcome(imageops::OpStatus status);
    // An operation on the selected pixels, in one edit (patterns A and B).
    using InPlaceOperation = std::function<imageops::OpStatus(
        dib& image, const imageops::Selection& selection, const ProgressCallback& progress)>;
    void changeInPlace(const InPlaceOperation& operation);
    // Pattern B: asks a new Form for the values and, after OK, changes the selected pixels by
    // run(form.params(), image, selection, progress).
    template <typename Form, typename Run>
    void askThenChange(Run run) {
        Form form(this);
        if (form.exec() != QDialog::Accepted) {
            return;
        }
        changeInPlace([&run, p = form.params()](dib& image, const imageops::Selection& selection,
                                                const ProgressCallback& progress) {
            return run(p, image, selection, progress);
        });
    }
    void newSize(const std::function<OwnedDib(const dib& image)>& make);
    void runPreview(TPreviewForm& form);
    void showMessages(const QList<imageops::OpMessage>& messages);
    void restorePlacement();
    void createScanning();
    void scanEnded();
    // Copy; false when the picture could not be made (the message has been shown).
    bool copyToClipboard();
    void storePlacement() const;

    QButtonGroup* toolGroup_ = nullptr;
    QLabel* statusPanels_[2] = {nullptr, nullptr};

    struct CommandControl {
        QObject* target;
        bool wired;
        int stateIndex; // into menuEnabled_, -1 for commands the menu state does not rule
    };
    std::vector<CommandControl> commands_;
    menustate::Enabled menuEnabled_ = menustate::initialEnabled();
    // Read when the clipboard changes: asking it at every update could wait on another program.
    bool clipboardHasPicture_ = false;

    QEventLoop* modalLoop_ = nullptr;
    ScanControl* scans_ = nullptr;
    // The document's revision when the running scan started.
    std::uint64_t scanStartRevision_ = 0;
    bool standalone_ = false;
    std::unique_ptr<QPrinter> printer_;

    // The window learns of every change through setCaption and UpdateMenuItems: both tell the
    // recovery copy.
    void noteDocumentState();
    PictureRecoverySource* recoverySource_ = nullptr; // owned by the keeper
    std::unique_ptr<recovery::Keeper> recovery_;
};
