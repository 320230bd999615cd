#include "BuiltinFilters.h"

#include "Adjustments.h"
#include "Filters.h"

#include <cstring>

namespace imageops {

namespace {

// 3 x 3 matrices sit in the middle of the 5 x 5 one.
#define MATRIX3(a, b, c, d, e, f, g, h, i)                                                         \
    { 0, 0, 0, 0, 0, 0, a, b, c, 0, 0, d, e, f, 0, 0, g, h, i, 0, 0, 0, 0, 0, 0 }

} // namespace

// clang-format off
const std::array<BuiltinFilter, 12> kBuiltinFilters = {{
    {"Eckenhervorheben1", "&Ecken hervorheben", FilterMenu::Ecken, false, false,
     MATRIX3(-1, -1, -1, -1, 9, -1, -1, -1, -1), 1, 0},
    {"Eckenfinden1", "Ecken &finden", FilterMenu::Ecken, false, false,
     MATRIX3(-1, -1, -1, -1, 8, -1, -1, -1, -1), 1, 0},
    {"HorizontaleEckenfinden1", "&Horizontale Ecken finden", FilterMenu::Ecken, false, false,
     MATRIX3(-1, 0, 1, -1, 0, 1, -1, 0, 1), 1, 0},
    {"VertikaleEckenfinden1", "&Vertikale Ecken finden", FilterMenu::Ecken, false, false,
     MATRIX3(-1, -1, -1, 0, 0, 0, 1, 1, 1), 1, 0},
    {"Konturenzeichnen1", "&Konturen zeichnen", FilterMenu::Ecken, false, true,
     MATRIX3(-1, -1, -1, -1, 8, -1, -1, -1, -1), 1, 0},
    {"SchwachWeichzeichnen1", "Schwach We&ichzeichnen", FilterMenu::Fokus, false, false,
     MATRIX3(0, 1, 0, 1, 1, 1, 0, 1, 0), 5, 0},
    {"Soften1", "&Weichzeichnen", FilterMenu::Fokus, false, false,
     MATRIX3(1, 1, 1, 1, 1, 1, 1, 1, 1), 9, 0},
    {"StarkSoften1", "Stark W&eichzeichnen", FilterMenu::Fokus, false, false,
     {1, 1, 1, 1, 1,  1, 1, 1, 1, 1,  1, 1, 1, 1, 1,  1, 1, 1, 1, 1,  1, 1, 1, 1, 1}, 25, 0},
    {"Sharpen1", "&Schärfen", FilterMenu::Fokus, true, false,
     MATRIX3(-1, -1, -1, -1, 20, -1, -1, -1, -1), 12, 0},
    {"StarkSchrfen1", "Stark Sch&ärfen", FilterMenu::Fokus, false, false,
     {-1, -1, -1, -1, -1,  -1, -1, -1, -1, -1,  -1, -1, 60, -1, -1,  -1, -1, -1, -1, -1,
      -1, -1, -1, -1, -1}, 36, 0},
    {"Emboss1", "Emboss &Horizontal", FilterMenu::Spezial, false, false,
     MATRIX3(-1, 0, 1, -1, 0, 1, -1, 0, 1), 1, 128},
    {"EmbossVertikal1", "Emboss &Vertikal", FilterMenu::Spezial, false, false,
     MATRIX3(-1, -1, -1, 0, 0, 0, 1, 1, 1), 1, 128},
}};
// clang-format on

const FilterMenuInfo& filterMenuInfo(FilterMenu menu) {
    static const FilterMenuInfo infos[] = {
        {"EckFilter1", "&Eck Filter", "Filter die sich auf Ecken im Bild auswirken"},
        {"FokussierungsFilter1", "Foku&ssierungs Filter", "Filter die die Schärfe regulieren"},
        {"SpezialFilter1", "Spe&zial Filter", "Spezielle Filter"},
    };
    return infos[int(menu)];
}

const BuiltinFilter* findBuiltinFilter(const char* objectName) {
    for (const BuiltinFilter& filter : kBuiltinFilters) {
        if (std::strcmp(filter.objectName, objectName) == 0) {
            return &filter;
        }
    }
    return nullptr;
}

filtertype builtinRecord(const BuiltinFilter& filter) {
    filtertype f = fromRowMajor(filter.rows, filter.divisor, filter.bias);
    setFilterName(f, QString::fromUtf8(filter.caption).remove(QLatin1Char('&')));
    return f;
}

OpStatus runBuiltinFilter(dib& di, const BuiltinFilter& filter, const Selection& selection,
                          const ProgressCallback& progress) {
    const OpStatus status = DibFilter(di, builtinRecord(filter), selection, progress);
    if (status != OpStatus::Done || !filter.invertAfter) {
        return status;
    }
    return DibInvert(di, selection, progress);
}

} // namespace imageops
