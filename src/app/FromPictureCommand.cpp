#include "FromPictureCommand.h"

#include "designer/ChartDocument.h"
#include "designer/ColourworkStitches.h"
#include "designer/PageSettings.h"
#include "designer/ProjectFile.h"
#include "foundation/AtomicSave.h"
#include "foundation/Memory.h"
#include "foundation/OwnedDib.h"
#include "foundation/grafikrw3/ImageFiles.h"

#include <QFileInfo>

#include <cstdio>
#include <optional>

namespace commandline {

namespace {

constexpr int kSuccess = 0;
constexpr int kFailure = 1;
constexpr int kWrongUse = 2;

int fail(int status, const QString& text) {
    std::fprintf(stderr, "tessaplan-designer: %s\n", text.toLocal8Bit().constData());
    return status;
}

// A number of the command line; German decimal commas are taken as well.
std::optional<double> number(QString text) {
    bool ok = false;
    const double value = text.replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

struct Call {
    QStringList files;
    colourwork::Params params;
};

// Reads the options; an error text when the call is wrong.
QString parse(const QStringList& arguments, Call& call) {
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        const bool hasValue = i + 1 < arguments.size();
        if (a == QStringLiteral("--dither")) {
            call.params.dither = true;
        } else if (a == QStringLiteral("--width")) {
            bool ok = false;
            const int w = hasValue ? arguments.at(++i).toInt(&ok) : 0;
            if (!ok || w < colourwork::kMinStitches || w > colourwork::kMaxStitches) {
                return QStringLiteral("--width braucht eine ganze Zahl von %1 bis %2 Maschen.")
                    .arg(colourwork::kMinStitches)
                    .arg(colourwork::kMaxStitches);
            }
            call.params.stitches = w;
        } else if (a == QStringLiteral("--colours")) {
            bool ok = false;
            const int n = hasValue ? arguments.at(++i).toInt(&ok) : 0;
            if (!ok || n < colourwork::kMinColours || n > colourwork::kMaxColours) {
                return QStringLiteral("--colours braucht eine ganze Zahl von %1 bis %2 Farben.")
                    .arg(colourwork::kMinColours)
                    .arg(colourwork::kMaxColours);
            }
            call.params.colours = n;
        } else if (a == QStringLiteral("--gauge")) {
            const QStringList parts =
                hasValue ? arguments.at(++i).split(QLatin1Char('/')) : QStringList();
            const auto stitches = parts.size() == 2 ? number(parts.at(0)) : std::nullopt;
            const auto rows = parts.size() == 2 ? number(parts.at(1)) : std::nullopt;
            auto inRange = [](std::optional<double> v) {
                return v && *v >= colourwork::kMinGauge && *v <= colourwork::kMaxGauge;
            };
            if (!inRange(stitches) || !inRange(rows)) {
                return QStringLiteral("--gauge braucht Maschen und Reihen pro 10 cm, etwa 22/30 "
                                      "(je 1 bis 100).");
            }
            call.params.stitchGauge = *stitches;
            call.params.rowGauge = *rows;
        } else if (a.startsWith(QStringLiteral("--"))) {
            return QStringLiteral("Unbekannte Angabe „%1“ (siehe --help).").arg(a);
        } else {
            call.files << a;
        }
    }
    if (call.files.size() != 2) {
        return QStringLiteral("--from-picture braucht ein Bild und eine Ausgabedatei "
                              "(siehe --help).");
    }
    return {};
}

} // namespace

int fromPicture(const QStringList& arguments) {
    Call call;
    if (const QString wrong = parse(arguments, call); !wrong.isEmpty()) {
        return fail(kWrongUse, wrong);
    }
    const QString& input = call.files.at(0);
    const QString& output = call.files.at(1);

    OwnedDib picture;
    grafikrw3::OpenDib(&picture.get(), input);
    if (!picture) {
        return fail(kFailure, QStringLiteral("„%1“ kann nicht als Bild gelesen werden. %2")
                                  .arg(input, grafikrw3::dibErrorText(picture.get())));
    }
    const colourwork::Chart chart = colourwork::pictureToChart(picture.get(), call.params);
    picture.reset(); // the chart's cells need the room
    ChartDocument doc;
    switch (colourwork::buildColourworkChart(doc, chart, memory::budgetBytes())) {
    case colourwork::BuildStatus::Done:
        break;
    case colourwork::BuildStatus::NoMemory:
    case colourwork::BuildStatus::Incomplete:
        return fail(kFailure, QStringLiteral("Das Muster mit %1 × %2 Maschen passt nicht in den "
                                             "Arbeitsspeicher.")
                                  .arg(chart.columns)
                                  .arg(chart.rows));
    case colourwork::BuildStatus::NoChart:
        return fail(kFailure, QStringLiteral("„%1“ enthält kein Bild.").arg(input));
    }

    if (saveAtomically(output, [&](QIODevice& file) {
            return ProjectFile::write(file, doc, PageSettings{});
        }) != SaveOutcome::Saved) {
        return fail(kFailure, QStringLiteral("„%1“ kann nicht geschrieben werden.").arg(output));
    }
    std::printf("%s: %d Maschen × %d Reihen in %d Farben\n",
                QFileInfo(output).fileName().toLocal8Bit().constData(), int(chart.columns),
                int(chart.rows), int(chart.colours.size()));
    return kSuccess;
}

} // namespace commandline
