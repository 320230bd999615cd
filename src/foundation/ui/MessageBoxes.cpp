#include "MessageBoxes.h"

#include "foundation/UserMessage.h"

#include <QApplication>
#include <QMessageBox>

namespace messages {

namespace {

QMessageBox::Icon toQtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

void showMessageBox(MessageIcon icon, const QString& text, const QString& caption) {
    // The application title stands in for "no caption of its own".
    const QString title = caption.isEmpty() ? QCoreApplication::applicationName() : caption;
    QMessageBox box(toQtIcon(icon), title, text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

} // namespace

void installMessageBoxSink() {
    setMessageSink(&showMessageBox);
}

} // namespace messages
