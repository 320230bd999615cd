#pragma once

#include <QString>

class QBoxLayout;
class QDialog;
class QLayoutItem;
class QPushButton;

enum class ButtonPlacement {
    Right,  // a row, right-aligned
    Column, // a column at the top of the dialog's right side
    Apart,  // a row with OK and the added buttons at the left, cancel at the right
};

// How a dialog's buttons are made: captions, the object names the tests find them by, and
// where they stand.
struct DialogButtonsStyle {
    QString okText = QStringLiteral("OK");
    QString cancelText = QStringLiteral("Abbrechen");
    QString okName = QStringLiteral("OkBtn");
    QString cancelName = QStringLiteral("CancelBtn");
    // OK accepts the dialog, unless the dialog checks its values first.
    bool acceptOnOk = true;
    ButtonPlacement placement = ButtonPlacement::Right;
    // Enter means OK whichever button has the focus: no other button becomes the default.
    bool onlyOkIsDefault = false;
};

// The OK and cancel buttons of a dialog, OK the default button, cancel rejecting the dialog.
struct DialogButtons {
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    // The row (or column) holding them, for the dialog's own layout.
    QBoxLayout* row = nullptr;
    QDialog* dialog = nullptr;
    bool onlyOkIsDefault = false;
    // The free space added buttons go before (none: they go last).
    QLayoutItem* addBefore = nullptr;

    // Another button after those already there, `spaceBefore` pixels apart from them.
    QPushButton* add(const QString& text, const QString& name, int spaceBefore = 0) const;
};

DialogButtons makeDialogButtons(QDialog& dialog, const DialogButtonsStyle& style);
// A right-aligned row of OK and cancel named OkBtn and CancelBtn.
DialogButtons makeDialogButtons(QDialog& dialog, const QString& okText = QStringLiteral("OK"),
                                const QString& cancelText = QStringLiteral("Abbrechen"),
                                bool acceptOnOk = true);
