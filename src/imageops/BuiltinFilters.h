#pragma once

#include "FilterType.h"
#include "ImageOp.h"

#include <array>
#include <cstdint>

// The twelve filters of the editor's menus, as a table the menu builder walks: one menu item
// per entry, in table order, each in its submenu.
namespace imageops {

enum class FilterMenu {
    Ecken,   // "&Eck Filter"
    Fokus,   // "Foku&ssierungs Filter"
    Spezial, // "Spe&zial Filter": the two emboss items sit between "&Erweitern" and "&Auswaschen"
};

struct FilterMenuInfo {
    const char* objectName; // the submenu's item
    const char* caption;    // UTF-8
    const char* hint;       // status-bar text, UTF-8
};
const FilterMenuInfo& filterMenuInfo(FilterMenu menu);

struct BuiltinFilter {
    const char* objectName; // the menu item, also its handler's stem ("Soften1" -> Soften1Click)
    const char* caption;    // UTF-8
    FilterMenu menu;
    bool separatorBefore;  // a separator precedes the item in its submenu
    bool invertAfter;      // "&Konturen zeichnen": the edges, then the picture inverted
    std::int32_t rows[25]; // as seen on screen, top row first, left to right
    std::int32_t divisor;
    std::int32_t bias;
};

extern const std::array<BuiltinFilter, 12> kBuiltinFilters;

// The entry with this object name, or null.
const BuiltinFilter* findBuiltinFilter(const char* objectName);

// The entry's record in the engine's column order.
filtertype builtinRecord(const BuiltinFilter& filter);

// The whole command after its undo step: the filter (and for "&Konturen zeichnen" the
// inversion, which records no step of its own). Results as DibFilter.
[[nodiscard]] OpStatus runBuiltinFilter(dib& di, const BuiltinFilter& filter,
                                        const Selection& selection = {},
                                        const ProgressCallback& progress = {});

} // namespace imageops
