#pragma once

#include <QColor>

#include <optional>

class QColorDialog;
class QWidget;

// The colour dialog of the colour panel and the palette editor: any colour, no alpha.
QColorDialog* makeColourDialog(QWidget* parent);

// Shows `dialog` preset with `initial`; the chosen colour, or nothing when it was cancelled.
std::optional<QColor> chooseColour(QColorDialog* dialog, const QColor& initial);
