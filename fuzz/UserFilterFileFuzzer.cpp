// UserFilt.dat may be damaged: reading keeps only complete records with a divisor, never
// crashes, and what was read is written and read back byte for byte.
#include "imageops/UserFilterFile.h"

#include <QByteArray>

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    std::vector<filtertype> filters;
    const userfilters::ReadResult result = userfilters::read(bytes, filters);
    if (filters.size() > std::size_t(result.complete) ||
        result.complete > std::max(result.declared, 0)) {
        std::abort();
    }
    for (const filtertype& f : filters) {
        if (f.divisor == 0) {
            std::abort();
        }
    }
    (void)userfilters::damageReport(result, QStringLiteral("UserFilt.dat"), {});
    const QByteArray written = userfilters::toBytes(filters);
    std::vector<filtertype> again;
    if (userfilters::read(written, again).status != userfilters::ReadStatus::Ok ||
        userfilters::toBytes(again) != written ||
        (result.status == userfilters::ReadStatus::Ok && size > 0 && written != bytes)) {
        std::abort();
    }
    return 0;
}
