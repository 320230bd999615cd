#pragma once

#include "MenuState.h"
#include "ToolOptions.h"
#include "foundation/OwnedDib.h"
#include "foundation/Progress.h"

#include <QCursor>
#include <QMainWindow>

#include <array>
#include <vector>

class QButtonGroup;
class QComboBox;
class QEventLoop;
class QLabel;
class QMenu;
class QMenuBar;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QStatusBar;
class QTabWidget;
class QToolButton;
class TGradientCaption;
class TMDIChild;
class TPaintBox;

// "Bild bearbeiten": the image editor window. One instance lives for the whole run; the stitch
// editor shows it modally for the symbol picture of one stitch. It holds the menus, the
// standard tool bar, the drawing tools with their options, the colour panel's place, the
// progress bar and the status bar around the image document in its middle.
class TDIBMainForm : public QMainWindow {
    Q_OBJECT

public:
    // Width of the right-hand panel with the tool options and the colours: room for the
    // labels and for option boxes that show their entries legibly.
    static constexpr int kPanel1Width = 180;

    explicit TDIBMainForm(QWidget* parent = nullptr);
    ~TDIBMainForm() override;

    // Shows the window modally and returns once it has been closed.
    void ShowModal();
    void FileExitItemClick();

    // Enables and disables the commands from the document's state and the clipboard.
    void UpdateMenuItems();
    // The document's part of that state; no image while no document is embedded.
    menustate::Input documentMenuState() const;
    // Whether a command is meant to be enabled as the last UpdateMenuItems left it (commands
    // that have no operation yet stay disabled on screen all the same).
    bool commandEnabled(menustate::Command command) const;

    // The hint of the control or menu item under the pointer, in status panel 0.
    void DisplayHint(const QString& hint);
    // Status panel 1 while the pointer is over the window's own surface.
    void FormMouseMove();
    void setStatusText(int panel, const QString& text);
    QString statusText(int panel) const;

    // The caption of the window and of its gradient caption.
    void setCaption(const QString& caption);

    // Progress of long operations in ShowProzent (0 to 100); operations end with 0.
    void WMProgress(int percent);
    // A progress callback that drives ShowProzent, for the image library's reads and writes.
    ProgressCallback progress();

    // Drawing tools and their options.
    void ZoomBtnClick();
    void BrushTypBoxChange(int index);
    void LoadPattBtnClick();
    DrawingTool currentTool() const;
    void selectTool(DrawingTool tool);
    // The settings of every tool as the controls show them now; read at each mouse event.
    ToolOptions toolOptions() const;
    // The registered tool cursors, drawn for this window's device pixel ratio.
    QCursor toolCursor(ToolCursor kind) const;

    // Magnification: keeps ZoomBox in step and refreshes the commands.
    void SetZoom(int zin, int zout);
    void ZoomBoxChange(int index);
    void Toolbars1Click();

    void Zwischenablagelschen1Click();

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

    // Drawing tools, in SpeedBar1 order (index = DrawingTool).
    std::array<QToolButton*, kDrawingToolCount> toolButtons{};
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

private:
    void FormCreate();
    void createRegions();
    void createSpeedPanel();
    void createMenus();
    void createToolBar();
    void createOptionTabs();
    void createBrushTab();
    void layOutOptionRow(QLabel* label, QWidget* control, int row);
    int labelColumn_ = 55; // where the option controls start
    // Registers a menu item, submenu or button whose enabled state the window manages.
    // `wired`: its operation exists. `needsDocument`: it only makes sense with a document.
    void registerCommand(QObject* target, bool wired, bool needsDocument = false);
    void applyCommandStates();
    bool clipboardHoldsPicture() const;
    void restorePlacement();
    void storePlacement() const;

    QButtonGroup* toolGroup_ = nullptr;
    QLabel* statusPanels_[2] = {nullptr, nullptr};

    struct CommandControl {
        QObject* target;
        bool wired;
        bool needsDocument;
        int stateIndex; // into menuEnabled_, -1 for commands the menu state does not rule
    };
    std::vector<CommandControl> commands_;
    menustate::Enabled menuEnabled_ = menustate::initialEnabled();

    QEventLoop* modalLoop_ = nullptr;
};
