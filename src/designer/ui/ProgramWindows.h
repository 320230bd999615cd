#pragma once

#include <QStringList>

#include <memory>

class TAufloesungForm;
class TDIBMainForm;
class TMainForm;
class TNeuForm;
class TStichEditForm;

// The program-wide windows: each exists once, is created hidden at start in this order and
// lives until the program ends. The windows reach each other through this object.
class ProgramWindows {
public:
    ProgramWindows();
    ~ProgramWindows();

    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    // Creates the main window first (it becomes the application's main window), then the
    // stitch editor, the new-project and resolution dialogs, and the image editor window.
    // `arguments` is the command line, program name first.
    void create(const QStringList& arguments);

    std::unique_ptr<TMainForm> MainForm;
    std::unique_ptr<TStichEditForm> StichEditForm;
    std::unique_ptr<TNeuForm> NeuForm;
    std::unique_ptr<TAufloesungForm> AufloesungForm;
    std::unique_ptr<TDIBMainForm> DIBMainForm;
};
