#pragma once

#include <QDialog>

#include <array>

class QListWidget;
class QPushButton;

// "Werkzeugleisten...": which of the editor's three bars are shown.
class TConfigBars : public QDialog {
    Q_OBJECT

public:
    // The entries in list order: standard tool bar, drawing tools, colour panel.
    enum Bar { Standard, Drawing, Colours, BarCount };
    using Ticks = std::array<bool, BarCount>;

    explicit TConfigBars(QWidget* parent = nullptr);

    void setTicks(const Ticks& ticks);
    Ticks ticks() const;

    QListWidget* CheckList;
    QPushButton* OkBtn;
    QPushButton* CancelBtn;
};
