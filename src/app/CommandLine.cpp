#include "CommandLine.h"
#include "FromPictureCommand.h"

#include "designer/ChartDocument.h"
#include "designer/ChartOutput.h"
#include "designer/ChartThumbnail.h"
#include "designer/FileStatus.h"
#include "designer/Instructions.h"
#include "designer/PageSettings.h"
#include "designer/ProjectFile.h"
#include "foundation/AtomicSave.h"
#include "foundation/Memory.h"
#include "foundation/ProgramVersion.h"
#include "foundation/grafikrw3/ImageFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QStringList>

#include <cstdio>
#include <cstring>

namespace commandline {

namespace {

constexpr int kMinDpi = ChartOutput::kMinExportDpi;
constexpr int kMaxDpi = ChartOutput::kMaxExportDpi;
constexpr int kDefaultDpi = 300;

constexpr int kMaxThumbnailSize = 4096;

constexpr int kSuccess = 0;
constexpr int kFailure = 1;
constexpr int kWrongUse = 2;

const char* const kUsage =
    "Aufruf:\n"
    "  tessaplan-designer [DATEI.tpd]\n"
    "      startet das Programm und öffnet die Strickschrift.\n"
    "  tessaplan-designer --export DATEI.tpd "
    "BILD.(png|bmp|jpg|tif|gif|pcx|tga|iff|lbm|rle|dib|jif) [--dpi N]\n"
    "      schreibt die Seite mit der ganzen Tabelle als Bild, mit N Punkten je Zoll (10 bis "
    "4000,\n"
    "      sonst 300).\n"
    "  tessaplan-designer --pdf DATEI.tpd AUSGABE.pdf [--with-instructions]\n"
    "      druckt die Strickschrift auf A4-Seiten in eine PDF-Datei, mit --with-instructions\n"
    "      die Anleitung auf weiteren Seiten dahinter.\n"
    "  tessaplan-designer --instructions DATEI.tpd ANLEITUNG.txt\n"
    "      schreibt die Strickschrift Reihe für Reihe als Anleitung in eine Textdatei "
    "(UTF-8).\n"
    "  tessaplan-designer --from-picture BILD DATEI.tpd [--width W] [--colours N] "
    "[--gauge M/R] [--dither]\n"
    "      macht aus dem Bild ein Farbmuster: W Maschen breit (2 bis 1000, sonst 60), N Farben\n"
    "      (2 bis 32, sonst 6), Maschenprobe M Maschen und R Reihen pro 10 cm (sonst 22/30),\n"
    "      mit --dither mit Fehlerverteilung.\n"
    "  tessaplan-designer --image [BILD]\n"
    "      öffnet nur die Bildbearbeitung mit dem Bild (oder einem neuen, leeren Bild);\n"
    "      Speichern schreibt das Bild, Schließen beendet das Programm.\n"
    "  tessaplan-designer --thumbnail DATEI.tpd VORSCHAU.png GRÖSSE\n"
    "      schreibt eine Vorschau der Seite als PNG-Bild, höchstens GRÖSSE Pixel (1 bis 4096)\n"
    "      an der längeren Seite, wie sie Dateimanager zeigen.\n"
    "  tessaplan-designer --version\n"
    "      zeigt die Version.\n"
    "  tessaplan-designer --help\n"
    "      zeigt diese Hilfe.\n"
    "Rückgabewert: 0 bei Erfolg, 1 bei einem Fehler, 2 bei falschem Aufruf.\n";

const char* const kVersionNotice =
    "Lizenz GPLv3+: GNU GPL Version 3 oder neuer <https://gnu.org/licenses/gpl.html>.\n"
    "Dies ist freie Software: Sie dürfen sie ändern und weitergeben.\n"
    "Es gibt KEINE GARANTIE, soweit das Gesetz es zulässt.\n";

int fail(int status, const QString& text) {
    std::fprintf(stderr, "tessaplan-designer: %s\n", text.toLocal8Bit().constData());
    return status;
}

// Something the user should know that does not stop the work.
void note(const QString& text) {
    fail(kSuccess, QStringLiteral("Hinweis: ") + text);
}

struct Chart {
    ChartDocument doc;
    PageSettings settings;
};

// Reads the chart (for a preview of `previewSize` pixels when that is given), or says why not.
bool load(const QString& fileName, Chart& chart, int& status, int previewSize = 0) {
    QFile file(fileName);
    // Only a plain file: a pipe or a device could keep the reader waiting.
    if (!QFileInfo(fileName).isFile() || !file.open(QIODevice::ReadOnly)) {
        status = fail(
            kFailure,
            QStringLiteral("„%1“ kann nicht geöffnet werden (gibt es die Datei?).").arg(fileName));
        return false;
    }
    QStringList notes;
    const FileStatus read = previewSize > 0
                                ? ChartThumbnail::read(file, file.size(), previewSize, chart.doc,
                                                       chart.settings, memory::budgetBytes())
                                : ProjectFile::read(file, file.size(), chart.doc, chart.settings,
                                                    memory::budgetBytes(), {}, &notes);
    switch (read) {
    case FileStatus::Ok:
        // What was passed over is told; the work goes on.
        for (const QString& text : notes) {
            note(QStringLiteral("„%1“: %2").arg(fileName, text));
        }
        return true;
    case FileStatus::NoMemory:
        status = fail(kFailure,
                      QStringLiteral("„%1“ ist zu groß für den Arbeitsspeicher.").arg(fileName));
        return false;
    case FileStatus::Damaged:
    case FileStatus::Stopped:
        break;
    }
    status = fail(
        kFailure,
        QStringLiteral("„%1“ ist beschädigt oder keine Tessaplan-Designer-Datei.").arg(fileName));
    return false;
}

int exportPicture(const QString& input, const QString& output, int dpi) {
    const int code = grafikrw3::formatForExtension(QFileInfo(output).suffix());
    if (code == 0) {
        return fail(kWrongUse, QStringLiteral("Unbekanntes Bildformat „.%1“ (siehe --help).")
                                   .arg(QFileInfo(output).suffix()));
    }
    if (dpi < kMinDpi || dpi > kMaxDpi) {
        return fail(kWrongUse, QStringLiteral("Die Auflösung muss zwischen %1 und %2 DPI liegen.")
                                   .arg(kMinDpi)
                                   .arg(kMaxDpi));
    }
    Chart chart;
    int status = kSuccess;
    if (!load(input, chart, status)) {
        return status;
    }
    // Without a printer the text under the chart wraps as on an A4 page.
    const double pageWidth = QPageSize(QPageSize::A4).size(QPageSize::Millimeter).width();
    const ChartOutput::ExportPlan plan = ChartOutput::planExport(
        chart.doc, chart.settings, dpi, pageWidth, code, memory::budgetBytes());
    if (!plan.fits) {
        return fail(kFailure,
                    QStringLiteral("Das Bild wäre bei %1 DPI %2 × %3 Pixel groß und passt "
                                   "nicht in den Arbeitsspeicher; höchstens %4 DPI gehen.")
                        .arg(dpi)
                        .arg(plan.size.width())
                        .arg(plan.size.height())
                        .arg(plan.suggestedDpi));
    }
    switch (ChartOutput::exportPicture(chart.doc, chart.settings, dpi, pageWidth, output, code)) {
    case ChartOutput::ExportResult::Saved:
        return kSuccess;
    case ChartOutput::ExportResult::NoMemory:
        return fail(kFailure, QStringLiteral("Für das Bild reicht der Arbeitsspeicher nicht."));
    case ChartOutput::ExportResult::NotWritten:
        break;
    }
    return fail(kFailure, QStringLiteral("„%1“ kann nicht geschrieben werden.").arg(output));
}

int printPdf(const QString& input, const QString& output, bool withInstructions) {
    Chart chart;
    int status = kSuccess;
    if (!load(input, chart, status)) {
        return status;
    }
    if (!ChartOutput::writePdf(chart.doc, chart.settings, output, QFileInfo(input).fileName(),
                               withInstructions)) {
        return fail(kFailure, QStringLiteral("„%1“ kann nicht geschrieben werden.").arg(output));
    }
    return kSuccess;
}

int writeInstructions(const QString& input, const QString& output) {
    Chart chart;
    int status = kSuccess;
    if (!load(input, chart, status)) {
        return status;
    }
    const QByteArray bytes =
        instructions::text(chart.doc, instructions::Options::of(chart.settings)).toUtf8();
    const SaveOutcome saved =
        saveAtomically(output, [&](QIODevice& file) { return file.write(bytes) == bytes.size(); });
    if (saved != SaveOutcome::Saved) {
        return fail(kFailure, QStringLiteral("„%1“ kann nicht geschrieben werden.").arg(output));
    }
    return kSuccess;
}

int writeThumbnail(const QString& input, const QString& output, const QString& sizeText) {
    bool ok = false;
    const int size = sizeText.toInt(&ok);
    if (!ok || size < 1 || size > kMaxThumbnailSize) {
        return fail(kWrongUse, QStringLiteral("Die Größe der Vorschau muss zwischen 1 und %1 "
                                              "Pixeln liegen.")
                                   .arg(kMaxThumbnailSize));
    }
    Chart chart;
    int status = kSuccess;
    if (!load(input, chart, status, size)) {
        return status;
    }
    const QImage picture = ChartThumbnail::render(chart.doc, chart.settings, size);
    if (picture.isNull()) {
        return fail(kFailure, QStringLiteral("Für die Vorschau reicht der Arbeitsspeicher nicht."));
    }
    const SaveOutcome saved =
        saveAtomically(output, [&](QIODevice& file) { return picture.save(&file, "PNG"); });
    if (saved != SaveOutcome::Saved) {
        return fail(kFailure, QStringLiteral("„%1“ kann nicht geschrieben werden.").arg(output));
    }
    return kSuccess;
}

} // namespace

bool wanted(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--", 2) == 0 && std::strcmp(argv[i], "--image") != 0) {
            return true;
        }
    }
    return false;
}

ImageEditorCall imageEditorCall(const QStringList& arguments) {
    ImageEditorCall call;
    const QStringList args = arguments.mid(1);
    if (args.value(0) == QLatin1String("--image")) {
        call.wanted = true;
        call.wrongUse = args.size() > 2;
        call.file = args.value(1);
        return call;
    }
    // A picture handed over by a file manager; charts (and anything else) open as before.
    if (args.size() == 1 && !args.first().startsWith(QLatin1Char('-')) &&
        !args.first().endsWith(QLatin1String(".tpd"), Qt::CaseInsensitive)) {
        const QString suffix = QFileInfo(args.first()).suffix();
        call.wanted = grafikrw3::GetDIBOpenFilter().contains(QStringLiteral("*.") +
                                                             suffix.toLower() + QLatin1Char(';'));
        call.file = call.wanted ? args.first() : QString();
    }
    return call;
}

int run(int argc, char** argv) {
    // No window is shown: work without a display as well.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tessaplan-Designer"));
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();

    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        std::fputs(kUsage, stdout);
        return kSuccess;
    }
    if (args == QStringList{QStringLiteral("--version")}) {
        std::printf("Tessaplan-Designer %s\n%s", kProgramVersion, kVersionNotice);
        return kSuccess;
    }
    if (args.size() == 4 && args.first() == QStringLiteral("--thumbnail")) {
        return writeThumbnail(args.at(1), args.at(2), args.at(3));
    }
    if (!args.isEmpty() && args.first() == QStringLiteral("--from-picture")) {
        return fromPicture(args.mid(1));
    }
    int dpi = kDefaultDpi;
    const qsizetype dpiAt = args.indexOf(QStringLiteral("--dpi"));
    if (dpiAt >= 0) {
        bool ok = false;
        dpi = dpiAt + 1 < args.size() ? args.at(dpiAt + 1).toInt(&ok) : 0;
        if (!ok) {
            return fail(kWrongUse, QStringLiteral("--dpi braucht eine ganze Zahl (siehe --help)."));
        }
        args.remove(dpiAt, 2);
    }
    const bool withInstructions = args.removeAll(QStringLiteral("--with-instructions")) > 0;
    if (args.size() == 3 && args.at(0) == QStringLiteral("--export") && !withInstructions) {
        return exportPicture(args.at(1), args.at(2), dpi);
    }
    if (args.size() == 3 && args.at(0) == QStringLiteral("--pdf") && dpiAt < 0) {
        return printPdf(args.at(1), args.at(2), withInstructions);
    }
    if (args.size() == 3 && args.at(0) == QStringLiteral("--instructions") && dpiAt < 0 &&
        !withInstructions) {
        return writeInstructions(args.at(1), args.at(2));
    }
    std::fputs(kUsage, stderr);
    return kWrongUse;
}

} // namespace commandline
