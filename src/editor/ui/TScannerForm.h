#pragma once

#include "foundation/scanner/Scanner.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QListWidget;
class QPushButton;

// "Scanner auswählen": the scanners the library finds, and for the chosen one its scan mode and
// resolution. The choice is kept between runs; "Bild scannen..." scans with it.
class TScannerForm : public QDialog {
    Q_OBJECT

public:
    explicit TScannerForm(QWidget* parent = nullptr);

    // What a device offers; the library by default (tests may answer instead).
    std::function<scanner::DeviceChoices(const QString&)> describe = scanner::deviceChoices;

    // Fills the list and selects the device of `current` with its mode and resolution.
    void setDevices(const std::vector<scanner::Device>& devices,
                    const scanner::ScanSettings& current);
    scanner::ScanSettings settings() const;

    // The choice kept between runs.
    static scanner::ScanSettings storedSettings();
    static void storeSettings(const scanner::ScanSettings& settings);

    QListWidget* DeviceList;
    QComboBox* ModeBox;
    QComboBox* ResolutionBox;
    QPushButton* OkBtn;
    QPushButton* CancelBtn;

private:
    void deviceChanged();
    scanner::ScanSettings wanted_;
};
