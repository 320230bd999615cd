#pragma once

#include "designer/ChartDocument.h"

#include <gtest/gtest.h>

#include <map>

// Every shared record is counted once per holder (cells, the copy buffers and the steps of
// the history), and the pool holds exactly the records someone holds.
inline void expectReferencesCounted(const ChartDocument& doc) {
    std::map<const SharedStitch*, std::uint32_t> holders;
    auto count = [&](const TDynaArrayOf<TFeld>& cells) {
        for (const TFeld& cell : cells) {
            ASSERT_EQ(cell.belegt, cell.stich != nullptr);
            if (cell.stich) {
                ++holders[cell.stich];
            }
        }
    };
    for (TZeile row : doc.zeilen) {
        count(*row);
    }
    count(doc.copyzeile);
    count(doc.copyspalte);
    for (const TFeld& cell : doc.copyblock.cells) {
        if (cell.stich) {
            ++holders[cell.stich];
        }
    }
    doc.history.visitReferences([&](const SharedStitch* record) { ++holders[record]; });
    ASSERT_EQ(doc.pool.size(), holders.size());
    for (const auto& [record, n] : holders) {
        ASSERT_EQ(record->refs, n);
    }
}
