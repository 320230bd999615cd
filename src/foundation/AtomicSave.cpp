#include "AtomicSave.h"

#include "DirectFileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <atomic>
#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace filesync {

namespace {

int systemSync(Target, int fd) {
    return ::fsync(fd);
}

std::atomic<SyncFunction> syncFunction{&systemSync};

} // namespace

void setSyncFunction(SyncFunction sync) {
    syncFunction = sync ? sync : &systemSync;
}

void resetSyncFunction() {
    syncFunction = &systemSync;
}

} // namespace filesync

namespace {

using filesync::Target;

bool synced(Target target, int fd) {
    int result = 0;
    do {
        result = filesync::syncFunction.load()(target, fd);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

QByteArray encoded(const QString& path) {
    return QFile::encodeName(path);
}

// A new, empty file beside `target` that no one else has opened: readable by the owner only
// while it replaces an existing file (which lends it its permissions later), otherwise with the
// permissions new files get. -1 when the folder takes no new file.
int createTemporary(const QString& target, bool replacing, QString& name) {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QString suffix;
        for (int i = 0; i < 6; ++i) {
            suffix += QLatin1Char(kLetters[QRandomGenerator::global()->bounded(62)]);
        }
        name = target + temporarySaveSuffix() + suffix;
        const int fd = ::open(encoded(name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                              replacing ? 0600 : 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

bool exchangeNames(const QByteArray& a, const QByteArray& b) {
    return ::renameat2(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_EXCHANGE) == 0;
}

// Forces the folder entry of a renamed file to the disk. A folder the program may not read
// cannot be opened for that; its entry then reaches the disk with the file system's next commit.
bool folderSynced(const QString& folder) {
    const int fd = ::open(encoded(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return errno == EACCES;
    }
    const bool ok = synced(Target::Folder, fd);
    ::close(fd);
    return ok;
}

// Writes the content into the open temporary file and forces it to the disk.
bool writeAndSync(int fd, const std::function<bool(QIODevice&)>& writeContent, SaveAccess access) {
    QFile file;
    if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::DontCloseHandle)) {
        return false;
    }
    if (access == SaveAccess::Sequential) {
        DirectFileWriter writer(file);
        if (!writeContent(writer) || !writer.finish()) {
            return false;
        }
    } else if (!writeContent(file) || !file.flush()) {
        return false;
    }
    return synced(Target::File, fd);
}

} // namespace

QString temporarySaveSuffix() {
    return QStringLiteral(".tmp-");
}

SaveOutcome saveAtomically(const QString& fileName,
                           const std::function<bool(QIODevice&)>& writeContent, SaveAccess access) {
    const QFileInfo info(fileName);
    const QString target = info.isSymLink() ? info.symLinkTarget() : info.absoluteFilePath();
    const QFileInfo targetInfo(target);
    const bool replacing = targetInfo.exists();
    if (replacing && (!targetInfo.isFile() || !targetInfo.isWritable())) {
        return SaveOutcome::CannotCreate;
    }
    QString temporary;
    const int fd = createTemporary(target, replacing, temporary);
    if (fd < 0) {
        return SaveOutcome::CannotCreate;
    }
    const QByteArray temporaryName = encoded(temporary);
    const QByteArray targetName = encoded(target);
    struct stat old {};
    bool ok = !replacing ||
              (::stat(targetName.constData(), &old) == 0 && ::fchmod(fd, old.st_mode & 07777) == 0);
    ok = ok && writeAndSync(fd, writeContent, access);
    ok = ::close(fd) == 0 && ok;
    if (!ok) {
        ::unlink(temporaryName.constData());
        return SaveOutcome::NotWritten;
    }

    // Swapping the names keeps the previous file under the temporary name until the new one's
    // entry is on the disk, so that a failure can still put it back.
    const bool swapped = replacing && exchangeNames(temporaryName, targetName);
    if (!swapped && ::rename(temporaryName.constData(), targetName.constData()) != 0) {
        ::unlink(temporaryName.constData());
        return SaveOutcome::NotWritten;
    }
    if (!folderSynced(targetInfo.absolutePath())) {
        if (swapped) {
            exchangeNames(temporaryName, targetName);
            ::unlink(temporaryName.constData());
        } else if (!replacing) {
            ::unlink(targetName.constData());
        }
        return SaveOutcome::NotWritten;
    }
    if (swapped) {
        ::unlink(temporaryName.constData());
    }
    return SaveOutcome::Saved;
}
