#pragma once

#include <QDialog>

// "Stich bearbeiten": edits one stitch of the library. One instance lives for the whole run.
class TStichEditForm : public QDialog {
    Q_OBJECT

public:
    explicit TStichEditForm(QWidget* parent = nullptr);
};
