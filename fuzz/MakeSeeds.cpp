// Writes small valid project and library files as seeds for the fuzzers:
//   make_fuzz_seeds fuzz/corpus
#include "designer/ChartDocument.h"
#include "designer/ProjectFile.h"
#include "designer/StitchLibraryFile.h"
#include "foundation/OwnedText.h"
#include "foundation/grafikrw3/grafikrw3.h"
#include "image/ClipboardPictures.h"
#include "imageops/BuiltinFilters.h"
#include "imageops/PaletteFile.h"
#include "imageops/Palettes.h"
#include "imageops/UserFilterFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>

namespace {

void addStitch(TDynaArrayOf<TStich>& stiche, const QString& name, int breite, int bits) {
    TStich* s = stiche.Add();
    s->bezeichnung = ownedTextFromString(name);
    s->abkuerzung = ownedTextFromString(name.left(1));
    s->hinreihe = ownedTextFromString(QStringLiteral("rechts"));
    s->rueckreihe = ownedTextFromString(QStringLiteral("links"));
    s->breite = breite;
    grafikrw3::newdib(&s->di, 6, 4, bits, nullptr, 0);
    grafikrw3::line(s->di, 0, 0, 5, 3, bits == 24 ? 0x123456 : 1);
}

bool save(const QString& path, const std::function<bool(QIODevice&)>& writer) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && writer(file);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString root = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("corpus");
    QDir().mkpath(root + QStringLiteral("/project_file"));
    QDir().mkpath(root + QStringLiteral("/project_extensions"));
    QDir().mkpath(root + QStringLiteral("/stitch_library"));
    QDir().mkpath(root + QStringLiteral("/user_filters"));
    QDir().mkpath(root + QStringLiteral("/palette_file"));
    QDir().mkpath(root + QStringLiteral("/clipboard"));

    ChartDocument doc;
    addStitch(doc.stiche, QStringLiteral("Rechte Masche"), 1, 1);
    addStitch(doc.stiche, QStringLiteral("Zopf"), 3, 4);
    addStitch(doc.stiche, QStringLiteral("Noppe"), 1, 8);
    addStitch(doc.stiche, QStringLiteral("Umschlag"), 2, 24);
    bool ok = save(root + QStringLiteral("/stitch_library/four.dat"),
                   [&](QIODevice& d) { return StitchLibraryFile::write(d, doc.stiche); });
    for (int fill = 0; fill < 4 && ok; ++fill) {
        ok = doc.buildChart(2, 3, fill) &&
             save(root + QStringLiteral("/project_file/chart%1.tpd").arg(fill),
                  [&](QIODevice& d) { return ProjectFile::write(d, doc, PageSettings{}); });
    }
    // A chart with a repeat, and what it holds beyond the chart without one: the extensions.
    doc.repeat = {0, 1, 2, 2};
    QBuffer withRepeat;
    withRepeat.open(QIODevice::WriteOnly);
    ok = ok && ProjectFile::write(withRepeat, doc, PageSettings{}) &&
         save(root + QStringLiteral("/project_file/repeat.tpd"),
              [&](QIODevice& d) { return d.write(withRepeat.data()) == withRepeat.size(); });
    doc.repeat = {};
    QBuffer without;
    without.open(QIODevice::WriteOnly);
    ok = ok && ProjectFile::write(without, doc, PageSettings{});
    const QByteArray extensions = withRepeat.data().mid(without.data().size());
    ok = ok && save(root + QStringLiteral("/project_extensions/repeat.ext"),
                    [&](QIODevice& d) { return d.write(extensions) == extensions.size(); });
    std::vector<filtertype> filters;
    for (const imageops::BuiltinFilter& b : imageops::kBuiltinFilters) {
        filters.push_back(imageops::builtinRecord(b));
    }
    filters.resize(3);
    const QByteArray filterFile = userfilters::toBytes(filters);
    ok = ok && save(root + QStringLiteral("/user_filters/three.dat"),
                    [&](QIODevice& d) { return d.write(filterFile) == filterFile.size(); });
    // Clipboard blocks: pictures of every depth with and without file header, and a mask.
    for (const int bits : {1, 4, 8, 24}) {
        OwnedDib picture;
        grafikrw3::newdib(&picture.get(), 7, 3, bits, nullptr, 0);
        for (int i = 0; i < 21; ++i) {
            grafikrw3::setpixel(picture.get(), i % 7, i / 7, std::uint32_t(i) * 0x0b3d17u);
        }
        const QByteArray file = clipboard::bmpFile(picture.get());
        const QByteArray packed = clipboard::packedDib(picture.get());
        ok = ok && save(root + QStringLiteral("/clipboard/file%1.bmp").arg(bits),
                        [&](QIODevice& d) { return d.write(file) == file.size(); });
        ok = ok && save(root + QStringLiteral("/clipboard/packed%1.dib").arg(bits),
                        [&](QIODevice& d) { return d.write(packed) == packed.size(); });
        if (bits == 1) {
            const QByteArray mask = clipboard::maskBlock(picture.get());
            ok = ok && save(root + QStringLiteral("/clipboard/mask.sel"),
                            [&](QIODevice& d) { return d.write(mask) == mask.size(); });
        }
    }
    // The two standard palettes as palette files.
    for (const int bits : {4, 8}) {
        dib picture;
        grafikrw3::newdib(&picture, 1, 1, bits, nullptr, 0);
        if (bits == 4) {
            imageops::setPaletteEntries(picture, imageops::StdPal16);
        } else {
            imageops::setPaletteEntries(picture, imageops::StdPal256);
        }
        ok = ok && imageops::savepal(
                       picture, root + QStringLiteral("/palette_file/std%1.PAL").arg(1 << bits))
                           .status == imageops::OpStatus::Done;
        FreeDIB(picture);
    }
    return ok ? 0 : 1;
}
