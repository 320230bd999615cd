#include "FileDialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

namespace filedialogs {

namespace {

QStringList* scriptedAnswers = nullptr;

// Where the next dialog starts: the folder of the file chosen last, in any dialog of either
// window, so that a picture saved somewhere is opened, its palette loaded or the chart
// exported beside it without looking for the folder again. Empty until something was chosen:
// Qt then starts in the working folder.
QString& startFolder() {
    static QString folder;
    return folder;
}

QString remembered(const QString& fileName) {
    if (!fileName.isEmpty()) {
        startFolder() = QFileInfo(fileName).absolutePath();
    }
    return fileName;
}

} // namespace

QString qtFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString text = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        // A description that already shows its patterns in brackets keeps only its words:
        // Qt takes the patterns from the brackets.
        text.remove(QRegularExpression(QStringLiteral("\\s*\\([^)]*\\)\\s*$")));
        entries << text + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

QString getOpenFileName(QWidget* parent, const QString& caption, const QString& filter) {
    if (scriptedAnswers) {
        return remembered(scriptedAnswers->isEmpty() ? QString() : scriptedAnswers->takeFirst());
    }
    return remembered(
        QFileDialog::getOpenFileName(parent, caption, startFolder(), qtFilter(filter)));
}

QString filterExtension(const QString& filter, int index) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    const qsizetype at = 2 * qsizetype(index) - 1;
    if (index < 1 || at >= parts.size()) {
        return {};
    }
    const QString first = parts[at].split(QLatin1Char(';')).constFirst().trimmed();
    // Only a plain "*.ext" names an extension; "*.*" or "a?.txt" do not.
    if (!first.startsWith(QLatin1String("*.")) || first.indexOf(QLatin1Char('*'), 1) >= 0 ||
        first.contains(QLatin1Char('?'))) {
        return {};
    }
    return first.mid(1).toLower();
}

SaveChoice getSaveFileName(QWidget* parent, const QString& caption, const QString& filter,
                           const QString& defaultExtension, int initialFilter) {
    // The extension a bare name gets: the given one, or the chosen filter's.
    auto extensionFor = [&](int filterIndex) {
        return defaultExtension.isEmpty() ? filterExtension(filter, filterIndex) : defaultExtension;
    };
    SaveChoice choice;
    if (scriptedAnswers) {
        const QString answer =
            scriptedAnswers->isEmpty() ? QString() : scriptedAnswers->takeFirst();
        const qsizetype bar = answer.indexOf(QLatin1Char('|'));
        choice.fileName = bar < 0 ? answer : answer.left(bar);
        choice.filterIndex = bar < 0 ? initialFilter : answer.mid(bar + 1).toInt();
    } else {
        QFileDialog dialog(parent, caption, startFolder(), qtFilter(filter));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::ReadOnly, false);
        const QStringList filters = dialog.nameFilters();
        if (initialFilter >= 1 && initialFilter <= filters.size()) {
            dialog.selectNameFilter(filters[initialFilter - 1]);
        }
        // The dialog adds the extension itself, so that it asks before replacing that file.
        dialog.setDefaultSuffix(extensionFor(initialFilter).mid(1));
        if (defaultExtension.isEmpty()) {
            QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                             [&](const QString& selected) {
                                 const int index = int(filters.indexOf(selected)) + 1;
                                 dialog.setDefaultSuffix(extensionFor(index).mid(1));
                             });
        }
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return {};
        }
        choice.fileName = dialog.selectedFiles().constFirst();
        choice.filterIndex = int(filters.indexOf(dialog.selectedNameFilter())) + 1;
    }
    if (!choice.fileName.isEmpty() && QFileInfo(choice.fileName).suffix().isEmpty()) {
        choice.fileName += extensionFor(choice.filterIndex);
    }
    remembered(choice.fileName);
    return choice;
}

Script::Script(QStringList answers) {
    delete scriptedAnswers;
    scriptedAnswers = new QStringList(std::move(answers));
}

Script::~Script() {
    delete scriptedAnswers;
    scriptedAnswers = nullptr;
}

int Script::remaining() const {
    return scriptedAnswers ? int(scriptedAnswers->size()) : 0;
}

} // namespace filedialogs
