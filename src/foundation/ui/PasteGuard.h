#pragma once

#include <QClipboard>
#include <QObject>

#include <functional>

class QAbstractScrollArea;
class QMenu;
class QPlainTextEdit;
class QTextEdit;

// Keeps a multi-line text field from pasting while the clipboard offers nothing.
//
// Debian's Qt 6.4.2 crashes (a null read in QWidgetTextControl::insertFromMimeData) when text
// is pasted into a QPlainTextEdit or QTextEdit while the clipboard holds no data at all, as it
// does on a fresh X display before anything was copied. Later Qt versions check for it. The
// guard stops such a paste from the keyboard (Ctrl+V, Shift+Insert), the context menu and the
// middle mouse button; a paste of real data goes through as before. One-line fields are not
// affected.
class PasteGuard : public QObject {
public:
    // Guards `edit` for its lifetime (the guard becomes its child).
    static void install(QPlainTextEdit* edit);
    static void install(QTextEdit* edit);

    // Whether the clipboard, or the X selection, has anything to paste.
    static bool canPaste(QClipboard::Mode mode = QClipboard::Clipboard);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    PasteGuard(QAbstractScrollArea* edit, std::function<QMenu*(const QPoint&)> standardMenu,
               std::function<void()> paste);
    void showContextMenu(const QPoint& viewportPos, const QPoint& globalPos);

    QAbstractScrollArea* edit_;
    std::function<QMenu*(const QPoint&)> standardMenu_;
    std::function<void()> paste_;
};
