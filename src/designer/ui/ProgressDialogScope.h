#pragma once

#include "foundation/Progress.h"

#include <QProgressDialog>
#include <QString>

class QWidget;

// A window-modal progress dialog for one piece of work on the user-interface thread. It shows
// up only when the work lasts longer than about half a second and offers "Abbrechen".
class ProgressDialogScope {
public:
    ProgressDialogScope(QWidget* parent, const QString& label);

    // Sets the dialog's value; false once the user pressed "Abbrechen".
    ProgressCallback callback();
    bool canceled() const { return dialog_.wasCanceled(); }

private:
    QProgressDialog dialog_;
};
