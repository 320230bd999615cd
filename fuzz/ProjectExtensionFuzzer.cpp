// Whatever follows the known parts of a project file (the extensions) must never fail the load
// of the chart: the input is appended to a sound chart, which must load every time, with a
// repeat inside the chart or none, and be written back and read again without a note.
#include "FuzzSupport.h"
#include "designer/ProjectFile.h"

#include <cstdlib>

namespace {

constexpr std::int32_t kRows = 3;
constexpr std::int32_t kColumns = 4;

const QByteArray& soundChart() {
    static const QByteArray bytes = [] {
        ChartDocument doc;
        doc.buildChart(kRows, kColumns, -1);
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        ProjectFile::write(out, doc, PageSettings{});
        return out.data();
    }();
    return bytes;
}

FileStatus read(const QByteArray& bytes, ChartDocument& doc, QStringList& notes) {
    QBuffer in;
    in.setData(bytes);
    in.open(QIODevice::ReadOnly);
    PageSettings settings;
    return ProjectFile::read(in, bytes.size(), doc, settings, kFuzzMemoryBudget, {}, &notes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ensureFuzzApplication();
    ChartDocument doc;
    QStringList notes;
    const QByteArray file =
        soundChart() + QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
    if (read(file, doc, notes) != FileStatus::Ok || doc.azeilen != kRows ||
        doc.aspalten != kColumns ||
        (!doc.repeat.isEmpty() && doc.repeat.clippedTo(kRows, kColumns) != doc.repeat)) {
        std::abort();
    }
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    if (!ProjectFile::write(out, doc, PageSettings{})) {
        std::abort();
    }
    ChartDocument again;
    QStringList againNotes;
    if (read(out.data(), again, againNotes) != FileStatus::Ok || !againNotes.isEmpty() ||
        again.repeat != doc.repeat) {
        std::abort();
    }
    return 0;
}
