#pragma once

#include <QMainWindow>

// The image editor window. One instance lives for the whole run; it is shown modally for the
// symbol picture of one stitch.
class TDIBMainForm : public QMainWindow {
    Q_OBJECT

public:
    explicit TDIBMainForm(QWidget* parent = nullptr);
};
