#include "StitchLibraryFile.h"

#include "PictureBlock.h"
#include "foundation/ByteStream.h"
#include "foundation/TextRecord.h"

#include <QDir>
#include <QFile>
#include <QIODevice>

namespace StitchLibraryFile {

namespace {

// Four empty texts, the width, and the smallest picture block.
constexpr std::int64_t kMinStitchBytes = 4 * 4 + 4 + 8 + 40;
constexpr std::int32_t kMaxStitchWidth = 10;

FileStatus readStitch(ByteReader& in, TStich& s) {
    for (char16_t** text : {&s.bezeichnung, &s.abkuerzung, &s.hinreihe, &s.rueckreihe}) {
        *text = ReadTextRecord(in);
        if (!*text) {
            return in.stopped() ? FileStatus::Stopped : FileStatus::Damaged;
        }
    }
    if (!in.readInt32(s.breite) || s.breite < 0 || s.breite > kMaxStitchWidth) {
        return FileStatus::Damaged;
    }
    return PictureBlock::read(in, s.di);
}

} // namespace

QString dataFolder(const QString& dataLocation, const QString& fallback) {
    if (dataLocation.isEmpty()) {
        return fallback;
    }
    QString folder = QDir::cleanPath(dataLocation);
    if (!folder.endsWith(QLatin1Char('/'))) {
        folder += QLatin1Char('/');
    }
    return folder + QStringLiteral("Orvenal/Tessaplan-Designer/");
}

bool write(QIODevice& device, const TDynaArrayOf<TStich>& stiche) {
    ByteWriter out(device);
    out.writeInt32(std::int32_t(stiche.count));
    for (const TStich& s : stiche) {
        WriteTextRecord(out, s.bezeichnung);
        WriteTextRecord(out, s.abkuerzung);
        WriteTextRecord(out, s.hinreihe);
        WriteTextRecord(out, s.rueckreihe);
        out.writeInt32(s.breite);
        PictureBlock::write(out, s.di);
    }
    return out.flush();
}

ReadResult read(QIODevice& device, std::int64_t size, TDynaArrayOf<TStich>& stiche) {
    ByteReader in(device, size);
    ReadResult result;
    if (!in.readInt32(result.declared) || result.declared < 0 ||
        in.remaining() / kMinStitchBytes < result.declared) {
        result.status = FileStatus::Damaged;
        result.declared = 0;
        return result;
    }
    for (std::int32_t i = 0; i < result.declared; ++i) {
        TStich s;
        result.status = readStitch(in, s);
        TStich* slot = result.status == FileStatus::Ok ? stiche.Add() : nullptr;
        if (!slot) {
            releaseStitch(s);
            if (result.status == FileStatus::Ok) {
                result.status = FileStatus::NoMemory;
            }
            return result;
        }
        *slot = s;
        ++result.read;
    }
    return result;
}

QString keepDamagedCopy(const QString& path) {
    QFile damaged(path);
    if (!damaged.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray content = damaged.readAll();
    constexpr int kMaxCopies = 1000;
    for (int n = 1; n <= kMaxCopies; ++n) {
        QString copy = path + QStringLiteral(".beschaedigt");
        if (n > 1) {
            copy += QStringLiteral("-%1").arg(n);
        }
        QFile existing(copy);
        if (!existing.exists()) {
            return QFile::copy(path, copy) ? copy : QString();
        }
        if (existing.size() == content.size() && existing.open(QIODevice::ReadOnly) &&
            existing.readAll() == content) {
            return copy;
        }
    }
    return {};
}

} // namespace StitchLibraryFile
