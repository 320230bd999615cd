#include "TScannerForm.h"

#include "foundation/ui/DialogButtons.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

namespace {

const QString kDeviceKey = QStringLiteral("Scanner/Geraet");
const QString kModeKey = QStringLiteral("Scanner/Modus");
const QString kResolutionKey = QStringLiteral("Scanner/Aufloesung");

} // namespace

TScannerForm::TScannerForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ScannerForm"));
    setWindowTitle(QStringLiteral("Scanner auswählen"));
    DeviceList = new QListWidget(this);
    DeviceList->setObjectName(QStringLiteral("DeviceList"));
    ModeBox = new QComboBox(this);
    ModeBox->setObjectName(QStringLiteral("ModeBox"));
    ResolutionBox = new QComboBox(this);
    ResolutionBox->setObjectName(QStringLiteral("ResolutionBox"));
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Modus:"), ModeBox);
    fields->addRow(QStringLiteral("Auflösung:"), ResolutionBox);

    const DialogButtons buttonRow = makeDialogButtons(*this);
    OkBtn = buttonRow.ok;
    CancelBtn = buttonRow.cancel;
    auto* buttons = buttonRow.row;

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Scanner:"), this));
    layout->addWidget(DeviceList, 1);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    connect(DeviceList, &QListWidget::currentRowChanged, this, &TScannerForm::deviceChanged);
}

void TScannerForm::setDevices(const std::vector<scanner::Device>& devices,
                              const scanner::ScanSettings& current) {
    wanted_ = current;
    const QSignalBlocker quiet(DeviceList);
    DeviceList->clear();
    int chosen = 0;
    for (const scanner::Device& d : devices) {
        auto* item = new QListWidgetItem(d.label(), DeviceList);
        item->setData(Qt::UserRole, d.name);
        if (d.name == current.device) {
            chosen = DeviceList->count() - 1;
        }
    }
    OkBtn->setEnabled(!devices.empty());
    DeviceList->setCurrentRow(devices.empty() ? -1 : chosen);
    deviceChanged();
}

void TScannerForm::deviceChanged() {
    ModeBox->clear();
    ResolutionBox->clear();
    const QListWidgetItem* item = DeviceList->currentItem();
    if (!item || !describe) {
        return;
    }
    const QString device = item->data(Qt::UserRole).toString();
    QGuiApplication::setOverrideCursor(Qt::WaitCursor); // opening a device may take a moment
    const scanner::DeviceChoices choices = describe(device);
    QGuiApplication::restoreOverrideCursor();
    const bool same = device == wanted_.device;
    for (const QString& mode : choices.modes) {
        ModeBox->addItem(scanner::modeLabel(mode), mode);
    }
    const int mode =
        ModeBox->findData(same && !wanted_.mode.isEmpty() ? wanted_.mode : choices.mode);
    ModeBox->setCurrentIndex(std::max(mode, 0));
    for (const int dpi : choices.resolutions) {
        ResolutionBox->addItem(QStringLiteral("%1 dpi").arg(dpi), dpi);
    }
    const int dpi = ResolutionBox->findData(same && wanted_.resolution > 0 ? wanted_.resolution
                                                                           : choices.resolution);
    ResolutionBox->setCurrentIndex(std::max(dpi, 0));
    ModeBox->setEnabled(ModeBox->count() > 0);
    ResolutionBox->setEnabled(ResolutionBox->count() > 0);
}

scanner::ScanSettings TScannerForm::settings() const {
    scanner::ScanSettings s;
    if (const QListWidgetItem* item = DeviceList->currentItem()) {
        s.device = item->data(Qt::UserRole).toString();
    }
    s.mode = ModeBox->currentData().toString();
    s.resolution = ResolutionBox->currentData().toInt();
    return s;
}

scanner::ScanSettings TScannerForm::storedSettings() {
    const QSettings settings;
    return {settings.value(kDeviceKey).toString(), settings.value(kModeKey).toString(),
            settings.value(kResolutionKey, 0).toInt()};
}

void TScannerForm::storeSettings(const scanner::ScanSettings& s) {
    QSettings settings;
    settings.setValue(kDeviceKey, s.device);
    settings.setValue(kModeKey, s.mode);
    settings.setValue(kResolutionKey, s.resolution);
}
