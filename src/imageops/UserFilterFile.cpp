#include "UserFilterFile.h"

#include "foundation/AtomicSave.h"
#include "foundation/ByteStream.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

#include <new>

namespace userfilters {

ReadResult read(QIODevice& device, std::int64_t size, std::vector<filtertype>& filters) {
    filters.clear();
    ReadResult result;
    if (size <= 0) {
        return result; // an empty file holds nothing that could be lost
    }
    ByteReader in(device, size);
    std::int32_t magic = 0;
    if (!in.readInt32(magic) || std::uint32_t(magic) != kMagic) {
        result.status = ReadStatus::Damaged;
        result.foreign = true;
        return result;
    }
    if (!in.readInt32(result.declared) || result.declared < 0) {
        result.status = ReadStatus::Damaged;
        result.badCount = true;
        return result;
    }
    std::uint8_t bytes[imageops::kFilterRecordBytes];
    while (result.complete < result.declared && in.readBytes(bytes, sizeof bytes)) {
        ++result.complete;
        const filtertype f = imageops::filterFromBytes(bytes);
        if (f.divisor == 0) {
            result.zeroDivisor.push_back(imageops::filterName(f));
            continue;
        }
        try {
            filters.push_back(f);
        } catch (const std::bad_alloc&) {
            result.status = ReadStatus::NoMemory;
            return result;
        }
    }
    result.trailingBytes = result.complete == result.declared && !in.atEnd();
    if (result.complete < result.declared || result.trailingBytes || !result.zeroDivisor.empty()) {
        result.status = ReadStatus::Damaged;
    }
    return result;
}

ReadResult read(const QByteArray& bytes, std::vector<filtertype>& filters) {
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return read(buffer, copy.size(), filters);
}

QByteArray toBytes(const std::vector<filtertype>& filters) {
    std::int32_t count = 0;
    for (const filtertype& f : filters) {
        count += f.divisor != 0 ? 1 : 0;
    }
    QByteArray bytes(8 + qsizetype(count) * qsizetype(imageops::kFilterRecordBytes), '\0');
    auto* out = reinterpret_cast<std::uint8_t*>(bytes.data());
    for (int b = 0; b < 4; ++b) {
        out[b] = std::uint8_t(kMagic >> (8 * b));
        out[4 + b] = std::uint8_t(std::uint32_t(count) >> (8 * b));
    }
    out += 8;
    for (const filtertype& f : filters) {
        if (f.divisor != 0) {
            imageops::filterToBytes(f, out);
            out += imageops::kFilterRecordBytes;
        }
    }
    return bytes;
}

QString damageReport(const ReadResult& result, const QString& path, const QString& backupPath) {
    if (result.status == ReadStatus::Ok) {
        return {};
    }
    const QString file = QDir::toNativeSeparators(path);
    QStringList parts;
    if (result.foreign) {
        parts
            << QStringLiteral("Die Datei „%1“ enthält keine benutzerdefinierten Filter.").arg(file);
    } else if (result.status == ReadStatus::NoMemory) {
        parts << QStringLiteral("Der Arbeitsspeicher reicht nicht für alle benutzerdefinierten "
                                "Filter aus „%1“.")
                     .arg(file);
    } else if (result.badCount) {
        parts << QStringLiteral("Die Datei der benutzerdefinierten Filter „%1“ ist beschädigt.")
                     .arg(file);
    } else if (result.complete < result.declared) {
        parts << QStringLiteral("Die Datei der benutzerdefinierten Filter „%1“ ist beschädigt "
                                "oder unvollständig. Es wurden %2 von %3 Filtern vollständig "
                                "gelesen.")
                     .arg(file)
                     .arg(result.complete)
                     .arg(result.declared);
    } else if (result.trailingBytes) {
        parts << QStringLiteral("Die Datei der benutzerdefinierten Filter „%1“ enthält nach dem "
                                "letzten Filter weitere Daten, die nicht gelesen wurden.")
                     .arg(file);
    }
    for (const QString& name : result.zeroDivisor) {
        parts << QStringLiteral("Der Filter „%1“ hat den Divisor 0 und wurde nicht geladen.")
                     .arg(name);
    }
    if (!backupPath.isEmpty()) {
        parts << QStringLiteral("Eine Kopie der Datei liegt unter „%1“.")
                     .arg(QDir::toNativeSeparators(backupPath));
    } else {
        parts << QStringLiteral("Von der Datei konnte keine Kopie angelegt werden; sie wird "
                                "daher nicht überschrieben, und Änderungen an den Filtern "
                                "werden nicht gespeichert.");
    }
    return parts.join(QLatin1Char(' '));
}

Loaded load(const QString& path) {
    Loaded loaded;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return loaded; // first use: no file yet
    }
    const ReadResult result = read(file, file.size(), loaded.filters);
    file.close();
    if (result.status == ReadStatus::Ok) {
        return loaded;
    }
    // The dialog rewrites the file when it closes: keep the whole damaged one first.
    QString backup = path + QStringLiteral(".beschaedigt");
    QFile::remove(backup);
    if (!QFile::copy(path, backup)) {
        backup.clear();
        loaded.mayOverwrite = false;
    }
    loaded.message = damageReport(result, path, backup);
    return loaded;
}

bool save(const QString& path, const std::vector<filtertype>& filters) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QByteArray bytes = toBytes(filters);
    return saveAtomically(path, [&](QIODevice& file) {
               return file.write(bytes) == bytes.size();
           }) == SaveOutcome::Saved;
}

QString filePath(const QString& programFolder, const QString& userDataFolder) {
    const QFileInfo folder(programFolder);
    const QFileInfo file(programFolder + kFileName);
    const bool programFolderWritable =
        folder.isDir() && folder.isWritable() && (!file.exists() || file.isWritable());
    return (programFolderWritable ? programFolder : userDataFolder) + kFileName;
}

QString defaultFilePath() {
    auto withSeparator = [](QString folder) {
        folder = QDir::cleanPath(folder);
        return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    };
    const QString program = withSeparator(QCoreApplication::applicationDirPath());
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString user = data.isEmpty()
                             ? program
                             : withSeparator(data) + QStringLiteral("Orvenal/Tessaplan-Designer/");
    return filePath(program, user);
}

} // namespace userfilters
