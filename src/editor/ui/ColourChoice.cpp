#include "ColourChoice.h"

#include <QColorDialog>

QColorDialog* makeColourDialog(QWidget* parent) {
    auto* dialog = new QColorDialog(parent);
    dialog->setObjectName(QStringLiteral("ColorDialog1"));
    // Qt's own dialog in every environment, so that it looks and behaves the same everywhere.
    dialog->setOption(QColorDialog::DontUseNativeDialog);
    return dialog;
}

std::optional<QColor> chooseColour(QColorDialog* dialog, const QColor& initial) {
    dialog->setCurrentColor(initial);
    if (dialog->exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog->selectedColor();
}
