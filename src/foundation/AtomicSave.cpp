#include "AtomicSave.h"

#include "DirectFileWriter.h"

#include <QSaveFile>

SaveOutcome saveAtomically(const QString& fileName,
                           const std::function<bool(QIODevice&)>& writeContent) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        return SaveOutcome::CannotCreate;
    }
    DirectFileWriter writer(file);
    if (!writeContent(writer) || !writer.finish()) {
        file.cancelWriting();
        return SaveOutcome::NotWritten;
    }
    return file.commit() ? SaveOutcome::Saved : SaveOutcome::NotWritten;
}
