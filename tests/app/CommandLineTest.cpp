#include "designer/ChartDocument.h"
#include "designer/ChartOutput.h"
#include "designer/ProjectFile.h"
#include "foundation/grafikrw3/ImageFiles.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ProgramRun {
    int status = -1;
    QString out;
    QString err;
};

// Runs the program without a display, as a script would.
ProgramRun program(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(TESSAPLAN_PROGRAM), arguments);
    process.waitForFinished(120000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

class CommandLine : public ::testing::Test {
protected:
    QTemporaryDir folder;
    QString chart;

    void SetUp() override {
        chart = folder.filePath(QStringLiteral("muster.tpd"));
        ChartDocument doc;
        ASSERT_TRUE(doc.buildChart(10, 10, -1));
        QFile file(chart);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(ProjectFile::write(file, doc, PageSettings{}));
    }
    QString path(const QString& name) const { return folder.filePath(name); }
};

} // namespace

TEST_F(CommandLine, HelpListsTheOptions) {
    const ProgramRun run = program({QStringLiteral("--help")});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.out.contains(QStringLiteral("--export")));
    EXPECT_TRUE(run.out.contains(QStringLiteral("--pdf")));
}

TEST_F(CommandLine, ExportWritesTheWholeTableAtTheResolution) {
    const ProgramRun run =
        program({QStringLiteral("--export"), chart, path(QStringLiteral("m.png")),
                 QStringLiteral("--dpi"), QStringLiteral("96")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    dib picture;
    grafikrw3::OpenDib(&picture, path(QStringLiteral("m.png")));
    ASSERT_NE(picture.poi, nullptr);
    EXPECT_EQ(DIBWidth(picture), 362);
    EXPECT_EQ(DIBHeight(picture), 1322);
    FreeDIB(picture);

    // Without --dpi: 300 dots per inch.
    ASSERT_EQ(program({QStringLiteral("--export"), chart, path(QStringLiteral("m.bmp"))}).status,
              0);
    grafikrw3::OpenDib(&picture, path(QStringLiteral("m.bmp")));
    ASSERT_NE(picture.poi, nullptr);
    EXPECT_EQ(DIBWidth(picture), 76 * 12 + 2 * 118);
    FreeDIB(picture);
}

TEST_F(CommandLine, PdfHoldsThePrintedPages) {
    const QString pdf = path(QStringLiteral("m.pdf"));
    const ProgramRun run = program({QStringLiteral("--pdf"), chart, pdf});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    ASSERT_TRUE(info.waitForFinished(30000));
    const QString output = QString::fromLocal8Bit(info.readAllStandardOutput());
    EXPECT_TRUE(output.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\b"))));
    EXPECT_TRUE(output.contains(QStringLiteral("A4")));
}

TEST_F(CommandLine, EveryErrorIsNamedWithItsStatus) {
    QFile damaged(path(QStringLiteral("kaputt.tpd")));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("\x01\x00\x00\x00\x01", 5);
    damaged.close();
    const struct {
        QStringList arguments;
        int status;
        const char* message;
    } cases[] = {
        {{"--export", path("fehlt.tpd"), path("a.png")}, 1, "kann nicht geöffnet werden"},
        {{"--export", damaged.fileName(), path("a.png")}, 1, "beschädigt"},
        {{"--export", chart, path("kein/ordner/a.png")}, 1, "kann nicht geschrieben werden"},
        {{"--pdf", chart, path("kein/ordner/a.pdf")}, 1, "kann nicht geschrieben werden"},
        {{"--export", chart, path("a.png"), "--dpi", "9"}, 2, "zwischen 10 und 4000"},
        {{"--export", chart, path("a.png"), "--dpi", "4001"}, 2, "zwischen 10 und 4000"},
        {{"--export", chart, path("a.png"), "--dpi", "viel"}, 2, "ganze Zahl"},
        {{"--export", chart, path("a.xyz")}, 2, "Unbekanntes Bildformat"},
        {{"--export", chart}, 2, "Aufruf"},
        {{"--drucken", chart}, 2, "Aufruf"},
    };
    for (const auto& c : cases) {
        const ProgramRun run = program(c.arguments);
        EXPECT_EQ(run.status, c.status) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.message))) << run.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("a.png"))));
}
