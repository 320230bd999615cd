#include "foundation/AtomicSave.h"
#include "foundation/ByteStream.h"
#include "foundation/DirectFileWriter.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <vector>

namespace {

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
}

QByteArray randomBytes(int size, unsigned seed) {
    std::mt19937 random(seed);
    QByteArray bytes(size, '\0');
    for (char& b : bytes) {
        b = char(random());
    }
    return bytes;
}

} // namespace

TEST(DirectFileWriter, EveryLengthAndPieceSizeGivesTheExactFile) {
    QTemporaryDir folder;
    constexpr int kBlock = int(DirectFileWriter::kBlockBytes);
    for (int length : {0, 1, 4095, 4096, 4097, kBlock - 1, kBlock, kBlock + 1, 3 * kBlock + 123}) {
        // Pieces from a byte stream (whole aligned blocks) and odd pieces at odd addresses.
        for (bool throughByteWriter : {true, false}) {
            const QByteArray content = randomBytes(length, unsigned(length));
            const QString path = folder.filePath(QStringLiteral("f%1").arg(length));
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            DirectFileWriter writer(file);
            if (throughByteWriter) {
                ByteWriter out(writer);
                ASSERT_TRUE(out.writeBytes(content.constData(), content.size()));
                ASSERT_TRUE(out.flush());
            } else {
                std::mt19937 random(7);
                for (int at = 0; at < length;) {
                    const int piece = std::min(length - at, 1 + int(random() % 70000));
                    ASSERT_EQ(writer.write(content.constData() + at, piece), piece);
                    at += piece;
                }
            }
            ASSERT_TRUE(writer.finish()) << length;
            file.close();
            ASSERT_EQ(fileBytes(path), content) << length << " " << throughByteWriter;
        }
    }
}

TEST(AtomicSave, ReplacesTheFileOnlyWhenEverythingWasWritten) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("jacke.tpd"));
    const QByteArray first = randomBytes(5 * int(DirectFileWriter::kBlockBytes) / 2, 1);
    auto writing = [](const QByteArray& bytes, bool succeed) {
        return [&bytes, succeed](QIODevice& device) {
            return device.write(bytes) == bytes.size() && succeed;
        };
    };
    EXPECT_EQ(saveAtomically(path, writing(first, true)), SaveOutcome::Saved);
    EXPECT_EQ(fileBytes(path), first);

    // A save that stops half-way leaves the previous file and no temporary file behind.
    const QByteArray second = randomBytes(1000, 2);
    EXPECT_EQ(saveAtomically(path, writing(second, false)), SaveOutcome::NotWritten);
    EXPECT_EQ(fileBytes(path), first);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("jacke.tpd")});

    EXPECT_EQ(saveAtomically(path, writing(second, true)), SaveOutcome::Saved);
    EXPECT_EQ(fileBytes(path), second);

    EXPECT_EQ(
        saveAtomically(folder.filePath(QStringLiteral("fehlt/jacke.tpd")), writing(second, true)),
        SaveOutcome::CannotCreate);
}

TEST(AtomicSave, ForcesContentThenFolderToDiskAndFailsWhenEitherCannot) {
    using filesync::Target;
    const QByteArray before = randomBytes(3000, 3);
    const QByteArray after = randomBytes(70000, 4);
    const std::optional<Target> failures[] = {std::nullopt, Target::File, Target::Folder};
    for (const std::optional<Target> failing : failures) {
        for (bool existing : {true, false}) {
            for (SaveAccess access : {SaveAccess::Sequential, SaveAccess::Seekable}) {
                SCOPED_TRACE(testing::Message()
                             << "failing " << (failing ? int(*failing) : -1) << " existing "
                             << existing << " access " << int(access));
                QTemporaryDir folder;
                const QString path = folder.filePath(QStringLiteral("muster.tpd"));
                if (existing) {
                    ASSERT_EQ(
                        saveAtomically(
                            path, [&](QIODevice& d) { return d.write(before) == before.size(); }),
                        SaveOutcome::Saved);
                    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner |
                                                    QFile::ReadGroup | QFile::ReadOther);
                }
                const SyncFailure sync(failing);
                const SaveOutcome outcome = saveAtomically(
                    path, [&](QIODevice& d) { return d.write(after) == after.size(); }, access);

                const std::vector<Target> expectedCalls =
                    failing == Target::File ? std::vector{Target::File}
                                            : std::vector{Target::File, Target::Folder};
                EXPECT_EQ(sync.calls(), expectedCalls);
                EXPECT_EQ(outcome, failing ? SaveOutcome::NotWritten : SaveOutcome::Saved);
                const QByteArray expected = !failing ? after : existing ? before : "missing";
                EXPECT_EQ(fileBytes(path), expected);
                // No temporary file stays behind; the permissions go with the name.
                EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(),
                          expected == "missing" ? 0 : 1);
                if (existing) {
                    EXPECT_EQ(QFile::permissions(path) & 0x0777, 0x0644);
                }
            }
        }
    }
}

TEST(AtomicSave, WritesWhereALinkPoints) {
    QTemporaryDir folder;
    const QString real = folder.filePath(QStringLiteral("echt.pal"));
    const QString link = folder.filePath(QStringLiteral("verweis.pal"));
    auto writing = [](const QByteArray& bytes) {
        return [bytes](QIODevice& d) { return d.write(bytes) == bytes.size(); };
    };
    ASSERT_EQ(saveAtomically(real, writing("alt")), SaveOutcome::Saved);
    ASSERT_TRUE(QFile::link(real, link));
    EXPECT_EQ(saveAtomically(link, writing("neu")), SaveOutcome::Saved);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(fileBytes(real), "neu");
}
