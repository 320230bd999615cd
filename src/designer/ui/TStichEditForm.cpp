#include "TStichEditForm.h"

TStichEditForm::TStichEditForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("StichEditForm"));
    setWindowTitle(QStringLiteral("Stich bearbeiten"));
}
