#include "MessageBoxes.h"

#include "foundation/UserMessage.h"

#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>

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

// The window a message stands over: the active one, or while none is active yet (at start-up)
// the program's main window.
QWidget* messageParent() {
    if (QWidget* active = QApplication::activeWindow()) {
        return active;
    }
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && qobject_cast<QMainWindow*>(window)) {
            return window;
        }
    }
    return nullptr;
}

void showMessageBox(MessageIcon icon, const QString& text, const QString& caption) {
    // The application title stands in for "no caption of its own".
    const QString title = caption.isEmpty() ? QCoreApplication::applicationName() : caption;
    QMessageBox box(toQtIcon(icon), title, text, QMessageBox::Ok, messageParent());
    box.exec();
}

UserAnswer askWithMessageBox(MessageIcon icon, const QString& text, const QString& caption) {
    const QString title = caption.isEmpty() ? QCoreApplication::applicationName() : caption;
    QMessageBox box(toQtIcon(icon), title, text,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, messageParent());
    // German texts even where the Qt translations are missing.
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Ja"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&Nein"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return UserAnswer::Yes;
    case QMessageBox::No:
        return UserAnswer::No;
    default:
        return UserAnswer::Cancel;
    }
}

} // namespace

void installMessageBoxSink() {
    setMessageSink(&showMessageBox);
    setQuestionSink(&askWithMessageBox);
}

} // namespace messages
