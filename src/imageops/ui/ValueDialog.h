#pragma once

#include <QString>

class QDialog;
class QPushButton;
class QSpinBox;

// The shape of the small one-value parameter dialogs: a label over a number field, OK and
// cancel on the right. Returns the number field; the two buttons come back through the
// pointers.
QSpinBox* buildValueDialog(QDialog& dialog, const char* fieldName, const QString& label,
                           int minimum, int maximum, int value, const QString& okText,
                           QPushButton*& ok, QPushButton*& cancel);
