#pragma once

#include <QString>

class QDialog;
class QHBoxLayout;
class QPushButton;

// The OK and cancel buttons of a small dialog, right-aligned in a row, named OkBtn and
// CancelBtn as the tests find them. OK is the default button; cancel rejects the dialog, and
// OK accepts it unless the dialog checks its values first (acceptOnOk false).
struct DialogButtons {
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    QHBoxLayout* row = nullptr;
};

DialogButtons makeDialogButtons(QDialog& dialog, const QString& okText = QStringLiteral("OK"),
                                const QString& cancelText = QStringLiteral("Abbrechen"),
                                bool acceptOnOk = true);
