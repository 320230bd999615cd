#include "ProgramWindows.h"

#include "TAufloesungForm.h"
#include "TMainForm.h"
#include "TNeuForm.h"
#include "TStichEditForm.h"
#include "editor/ui/TDIBMainForm.h"

ProgramWindows::ProgramWindows() = default;

ProgramWindows::~ProgramWindows() {
    // Reverse order of creation: the main window, which the others may still reach, goes last.
    DIBMainForm.reset();
    AufloesungForm.reset();
    NeuForm.reset();
    StichEditForm.reset();
    MainForm.reset();
}

void ProgramWindows::create(const QStringList& arguments) {
    MainForm = std::make_unique<TMainForm>(*this, arguments);
    StichEditForm = std::make_unique<TStichEditForm>();
    NeuForm = std::make_unique<TNeuForm>();
    AufloesungForm = std::make_unique<TAufloesungForm>();
    DIBMainForm = std::make_unique<TDIBMainForm>();
    StichEditForm->setImageEditor(DIBMainForm.get());
}
