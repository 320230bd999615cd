#include "FormStorage.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QMetaProperty>
#include <QSettings>

namespace {

// The property that holds what the user chose in `control`.
QByteArray valuePropertyOf(const QWidget* control) {
    if (qobject_cast<const QComboBox*>(control)) {
        return "currentIndex"; // its user property is the text, which may repeat
    }
    if (qobject_cast<const QAbstractButton*>(control)) {
        return "checked";
    }
    const QMetaProperty user = control->metaObject()->userProperty();
    return user.isValid() ? QByteArray(user.name()) : QByteArray();
}

} // namespace

FormStorage::FormStorage(QDialog* form, QList<QWidget*> controls)
    : QObject(form), form_(form), controls_(std::move(controls)) {
    form_->installEventFilter(this);
    connect(form_, &QDialog::finished, this, [this] { store(); });
}

QString FormStorage::keyFor(const QWidget* control) const {
    return QStringLiteral("Formulare/%1/%2").arg(form_->objectName(), control->objectName());
}

void FormStorage::restore() {
    QSettings settings;
    for (QWidget* control : controls_) {
        const QVariant stored = settings.value(keyFor(control));
        const QByteArray property = valuePropertyOf(control);
        if (stored.isValid() && !property.isEmpty()) {
            control->setProperty(property.constData(), stored);
        }
    }
}

void FormStorage::store() const {
    QSettings settings;
    for (const QWidget* control : controls_) {
        const QByteArray property = valuePropertyOf(control);
        if (!property.isEmpty()) {
            settings.setValue(keyFor(control), control->property(property.constData()));
        }
    }
}

bool FormStorage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == form_ && event->type() == QEvent::Show) {
        restore();
    }
    return QObject::eventFilter(watched, event);
}
