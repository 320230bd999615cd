#pragma once

#include "PrintLayout.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QFrame;
class QGroupBox;
class QPainter;
class QPushButton;
class QRadioButton;
class QSpinBox;
class TPaintBox;

// "Bild drucken...": how the picture goes onto the page, with a miniature of the page that
// shows it. Percentages of width and height keep the picture's proportions on paper while
// "Seitenverhältnis beibehalten" is ticked. The window prints after OK.
class TPrintForm : public QDialog {
    Q_OBJECT

public:
    explicit TPrintForm(QWidget* parent = nullptr);

    // The picture to print; the dialog only reads it.
    const dib* di = nullptr;
    // The printable size of the printer's page in its pixels, asked whenever it is needed.
    std::function<QSize()> pageSize;
    // Runs the window's printer setup ("Drucker einrichten...").
    std::function<void()> printerSetup;

    PrintChoice choice() const;
    void setChoice(const PrintChoice& choice);

    QFrame* Panel1;
    TPaintBox* PrintPaintBox;
    QGroupBox* GroupBox1;
    QRadioButton* UseFullCheck;
    QRadioButton* UserdefCheck;
    QSpinBox* BreitEdit;
    QSpinBox* HochEdit;
    QGroupBox* GroupBox2;
    QCheckBox* SverhCheck;
    QCheckBox* ZentrCheck;
    QPushButton* OkBitBtn1;
    QPushButton* PrintSetupBtn;
    QPushButton* CancelBitBtn2;

    void PrintPaintBoxPaint(QPainter& painter);
    void UserdefCheckClick();
    void BreitEditChange();
    void HochEditChange();
    void PrintSetupBtnClick();

private:
    QSize pictureSize() const;
    QSize page() const;
    // Writes a percentage the other field derived, without running that field's own handler.
    static void setDerived(QSpinBox* field, double value);
    void enableSizes();

    int linking_ = 0; // depth of one field's handler running the other's
};
