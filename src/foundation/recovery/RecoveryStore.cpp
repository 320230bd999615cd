#include "RecoveryStore.h"

#include "foundation/AtomicSave.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

#include <algorithm>
#include <atomic>
#include <map>

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

namespace recovery {

namespace {

const QString kDescriptionSuffix = QStringLiteral(".json");
const QString kDamagedFolder = QStringLiteral("beschaedigt/");

QByteArray readSmallFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(1 << 16) : QByteArray();
}

// The start time of process `pid` in clock ticks after the boot, from /proc; empty when there
// is no such process (or no /proc), and for one that ended but was not yet waited for (a
// zombie), since it writes nothing any more.
QByteArray processStart(qint64 pid) {
    const QByteArray stat = readSmallFile(QStringLiteral("/proc/%1/stat").arg(pid));
    // The command name in parentheses may hold spaces; the fields after it are plain.
    const qsizetype close = stat.lastIndexOf(')');
    if (close < 0) {
        return {};
    }
    const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
    constexpr int kStateField = 0;      // field 3 of the line
    constexpr int kStartTimeField = 19; // field 22
    if (fields.size() <= kStartTimeField || fields[kStateField] == "Z" ||
        fields[kStateField] == "X") {
        return {};
    }
    return fields[kStartTimeField];
}

// Eight hex digits naming this boot of the machine.
QString bootId() {
    const QByteArray id = readSmallFile(QStringLiteral("/proc/sys/kernel/random/boot_id"));
    const QString digits = QString::fromLatin1(id).remove(QLatin1Char('-')).trimmed().left(8);
    return digits.size() == 8 ? digits : QStringLiteral("0");
}

struct Token {
    qint64 pid = 0;
    QString start;
    QString boot;
};

// "<pid>-<start>-<boot>" at the front of `name`; false when the name is not one of ours.
bool parseToken(const QString& name, Token& token, QString* rest = nullptr) {
    const QStringList parts = name.split(QLatin1Char('-'));
    bool ok = parts.size() >= 3;
    token.pid = ok ? parts[0].toLongLong(&ok) : 0;
    if (!ok || token.pid <= 0 || parts[1].isEmpty() || parts[2].isEmpty()) {
        return false;
    }
    token.start = parts[1];
    token.boot = parts[2];
    if (rest) {
        *rest = parts.mid(3).join(QLatin1Char('-'));
    }
    return true;
}

QString kindName(Kind kind) {
    return kind == Kind::Picture ? QStringLiteral("picture") : QStringLiteral("chart");
}

} // namespace

Store::Store(QString folder) : folder_(std::move(folder)) {
    if (!folder_.endsWith(QLatin1Char('/'))) {
        folder_ += QLatin1Char('/');
    }
}

QString Store::defaultFolder() {
    QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty()) {
        data = QCoreApplication::applicationDirPath();
    }
    return QDir::cleanPath(data) + QStringLiteral("/Orvenal/Tessaplan-Designer/Wiederherstellung/");
}

QString Store::processToken() {
    static const QString token = [] {
        const qint64 pid = qint64(::getpid());
        QString start = QString::fromLatin1(processStart(pid));
        if (start.isEmpty()) { // no /proc: the start's time tells two runs apart
            start = QString::number(QDateTime::currentMSecsSinceEpoch());
        }
        return QStringLiteral("%1-%2-%3").arg(pid).arg(start, bootId());
    }();
    return token;
}

bool Store::isRunning(const QString& token) {
    Token theirs;
    Token ours;
    if (!parseToken(token, theirs) || !parseToken(processToken(), ours)) {
        return false;
    }
    if (theirs.boot != ours.boot) {
        return false; // written before the machine last started
    }
    if (!QFileInfo::exists(QStringLiteral("/proc/self/stat"))) {
        return ::kill(pid_t(theirs.pid), 0) == 0 || errno == EPERM;
    }
    return QString::fromLatin1(processStart(theirs.pid)) == theirs.start;
}

QString Store::newBase() const {
    static std::atomic<int> serial{0};
    return folder_ + processToken() + QLatin1Char('-') + QString::number(++serial);
}

QString Store::copySuffix(Kind kind) {
    return kind == Kind::Picture ? QStringLiteral(".bmp") : QStringLiteral(".tpd");
}

QString Store::descriptionSuffix() {
    return kDescriptionSuffix;
}

bool Store::writeDescription(const QString& base, const Description& d) const {
    QJsonObject json;
    json[QStringLiteral("kind")] = kindName(d.kind);
    json[QStringLiteral("file")] = d.fileName;
    json[QStringLiteral("title")] = d.title;
    json[QStringLiteral("format")] = d.format;
    json[QStringLiteral("stitchPicture")] = d.stitchPicture;
    json[QStringLiteral("changed")] = d.changed.toUTC().toString(Qt::ISODateWithMs);
    json[QStringLiteral("pid")] = d.pid;
    json[QStringLiteral("writer")] = d.writer;
    const QByteArray bytes = QJsonDocument(json).toJson();
    return saveAtomically(base + kDescriptionSuffix, [&](QIODevice& out) {
               return out.write(bytes) == bytes.size();
           }) == SaveOutcome::Saved;
}

bool Store::readDescription(const QString& path, Description& d) {
    const QJsonDocument document = QJsonDocument::fromJson(readSmallFile(path));
    if (!document.isObject()) {
        return false;
    }
    const QJsonObject json = document.object();
    const QString kind = json[QStringLiteral("kind")].toString();
    if (kind != kindName(Kind::Chart) && kind != kindName(Kind::Picture)) {
        return false;
    }
    d.kind = kind == kindName(Kind::Picture) ? Kind::Picture : Kind::Chart;
    d.fileName = json[QStringLiteral("file")].toString();
    d.title = json[QStringLiteral("title")].toString();
    d.format = json[QStringLiteral("format")].toInt();
    d.stitchPicture = json[QStringLiteral("stitchPicture")].toBool();
    d.changed = QDateTime::fromString(json[QStringLiteral("changed")].toString(), Qt::ISODateWithMs)
                    .toLocalTime();
    d.pid = json[QStringLiteral("pid")].toInteger();
    d.writer = json[QStringLiteral("writer")].toString();
    return true;
}

std::vector<Entry> Store::orphans(bool picturesOnly) const {
    struct Files {
        QString copy;
        QString description;
        QStringList leftovers;
    };
    std::map<QString, Files> byBase;
    std::map<QString, bool> running;
    const QDir dir(folder_);
    for (const QString& name : dir.entryList(QDir::Files)) {
        QString base = name;
        const qsizetype temporary = base.indexOf(temporarySaveSuffix());
        if (temporary >= 0) {
            base.truncate(temporary);
        }
        const QString suffix = QLatin1Char('.') + QFileInfo(base).suffix();
        const bool known = suffix == kDescriptionSuffix || suffix == copySuffix(Kind::Chart) ||
                           suffix == copySuffix(Kind::Picture);
        Token token;
        QString serial;
        base.chop(suffix.size());
        if (!known || !parseToken(base, token, &serial) || serial.isEmpty()) {
            continue; // not ours
        }
        const QString writer =
            QStringLiteral("%1-%2-%3").arg(token.pid).arg(token.start, token.boot);
        const auto [it, isNew] = running.try_emplace(writer, false);
        if (isNew) {
            it->second = isRunning(writer);
        }
        if (it->second) {
            continue;
        }
        Files& files = byBase[base];
        if (temporary >= 0) {
            files.leftovers << dir.filePath(name);
        } else if (suffix == kDescriptionSuffix) {
            files.description = dir.filePath(name);
        } else {
            files.copy = dir.filePath(name);
        }
    }

    std::vector<Entry> entries;
    for (const auto& [base, files] : byBase) {
        for (const QString& leftover : files.leftovers) {
            QFile::remove(leftover); // a copy whose writing was cut short
        }
        if (files.copy.isEmpty()) {
            QFile::remove(files.description); // nothing left to restore
            continue;
        }
        Entry entry;
        entry.copyPath = files.copy;
        entry.descriptionPath = dir.filePath(base + kDescriptionSuffix);
        Description& d = entry.description;
        const Kind kind =
            files.copy.endsWith(copySuffix(Kind::Picture)) ? Kind::Picture : Kind::Chart;
        if (files.description.isEmpty() || !readDescription(files.description, d) ||
            d.kind != kind) {
            // The description went missing or is damaged: the copy still holds the work.
            d = Description{};
            d.kind = kind;
            d.changed = QFileInfo(files.copy).lastModified();
            Token token;
            parseToken(QFileInfo(base).fileName(), token);
            d.pid = token.pid;
        }
        if (!picturesOnly || d.kind == Kind::Picture) {
            entries.push_back(std::move(entry));
        }
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.description.changed > b.description.changed;
    });
    return entries;
}

void Store::remove(const Entry& entry) {
    QFile::remove(entry.copyPath);
    QFile::remove(entry.descriptionPath);
}

void Store::removeBase(const QString& base) {
    QFile::remove(base + copySuffix(Kind::Chart));
    QFile::remove(base + copySuffix(Kind::Picture));
    QFile::remove(base + kDescriptionSuffix);
}

QString Store::keepAside(const Entry& entry) const {
    const QString aside = folder_ + kDamagedFolder;
    QDir().mkpath(aside);
    const QString copy = aside + QFileInfo(entry.copyPath).fileName();
    QFile::remove(copy);
    if (!QFile::rename(entry.copyPath, copy)) {
        return {};
    }
    const QString description = aside + QFileInfo(entry.descriptionPath).fileName();
    QFile::remove(description);
    QFile::rename(entry.descriptionPath, description);
    return copy;
}

Store::Lock::Lock(const Store& store) {
    QDir().mkpath(store.folder());
    const QByteArray path = QFile::encodeName(store.folder() + QStringLiteral(".sperre"));
    fd_ = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

Store::Lock::~Lock() {
    if (fd_ >= 0) {
        ::close(fd_); // releases the lock
    }
}

} // namespace recovery
