#pragma once

#include "designer/ChartDocument.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QSpinBox;

// "Rapport wiederholen": how often the repeat is worked side by side and above each other.
// The chart's size after tiling shows while the numbers change; OK is refused while it would
// exceed the largest chart.
class TRapportForm : public QDialog {
    Q_OBJECT

public:
    TRapportForm(const ChartDocument& doc, QWidget* parent = nullptr);

    int across() const;
    int up() const;

    QSpinBox* AcrossEd;
    QSpinBox* UpEd;
    QLabel* SizeLabel;
    QPushButton* OkBtn;

private:
    void showSize();

    const ChartDocument& doc_;
};
