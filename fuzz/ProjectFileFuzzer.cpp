// Project files come from anywhere: reading must never crash, leak or read outside the input,
// for a preview as in full, and whatever was read must be written back and read again
// unchanged.
#include "FuzzSupport.h"
#include "designer/ProjectFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ensureFuzzApplication();
    FuzzInput input(data, size);
    ChartDocument doc;
    PageSettings settings;
    const FileStatus status =
        ProjectFile::read(input.device(), input.size(), doc, settings, kFuzzMemoryBudget);
    // A preview passes over most pixel rows but reads the same fields: a file cannot be sound
    // for one and damaged for the other (only memory may run out for one of them).
    FuzzInput previewInput(data, size);
    ChartDocument preview;
    PageSettings previewSettings;
    const FileStatus previewStatus =
        ProjectFile::readPreview(previewInput.device(), previewInput.size(), preview,
                                 previewSettings, kFuzzMemoryBudget, [](int, int) { return 2; });
    if ((status == FileStatus::Ok && previewStatus == FileStatus::Damaged) ||
        (status == FileStatus::Damaged && previewStatus == FileStatus::Ok)) {
        std::abort();
    }
    if (status != FileStatus::Ok) {
        return 0;
    }
    QBuffer first;
    first.open(QIODevice::WriteOnly);
    if (!ProjectFile::write(first, doc, settings)) {
        std::abort();
    }
    first.close();
    first.open(QIODevice::ReadOnly);
    ChartDocument again;
    PageSettings againSettings;
    if (ProjectFile::read(first, first.size(), again, againSettings, kFuzzMemoryBudget) !=
        FileStatus::Ok) {
        std::abort(); // the program cannot read its own output
    }
    QBuffer second;
    second.open(QIODevice::WriteOnly);
    ProjectFile::write(second, again, againSettings);
    if (second.data() != first.data()) {
        std::abort();
    }
    return 0;
}
