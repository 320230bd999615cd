#include "PasteGuard.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextEdit>

void PasteGuard::install(QPlainTextEdit* edit) {
    new PasteGuard(
        edit, [edit](const QPoint& at) { return edit->createStandardContextMenu(at); },
        [edit] { edit->paste(); });
}

void PasteGuard::install(QTextEdit* edit) {
    new PasteGuard(
        edit, [edit](const QPoint& at) { return edit->createStandardContextMenu(at); },
        [edit] { edit->paste(); });
}

bool PasteGuard::canPaste(QClipboard::Mode mode) {
    // An X clipboard without owner answers with data that has no format at all.
    const QMimeData* data = QGuiApplication::clipboard()->mimeData(mode);
    return data && !data->formats().isEmpty();
}

PasteGuard::PasteGuard(QAbstractScrollArea* edit, std::function<QMenu*(const QPoint&)> standardMenu,
                       std::function<void()> paste)
    : QObject(edit), edit_(edit), standardMenu_(std::move(standardMenu)), paste_(std::move(paste)) {
    edit->installEventFilter(this);
    edit->viewport()->installEventFilter(this);
}

bool PasteGuard::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!key->matches(QKeySequence::Paste)) {
            break;
        }
        // Ctrl+Shift+Insert pastes the X selection, as the text field itself decides.
        const bool selection = QGuiApplication::clipboard()->supportsSelection() &&
                               key->key() == Qt::Key_Insert &&
                               key->modifiers() == (Qt::ControlModifier | Qt::ShiftModifier);
        if (!canPaste(selection ? QClipboard::Selection : QClipboard::Clipboard)) {
            key->accept();
            return true;
        }
        break;
    }
    case QEvent::ContextMenu: {
        auto* menu = static_cast<QContextMenuEvent*>(event);
        const QPoint at = watched == edit_->viewport()
                              ? menu->pos()
                              : edit_->viewport()->mapFrom(edit_, menu->pos());
        showContextMenu(at, menu->globalPos());
        return true;
    }
    case QEvent::MouseButtonRelease: {
        // The middle button pastes the X selection.
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (watched == edit_->viewport() && mouse->button() == Qt::MiddleButton &&
            QGuiApplication::clipboard()->supportsSelection() && !canPaste(QClipboard::Selection)) {
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void PasteGuard::showContextMenu(const QPoint& viewportPos, const QPoint& globalPos) {
    QMenu* menu = standardMenu_(viewportPos);
    if (!menu) {
        return;
    }
    // The menu's own paste would run into the same fault when the clipboard empties while the
    // menu is open; it asks again when chosen.
    if (QAction* paste = menu->findChild<QAction*>(QStringLiteral("edit-paste"))) {
        QObject::disconnect(paste, &QAction::triggered, nullptr, nullptr);
        paste->setEnabled(paste->isEnabled() && canPaste());
        connect(paste, &QAction::triggered, edit_, [this] {
            if (canPaste()) {
                paste_();
            }
        });
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPos);
}
