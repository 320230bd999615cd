#pragma once

#include "designer/ChartDocument.h"
#include "designer/FileStatus.h"
#include "designer/Instructions.h"
#include "designer/PageSettings.h"

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <memory>

class ProgramWindows;
class QAction;
class QIODevice;
class QMenu;
class QPushButton;
class QMouseEvent;
class QPainter;
class QPlainTextEdit;
class QWheelEvent;
class QPrinter;
class QScrollArea;
class QSplitter;
class QTabWidget;
class QToolButton;
class QWidget;
class TPaintBox;
class TSettingsTab;

namespace recovery {
class Keeper;
}

// The chart designer's main window. It owns the chart document for the whole run and keeps the
// window title in step with the file name and the unsaved-changes flag.
class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    // `arguments` is the command line; its first argument after the program names a project
    // that is opened when the window is shown for the first time.
    TMainForm(ProgramWindows& windows, const QStringList& arguments, QWidget* parent = nullptr);
    ~TMainForm() override;

    void FormCreate();
    void FormShow();

    // New chart through the "Neues Projekt" dialog; nothing changes unless it is closed with OK.
    void NewAll();

    // Writes the chart and the settings to `fname`; the previous file survives any failure.
    bool SaveProject(const QString& fname);
    // Reads the project `fname`. A file that does not exist is passed over silently; a damaged
    // one is reported. On failure the chart, its file name and its caption stay as they were.
    bool LoadProject(const QString& fname);
    // Reads the recovery copy `copyPath` as the chart of the file `fname` (none when empty),
    // marked changed so that saving writes it there. False, with nothing reported and the chart
    // as it was, when the copy cannot be read.
    bool restoreProject(const QString& copyPath, const QString& fname);
    // Keeps the recovery copy of the chart while it has unsaved changes.
    recovery::Keeper& recoveryKeeper() { return *recovery_; }

    // The per-user data folder, ending in a separator; created first when `create` is set.
    QString GetProgramDir(bool create) const;
    // Replaces the library by the content of stiche.dat, if there is one.
    void LoadStiche();
    // Writes the whole library to stiche.dat; reports and returns false when that fails.
    bool SaveStiche();

    void SetChanged();
    void SetUnChanged();

    // Sizes the chart view for the whole table or the current printer's page and repaints it.
    void PaintBox1Paint();
    // Size of the page in pixels of the chart view.
    QSize pageSize();
    void PaintBox1MouseDown(QMouseEvent* event);
    void BreitEdChange();
    void ZeigegesamteTabelle1Click();

    // "Spalten" and "Zeilen" menu commands.
    void NeueSpaltelinks1Click();
    void NeueSpalterechts1Click();
    void Markierte1Click();
    void Spalteganzlinkslschen1Click();
    void Spalteganzrechtslschen1Click();
    void Spaltekopieren1Click();
    void Spalteeinfgen1Click();
    void NeueZeileoben1Click();
    void ZeueZeileunten1Click();
    void MarkierteZeilelschen1Click();
    void Zeileganzobenlschen1Click();
    void Zeileganzuntenlschen1Click();
    void Zeilekopieren1Click();
    void Zeileeinfgen1Click();
    void Zeilenachlinksverschieben1Click();
    void Zeilenachrechtsverschieben1Click();

    // Blocks of cells: Shift + left drag selects one; the "Bearbeiten" menu works on it.
    void PaintBox1MouseMove(QMouseEvent* event);
    void PaintBox1MouseUp(QMouseEvent* event);
    void Blockausschneiden1Click();
    void Blockkopieren1Click();
    void Blockeinfgen1Click();
    void Blockleeren1Click();
    void BlockmitStichfllen1Click();
    void Blockwaagerechtspiegeln1Click();
    void Blocksenkrechtspiegeln1Click();
    // The chart's repeat: marked from the block, removed, tiled across and up.
    void AlsRapportmarkieren1Click();
    void Rapportaufheben1Click();
    void Rapportwiederholen1Click();
    // "Einstellungen" → "Standardstiche hinzufügen": the standard stitches the library lacks.
    void Standardstichehinzufgen1Click();

    // The printer charts are printed on; its page sizes the chart view.
    QPrinter& printer();

    // Printing and export.
    void Druckereinrichten1Click();
    void Drucken1Click();
    void ExportierenalsBild1Click();
    // Prints the chart on `p`, with the written instructions after it when the print dialog's
    // "Anleitung" option is on; returns the number of pages.
    int printTo(QPrinter& p);
    // Writes the whole table at `dpi` as a picture in format `code`; reports failures.
    bool exportPicture(const QString& fileName, int code, int dpi);

    // The stitch palette and its buttons.
    void PaintBox2Paint();
    void PaintBox2MouseDown(QMouseEvent* event);
    void BitBtn1Click(); // "Hinzufügen..."
    void BitBtn2Click(); // "Bearbeiten..."
    void BitBtn3Click(); // "Löschen"
    void BitBtn4Click(); // "Hoch"
    void BitBtn5Click(); // "Runter"

    // File commands and closing.
    void Neu1Click();
    void ffnen1Click();
    void Speichern1Click();
    void Speichernunter1Click();
    void Beenden1Click();
    // "Bild als Farbmuster importieren...": a new colourwork chart from a picture file.
    void BildalsFarbmusterimportieren1Click();
    bool SaveTheFile();
    bool SaveFile();
    bool OpenFile();
    // The question before unsaved changes are dropped; true when the caller may go on.
    bool askToSave(const QString& question);
    // The question "Neu..." asks, for every command that replaces the chart by a new one.
    bool askToSaveBeforeNew();
    void FormMouseWheel(QWheelEvent* event);

    // "Bearbeiten" menu and its tool-bar buttons: undo and redo of the chart's changes.
    void Rckgngig1Click();
    void Wiederholen1Click();
    // "Anleitung exportieren...": the written instructions as a UTF-8 text file.
    void Anleitungexportieren1Click();
    // Writes the instructions to `fileName`; reports failures.
    bool exportInstructions(const QString& fileName);
    // Brings the "Anleitung" tab up to date with the chart and the settings.
    void refreshInstructions();

    ChartDocument doc; // released in its destructor when the window goes

    QString maincap;  // the designed caption, base of every title
    QString progpath; // folder of the program file, ending in a separator
    bool isfirst = false;

    QWidget* ToolPanel = nullptr;
    QToolButton* SpeedButton1 = nullptr; // "Neu..."
    QToolButton* SpeedButton2 = nullptr; // "Öffnen..."
    QToolButton* SpeedButton3 = nullptr; // "Speichern"
    QToolButton* SpeedButton4 = nullptr; // "Speichern unter..."
    QToolButton* SpeedButton5 = nullptr; // "Drucken"
    QToolButton* SpeedButton6 = nullptr; // "Rückgängig"
    QToolButton* SpeedButton7 = nullptr; // "Wiederholen"
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;      // "Bearbeiten"
    QScrollArea* ScrollBox1 = nullptr; // the chart view
    TPaintBox* PaintBox1 = nullptr;
    QSplitter* Splitter1 = nullptr;
    QWidget* PaletteButtons = nullptr; // strip above the stitch palette
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QPushButton* BitBtn3 = nullptr;
    QPushButton* BitBtn4 = nullptr;
    QPushButton* BitBtn5 = nullptr;
    QScrollArea* ScrollBox2 = nullptr; // the stitch palette
    TPaintBox* PaintBox2 = nullptr;
    TSettingsTab* TabSheet2 = nullptr; // "Einstellungen"
    QWidget* TabSheet3 = nullptr;      // "Anleitung"
    QPlainTextEdit* Memo3 = nullptr;   // the written instructions

    QMenu* Datei1 = nullptr;
    QAction* Neu1 = nullptr;
    QAction* ffnen1 = nullptr;
    QAction* Speichern1 = nullptr;
    QAction* Speichernunter1 = nullptr;
    QAction* ExportierenalsBild1 = nullptr;
    QAction* Anleitungexportieren1 = nullptr;
    QAction* BildalsFarbmusterimportieren1 = nullptr;
    QAction* Drucken1 = nullptr;
    QAction* Druckereinrichten1 = nullptr;
    QAction* Beenden1 = nullptr;
    QMenu* Bearbeiten1 = nullptr;
    QAction* Rckgngig1 = nullptr;
    QAction* Wiederholen1 = nullptr;
    QMenu* Spalten1 = nullptr;
    QMenu* Zeilen1 = nullptr;
    QMenu* Einstellungen1 = nullptr;
    QAction* ZeigegesamteTabelle1 = nullptr;
    QAction* Standardstichehinzufgen1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Wheel turns over the window that no control used scroll the chart.
    void wheelEvent(QWheelEvent* event) override;

private:
    void createToolBar();
    void createEditTab();
    void createPalette(QWidget* panel);
    void createMenus();
    void centreOnScreen();
    void restoreScreenLayout();
    // A new or opened chart is shown from its top-left corner.
    void scrollToTopLeft();
    // Opens the project named on the command line once the window is on the screen.
    void openStartProject();
    // Repaints and marks the chart changed after a grid command; reports a missing mark.
    void afterEdit(ChartDocument::EditResult result);
    // The caption and the recovery copy follow the changed mark.
    void showChangedState();
    // Reads a project into the chart and shows it; nothing is reported. What the file held
    // that was passed over goes to `notes` when given.
    FileStatus readProject(QIODevice& file, std::int64_t size, QStringList* notes = nullptr);

    // Blocks of cells: their menu entries, the drag and the outlines on the chart view.
    void createBlockCommands();
    void drawChartOverlay(QPainter& painter);
    // The chart-view rectangle around the cells of `cells`; empty for an empty block.
    QRect viewRect(const CellBlock& cells) const;
    // Repaints what showed `before` and what shows `after`.
    void updateOutline(const CellBlock& before, const CellBlock& after);
    void showPlacement(const CellBlock& cells, bool fits);

    // Undo and redo.
    void createEditMenu();
    void createHistoryButtons();
    // Records every edit on the settings tab as a step.
    void watchSettings();
    void settingsEdited();
    // Puts settings into the controls without recording it as an edit (loading, undoing).
    void applySettingsQuietly(const PageSettings& settings);
    // Keeps the menu, the buttons and the instructions in step with the history.
    void historyChanged();
    void showUndoOutcome(const ChartHistory::Outcome& outcome);

    // The written instructions.
    void createInstructionsTab();

    ProgramWindows& windows_;
    QStringList arguments_;
    int startWaits_ = 0;
    std::unique_ptr<QPrinter> printer_;
    // The print dialog's "Anleitung auf weiteren Seiten drucken", kept between runs.
    bool printInstructions_ = false;
    // Wheel turn not yet scrolled: a touchpad moves in steps smaller than a notch.
    int wheelTurn_ = 0;

    // A Shift + left drag selecting a block, from this cell.
    bool blockDragging_ = false;
    ChartDocument::CellPos dragFrom_{0, 0};
    CellBlock blockShown_;     // the block frame as last painted
    CellBlock placementShown_; // the cells the stitch under the pointer would cover
    bool placementFits_ = true;

    PageSettings settingsShown_; // the settings as last recorded
    bool applyingSettings_ = false;
    // What the "Anleitung" tab shows was made from this state of the history and settings.
    bool instructionsShown_ = false;
    std::uint64_t instructionsRevision_ = 0;
    instructions::Options instructionsOptions_;

    // Declared after the document, so that it goes first: a copy being written holds stitch
    // records of the document.
    std::unique_ptr<recovery::Keeper> recovery_;
};
