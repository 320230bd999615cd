#pragma once

#include <QDialog>

class QPushButton;
class QSlider;
class QSpinBox;

// "JPEG-Speicherqualität setzen": the quality of the next JPEG save, 1 to 99. The slider and
// the number field follow each other; the slider's value is kept between runs.
class TJPEGQForm : public QDialog {
    Q_OBJECT

public:
    static constexpr int kDefaultQuality = 75;

    explicit TJPEGQForm(QWidget* parent = nullptr);

    // The quality passed on: the slider's value.
    int quality() const;

    void QualED1Change(int value);
    void QualED2Change(int value);

    QSlider* QualED1;
    QSpinBox* QualEd2;
    QPushButton* OkBtn;
    QPushButton* CancelBtn;
};
