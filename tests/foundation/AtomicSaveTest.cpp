#include "foundation/AtomicSave.h"
#include "foundation/ByteStream.h"
#include "foundation/DirectFileWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

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
