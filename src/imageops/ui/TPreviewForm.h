#pragma once

#include "foundation/dib.h"

#include <QDialog>

#include <functional>

class QPushButton;
class QVBoxLayout;

// Base of the dialogs that show their operation on the document's picture while they are
// open. Every preview starts from the backup the command made before showing the dialog, so
// previews never pile up; OK records the undo step from the unchanged picture and applies the
// operation once more. Cancel leaves restoring the picture to the command (runPreviewDialog).
class TPreviewForm : public QDialog {
    Q_OBJECT

public:
    // What the dialog may do to the document (its `child`).
    struct Child {
        dib* image = nullptr;              // the document's picture, changed in place
        std::function<void()> repaint;     // redraws the document's view
        std::function<bool()> saveForUndo; // records the undo step; false refuses the change
    };

    void setChild(Child child) { child_ = std::move(child); }
    const Child& child() const { return child_; }
    // `HKdi`: the picture as it was when the command began; the command owns it.
    void setBackup(const dib* backup) { HKdi = backup; }

    // Puts the backup's pixels and palette back into the document's picture.
    void RestoreOld();

    // "&Vorschau", "&Zurücksetzen", "&OK".
    void VschauBitBtn4Click();
    void BacksetBitBtn3Click();
    void OkBitBtn1Click();

    QPushButton* VschauBitBtn4;
    QPushButton* BacksetBitBtn3;
    QPushButton* OkBitBtn1;
    QPushButton* AbbrechenBitBtn2;

protected:
    TPreviewForm(const QString& objectName, const QString& caption, QWidget* parent);

    // Where a dialog puts its controls, above the buttons.
    QVBoxLayout* controlsLayout() const { return controls_; }

    // Applies the operation with the controls' current values to `image`.
    virtual void applyPreview(dib& image) = 0;
    // Sets the controls to their neutral values; the picture is not touched.
    virtual void resetControls() = 0;

    const dib* HKdi = nullptr;

private:
    Child child_;
    QVBoxLayout* controls_;
};

// Runs a preview dialog for one command: makes the backup (or says that memory is short and
// returns Rejected without showing the dialog), shows the dialog modally and, unless it ended
// with OK, puts the picture back exactly as it was. Repaints the view at the end.
int runPreviewDialog(TPreviewForm& form, TPreviewForm::Child child);
