#include "FileDialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

namespace filedialogs {

namespace {

QStringList* scriptedAnswers = nullptr;

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
        return scriptedAnswers->isEmpty() ? QString() : scriptedAnswers->takeFirst();
    }
    return QFileDialog::getOpenFileName(parent, caption, QString(), qtFilter(filter));
}

SaveChoice getSaveFileName(QWidget* parent, const QString& caption, const QString& filter,
                           const QString& defaultExtension) {
    SaveChoice choice;
    if (scriptedAnswers) {
        const QString answer =
            scriptedAnswers->isEmpty() ? QString() : scriptedAnswers->takeFirst();
        const qsizetype bar = answer.indexOf(QLatin1Char('|'));
        choice.fileName = bar < 0 ? answer : answer.left(bar);
        choice.filterIndex = bar < 0 ? 1 : answer.mid(bar + 1).toInt();
    } else {
        QFileDialog dialog(parent, caption, QString(), qtFilter(filter));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::ReadOnly, false);
        dialog.setDefaultSuffix(defaultExtension.mid(1));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return {};
        }
        choice.fileName = dialog.selectedFiles().constFirst();
        choice.filterIndex = int(dialog.nameFilters().indexOf(dialog.selectedNameFilter())) + 1;
    }
    if (!choice.fileName.isEmpty() && QFileInfo(choice.fileName).suffix().isEmpty() &&
        !defaultExtension.isEmpty()) {
        choice.fileName += defaultExtension;
    }
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
