#include "ProgressDialogScope.h"

#include <QCoreApplication>

namespace {

constexpr int kShowAfterMilliseconds = 500;

} // namespace

ProgressDialogScope::ProgressDialogScope(QWidget* parent, const QString& label)
    : dialog_(label, QStringLiteral("Abbrechen"), 0, 100, parent) {
    dialog_.setWindowTitle(QCoreApplication::applicationName());
    dialog_.setWindowModality(Qt::WindowModal);
    dialog_.setMinimumDuration(kShowAfterMilliseconds);
    dialog_.setAutoClose(true);
    dialog_.setValue(0);
}

ProgressCallback ProgressDialogScope::callback() {
    return [this](int percent) {
        // A modal progress dialog processes events here, so it repaints and sees the button.
        dialog_.setValue(percent);
        return !dialog_.wasCanceled();
    };
}
