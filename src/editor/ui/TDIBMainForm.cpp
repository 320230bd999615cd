#include "TDIBMainForm.h"

TDIBMainForm::TDIBMainForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("DIBMainForm"));
    setWindowTitle(QStringLiteral("Bild bearbeiten"));
}
