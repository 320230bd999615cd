#include "PdfImages.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString run(const QStringList& arguments) {
    QProcess tool;
    tool.start(QStringLiteral("pdfimages"), arguments);
    const bool done = tool.waitForFinished(120000) && tool.exitCode() == 0;
    EXPECT_TRUE(done) << "pdfimages (poppler-utils) is needed";
    return QString::fromUtf8(tool.readAllStandardOutput());
}

} // namespace

std::vector<PdfImage> pdfImages(const QString& pdf, bool extract) {
    // page num type width height color comp bpc enc interp object ID x-ppi y-ppi size ratio,
    // below two heading lines.
    std::vector<PdfImage> out;
    const QStringList lines = run({QStringLiteral("-list"), pdf}).split(QLatin1Char('\n'));
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QStringList fields = lines[i].simplified().split(QLatin1Char(' '));
        if (fields.size() < 12) {
            continue;
        }
        PdfImage image;
        image.page = fields[0].toInt();
        image.encoding = fields[8];
        image.object = fields[10].toInt();
        out.push_back(image);
    }
    if (!extract) {
        return out;
    }
    QTemporaryDir folder;
    run({QStringLiteral("-png"), pdf, folder.filePath(QStringLiteral("bild"))});
    const QStringList files =
        QDir(folder.path()).entryList({QStringLiteral("bild-*.png")}, QDir::Files, QDir::Name);
    EXPECT_EQ(files.size(), qsizetype(out.size()));
    for (qsizetype i = 0; i < files.size() && i < qsizetype(out.size()); ++i) {
        out[std::size_t(i)].pixels =
            QImage(folder.filePath(files[i])).convertToFormat(QImage::Format_RGB32);
    }
    return out;
}
