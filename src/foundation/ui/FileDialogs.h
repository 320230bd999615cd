#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// File dialogs in the program's style. Filters come as "Text|*.a;*.b|Text|*.c" and are shown
// the platform's way. Every dialog starts in the folder of the file chosen last in any of them.
// While a script is active (tests), the answers come from it instead.
namespace filedialogs {

// "Bilder|*.bmp;*.gif" becomes "Bilder (*.bmp *.gif)"; pairs are separated by ";;".
QString qtFilter(const QString& filter);

// The chosen file, or empty when cancelled.
QString getOpenFileName(QWidget* parent, const QString& caption, const QString& filter);

struct SaveChoice {
    QString fileName;    // empty when cancelled
    int filterIndex = 0; // 1-based position of the chosen filter
};
// Asks for a file name to save under, offering filter `initialFilter` (1-based) first. A name
// without extension gets `defaultExtension` (with its dot), or with none given the first
// extension of the chosen filter; an existing file is only taken after the question whether to
// replace it.
SaveChoice getSaveFileName(QWidget* parent, const QString& caption, const QString& filter,
                           const QString& defaultExtension, int initialFilter = 1);

// The first extension of filter entry `index` (1-based) with its dot, in lower case: ".png"
// for "PNG|*.png;*.PNG"; empty when the entry has none.
QString filterExtension(const QString& filter, int index);

// Scripted answers for tests: each dialog takes the next entry ("" = cancel); a save answer
// may carry the filter position after a "|" ("muster.jpg|6").
class Script {
public:
    explicit Script(QStringList answers);
    ~Script();
    Script(const Script&) = delete;
    Script& operator=(const Script&) = delete;
    int remaining() const;
};

} // namespace filedialogs
