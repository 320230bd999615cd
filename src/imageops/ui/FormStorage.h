#pragma once

#include <QList>
#include <QObject>
#include <QString>

class QDialog;
class QWidget;

// Keeps the values of some controls of a dialog between runs, in the program's settings under
// "Formulare/<dialog name>/<control name>". The stored values are put back each time the
// dialog is shown (after the command has set its presets, which they replace once a value was
// stored) and written when the dialog closes, by OK or otherwise.
//
// Sliders, spin boxes, check and radio buttons, line edits and combo boxes (by index) are
// understood; for anything else the control's user property is kept.
class FormStorage : public QObject {
    Q_OBJECT

public:
    // `controls` must be children of `form` with object names; the storage lives as long as
    // the form.
    FormStorage(QDialog* form, QList<QWidget*> controls);

    void restore();
    void store() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString keyFor(const QWidget* control) const;

    QDialog* form_;
    QList<QWidget*> controls_;
};
