#include "MessageBoxes.h"

#include <QCoreApplication>
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

// The application title stands in for "no caption of its own".
QString captionOrTitle(const QString& caption) {
    return caption.isEmpty() ? QCoreApplication::applicationName() : caption;
}

void sinkToMessageBox(MessageIcon icon, const QString& text) {
    show(nullptr, icon, text);
}

} // namespace

void show(QWidget* parent, MessageIcon icon, const QString& text, const QString& caption) {
    QMessageBox box(toQtIcon(icon), captionOrTitle(caption), text, QMessageBox::Ok, parent);
    box.exec();
}

void error(QWidget* parent, const QString& text, const QString& caption) {
    show(parent, MessageIcon::Error, text, caption);
}

void installMessageBoxSink() {
    setMessageSink(&sinkToMessageBox);
}

} // namespace messages
