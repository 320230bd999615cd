#include "imageops/UserFilterFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

using namespace userfilters;

namespace {

QByteArray header(std::int32_t count, std::uint32_t magic = kMagic) {
    QByteArray bytes(8, '\0');
    for (int b = 0; b < 4; ++b) {
        bytes[b] = char(magic >> (8 * b));
        bytes[4 + b] = char(std::uint32_t(count) >> (8 * b));
    }
    return bytes;
}

// A record of random bytes (bytes after the name's terminator included) with a usable divisor.
QByteArray randomRecord(std::mt19937& random, std::int32_t divisor) {
    QByteArray bytes(qsizetype(imageops::kFilterRecordBytes), '\0');
    for (char& c : bytes) {
        c = char(random());
    }
    for (int b = 0; b < 4; ++b) {
        bytes[b] = char(std::uint32_t(divisor) >> (8 * b));
    }
    return bytes;
}

QByteArray namedRecord(const QString& name, std::int32_t divisor) {
    filtertype f;
    f.divisor = divisor;
    imageops::setFilterName(f, name);
    QByteArray bytes(qsizetype(imageops::kFilterRecordBytes), '\0');
    imageops::filterToBytes(f, reinterpret_cast<std::uint8_t*>(bytes.data()));
    return bytes;
}

TEST(UserFilterFile, SoundFilesRoundTripByteForByte) {
    std::mt19937 random(11);
    for (int count : {0, 1, 4}) {
        QByteArray file = header(count);
        for (int i = 0; i < count; ++i) {
            file += randomRecord(random, i % 2 ? -9 : 255);
        }
        std::vector<filtertype> filters;
        const ReadResult result = read(file, filters);
        EXPECT_EQ(result.status, ReadStatus::Ok);
        EXPECT_EQ(filters.size(), std::size_t(count));
        EXPECT_EQ(toBytes(filters), file);
        EXPECT_TRUE(damageReport(result, QStringLiteral("/x/UserFilt.dat"), {}).isEmpty());
    }
    std::vector<filtertype> none;
    EXPECT_EQ(read(QByteArray(), none).status, ReadStatus::Ok); // an empty file loses nothing
}

TEST(UserFilterFile, DamagedFilesKeepTheCompleteSoundRecordsAndSaySo) {
    const QByteArray first = namedRecord(QStringLiteral("Kanten"), 1);
    const QByteArray second = namedRecord(QStringLiteral("Weich"), 9);
    std::vector<filtertype> filters;

    // ends inside the third record
    ReadResult r = read(header(3) + first + second + second.left(500), filters);
    EXPECT_EQ(r.status, ReadStatus::Damaged);
    EXPECT_EQ(r.complete, 2);
    EXPECT_EQ(toBytes(filters), header(2) + first + second);
    EXPECT_EQ(damageReport(r, QStringLiteral("/p/UserFilt.dat"), QStringLiteral("/p/b")),
              QStringLiteral("Die Datei der benutzerdefinierten Filter „/p/UserFilt.dat“ ist "
                             "beschädigt oder unvollständig. Es wurden 2 von 3 Filtern "
                             "vollständig gelesen. Eine Kopie der Datei liegt unter „/p/b“."));

    // a divisor of 0 is left out and named
    r = read(header(2) + namedRecord(QStringLiteral("Null"), 0) + second, filters);
    EXPECT_EQ(r.status, ReadStatus::Damaged);
    EXPECT_EQ(toBytes(filters), header(1) + second);
    EXPECT_TRUE(damageReport(r, QStringLiteral("f"), QStringLiteral("b"))
                    .startsWith(QStringLiteral(
                        "Der Filter „Null“ hat den Divisor 0 und wurde nicht geladen.")));

    // foreign, negative count, missing count, bytes after the last record
    for (const QByteArray& bad : {header(1, 0x1234) + first, header(-1), header(0).left(6),
                                  header(1) + first + "x", QByteArray("ab")}) {
        r = read(bad, filters);
        EXPECT_EQ(r.status, ReadStatus::Damaged);
        EXPECT_FALSE(damageReport(r, QStringLiteral("f"), {}).isEmpty());
    }
    EXPECT_TRUE(read(header(1, 0x1234) + first, filters).foreign);
    EXPECT_TRUE(filters.empty());

    // records of divisor 0 are never written
    filtertype zero;
    zero.divisor = 0;
    EXPECT_EQ(toBytes({zero}), header(0));
}

TEST(UserFilterFile, ADamagedFileIsCopiedBeforeItMayBeOverwritten) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("UserFilt.dat"));

    Loaded loaded = load(path); // first use
    EXPECT_TRUE(loaded.filters.empty());
    EXPECT_TRUE(loaded.message.isEmpty());
    ASSERT_TRUE(save(path, loaded.filters));
    EXPECT_EQ(QFileInfo(path).size(), 8);

    const QByteArray damaged = header(2) + namedRecord(QStringLiteral("A"), 3) + "abc";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(damaged);
    file.close();
    loaded = load(path);
    EXPECT_EQ(loaded.filters.size(), 1u);
    EXPECT_TRUE(loaded.mayOverwrite);
    EXPECT_TRUE(loaded.message.contains(QStringLiteral("1 von 2")));
    QFile backup(path + QStringLiteral(".beschaedigt"));
    ASSERT_TRUE(backup.open(QIODevice::ReadOnly));
    EXPECT_EQ(backup.readAll(), damaged);
    backup.close();

    // no copy possible (a folder stands where it would go): the file must stay as it is
    ASSERT_TRUE(QFile::remove(backup.fileName()));
    ASSERT_TRUE(QDir().mkpath(backup.fileName() + QStringLiteral("/inside")));
    loaded = load(path);
    EXPECT_FALSE(loaded.mayOverwrite);
    EXPECT_TRUE(loaded.message.contains(QStringLiteral("nicht überschrieben")));
}

TEST(UserFilterFile, LivesInTheProgramFolderOnlyWhileThatIsWritable) {
    QTemporaryDir dir;
    const QString program = dir.path() + QStringLiteral("/programm/");
    const QString user = dir.path() + QStringLiteral("/benutzer/");
    ASSERT_TRUE(QDir().mkpath(program));
    EXPECT_EQ(filePath(program, user), program + QStringLiteral("UserFilt.dat"));
    EXPECT_EQ(filePath(dir.path() + QStringLiteral("/fehlt/"), user),
              user + QStringLiteral("UserFilt.dat"));
    EXPECT_TRUE(defaultFilePath().endsWith(QStringLiteral("/UserFilt.dat")));
}

} // namespace
