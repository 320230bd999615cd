#pragma once

#include "designer/ChartDocument.h"

#include <QMainWindow>
#include <QString>
#include <QStringList>

class ProgramWindows;
class QScrollArea;
class QSplitter;
class QTabWidget;
class QToolButton;
class QWidget;
class TSettingsTab;

// The chart designer's main window. It owns the chart document for the whole run and keeps the
// window title in step with the file name and the unsaved-changes flag.
class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    // `arguments` is the command line; its first argument after the program names a project
    // that is opened when the window is shown for the first time.
    TMainForm(ProgramWindows& windows, const QStringList& arguments, QWidget* parent = nullptr);

    void FormCreate();
    void FormShow();

    // New chart through the "Neues Projekt" dialog; nothing changes unless it is closed with OK.
    void NewAll();

    // Writes the chart and the settings to `fname`; the previous file survives any failure.
    bool SaveProject(const QString& fname);
    // Reads the project `fname`. A file that does not exist is passed over silently; a damaged
    // one is reported. On failure the chart, its file name and its caption stay as they were.
    bool LoadProject(const QString& fname);

    // The per-user data folder, ending in a separator; created first when `create` is set.
    QString GetProgramDir(bool create) const;
    // Replaces the library by the content of stiche.dat, if there is one.
    void LoadStiche();
    // Writes the whole library to stiche.dat; reports and returns false when that fails.
    bool SaveStiche();

    void SetChanged();
    void SetUnChanged();

    ChartDocument doc; // released in its destructor when the window goes

    QString maincap;  // the designed caption, base of every title
    QString progpath; // folder of the program file, ending in a separator
    bool isfirst = false;

    QWidget* ToolPanel;
    QToolButton* SpeedButton1; // "Neu..."
    QToolButton* SpeedButton2; // "Öffnen..."
    QToolButton* SpeedButton3; // "Speichern"
    QToolButton* SpeedButton4; // "Speichern unter..."
    QToolButton* SpeedButton5; // "Drucken"
    QTabWidget* PageControl1;
    QWidget* TabSheet1;      // "Bearbeiten"
    QScrollArea* ScrollBox1; // the chart view
    QSplitter* Splitter1;
    QWidget* PaletteButtons; // strip above the stitch palette
    QScrollArea* ScrollBox2; // the stitch palette
    TSettingsTab* TabSheet2; // "Einstellungen"

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createToolBar();
    void createEditTab();
    void centreOnScreen();

    ProgramWindows& windows_;
    QStringList arguments_;
};
