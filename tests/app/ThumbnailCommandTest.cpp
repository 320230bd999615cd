// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProgramRun.h"
#include "designer/ChartDocument.h"
#include "designer/ProjectFile.h"
#include "foundation/OwnedText.h"
#include "foundation/ProgramVersion.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString readText(const QString& name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The options a text names: "--export", "--from-picture" ...
QSet<QString> optionsIn(const QString& text) {
    QSet<QString> options;
    const QRegularExpression option(QStringLiteral("(?<![\\w-])--[a-z][a-z-]*"));
    for (const QRegularExpressionMatch& m : option.globalMatch(text)) {
        options.insert(m.captured());
    }
    return options;
}

} // namespace

TEST(ThumbnailCommand, PreviewsChartsOfAnySizeAndRefusesDamagedOnesWithoutAFile) {
    QTemporaryDir folder;
    auto path = [&](const char* name) { return folder.filePath(QString::fromUtf8(name)); };
    // A small chart and one of 200 x 300 cells, a dark symbol in every cell.
    for (auto [name, rows, columns] : {std::tuple{"klein.tpd", 10, 10}, {"gross.tpd", 300, 200}}) {
        ChartDocument doc;
        TStich* stich = doc.stiche.Add();
        stich->bezeichnung = ownedTextFromString(QStringLiteral("Noppe"));
        stich->breite = 1;
        grafikrw3::newdib(&stich->di, 16, 16, 24, nullptr, 0);
        grafikrw3::FilledEllipse(stich->di, 2, 2, 13, 13, 0x402010);
        ASSERT_TRUE(doc.buildChart(rows, columns, 0));
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(ProjectFile::write(file, doc, PageSettings{}));
    }
    const struct {
        const char* chart;
        int size;
        bool tall; // the 300 rows make the page taller than wide
    } previews[] = {{"klein.tpd", 128, false}, {"klein.tpd", 512, false}, {"gross.tpd", 256, true}};
    for (const auto& p : previews) {
        const QString out = path("vorschau.png");
        const ProgramRun run =
            program({QStringLiteral("--thumbnail"), path(p.chart), out, QString::number(p.size)});
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        const QImage preview(out);
        ASSERT_FALSE(preview.isNull());
        EXPECT_EQ(std::max(preview.width(), preview.height()), p.size) << p.chart;
        if (p.tall) {
            EXPECT_EQ(preview.height(), p.size);
            EXPECT_LT(preview.width(), p.size * 3 / 4);
        }
        // White page margin at the corner, the dark symbols in the middle of the grid.
        EXPECT_EQ(preview.pixel(0, 0) & 0xffffff, 0xffffffu);
        EXPECT_LT(qGray(preview.pixel(preview.width() / 2, preview.height() / 3)), 200) << p.chart;
        QFile::remove(out);
    }

    QFile whole(path("gross.tpd"));
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    for (auto [name, content] : {std::pair{"abgeschnitten.tpd", bytes.left(bytes.size() / 2)},
                                 {"ohne-ende.tpd", bytes.left(bytes.size() - 3)},
                                 {"leer.tpd", QByteArray()},
                                 {"unsinn.tpd", QByteArray(5000, '\x7f')}}) {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QDir(folder.path()).mkdir(QStringLiteral("ordner.tpd"));
    const struct {
        QStringList arguments;
        int status;
    } failures[] = {
        {{path("abgeschnitten.tpd"), path("a.png"), "128"}, 1},
        {{path("ohne-ende.tpd"), path("a.png"), "128"}, 1},
        {{path("leer.tpd"), path("a.png"), "128"}, 1},
        {{path("unsinn.tpd"), path("a.png"), "128"}, 1},
        {{path("fehlt.tpd"), path("a.png"), "128"}, 1},
        {{path("ordner.tpd"), path("a.png"), "128"}, 1},
        {{path("klein.tpd"), path("kein/ordner/a.png"), "128"}, 1},
        {{path("klein.tpd"), path("a.png"), "0"}, 2},
        {{path("klein.tpd"), path("a.png"), "4097"}, 2},
        {{path("klein.tpd"), path("a.png"), "groß"}, 2},
        {{path("klein.tpd"), path("a.png")}, 2},
    };
    for (const auto& f : failures) {
        const ProgramRun run = program(QStringList{QStringLiteral("--thumbnail")} + f.arguments);
        EXPECT_EQ(run.status, f.status) << f.arguments.join(' ').toStdString();
        EXPECT_FALSE(run.err.isEmpty());
        EXPECT_FALSE(QFile::exists(path("a.png"))) << f.arguments.join(' ').toStdString();
    }
}

// --version, --help, the manual page and the README name the same options, and the manual
// page every exit status.
TEST(ThumbnailCommand, VersionHelpManualPageAndReadmeAgree) {
    const ProgramRun version = program({QStringLiteral("--version")});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.startsWith(
        QStringLiteral("Tessaplan-Designer %1\n").arg(QString::fromLatin1(kProgramVersion))))
        << version.out.toStdString();
    EXPECT_TRUE(version.out.contains(QStringLiteral("GPL")));

    const ProgramRun help = program({QStringLiteral("--help")});
    ASSERT_EQ(help.status, 0);
    const QSet<QString> options = optionsIn(help.out);
    EXPECT_TRUE(options.contains(QStringLiteral("--thumbnail")));
    EXPECT_TRUE(options.contains(QStringLiteral("--version")));
    const QString manual =
        readText(QStringLiteral(TESSAPLAN_SOURCE_DIR "/data/tessaplan-designer.1"))
            .replace(QStringLiteral("\\-"), QStringLiteral("-"));
    const QString readme = readText(QStringLiteral(TESSAPLAN_SOURCE_DIR "/README.md"));
    ASSERT_FALSE(manual.isEmpty());
    EXPECT_EQ(optionsIn(manual), options);
    for (const QString& option : options) {
        EXPECT_TRUE(readme.contains(option)) << option.toStdString() << " is not in the README";
    }
    const QString statuses = manual.section(QStringLiteral(".SH RÜCKGABEWERT"), 1, 1)
                                 .section(QStringLiteral(".SH "), 0, 0);
    for (const char* status : {".B 0\n", ".B 1\n", ".B 2\n"}) {
        EXPECT_TRUE(statuses.contains(QLatin1String(status))) << status;
    }
}
