#pragma once

#include "designer/ChartDocument.h"
#include "designer/PageSettings.h"
#include "foundation/recovery/RecoveryKeeper.h"

#include <functional>

// The chart's side of its recovery copies: the cells are copied on the window's thread a few
// rows at a time (they share their stitch records, which the copy holds on to until written),
// the project file is written on the writing thread.
class ChartRecoverySource : public recovery::Source {
public:
    // `settings` gives the page settings as the settings tab shows them now.
    ChartRecoverySource(ChartDocument& doc, std::function<PageSettings()> settings);

    bool changed() const override { return doc_.changed; }
    recovery::Description describe() const override;
    std::unique_ptr<recovery::Snapshot> snapshot() override;

private:
    ChartDocument& doc_;
    std::function<PageSettings()> settings_;
};
