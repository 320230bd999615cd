// Project files come from anywhere: reading must never crash, leak or read outside the input,
// and whatever was read must be written back and read again unchanged.
#include "FuzzSupport.h"
#include "designer/ProjectFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ensureFuzzApplication();
    FuzzInput input(data, size);
    ChartDocument doc;
    PageSettings settings;
    if (ProjectFile::read(input.device(), input.size(), doc, settings, kFuzzMemoryBudget) !=
        FileStatus::Ok) {
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
