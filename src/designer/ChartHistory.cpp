#include "ChartHistory.h"

#include "ChartDocument.h"
#include "PageSettingsFields.h"
#include "foundation/Memory.h"

#include <algorithm>
#include <new>

namespace {

// What the history may take unless told: a sixteenth of the memory available at start.
std::uint64_t defaultBudget() {
    static const std::uint64_t budget = memory::availableBytes() / 16;
    return budget;
}

} // namespace

// --- recording ------------------------------------------------------------------------

ChartHistory::ChartHistory(ChartDocument& doc) : doc_(doc), budget_(defaultBudget()) {}

ChartHistory::~ChartHistory() {
    onChange = nullptr;
    recording_.reset();
    for (Step& s : steps_) {
        releaseStep(s);
    }
}

ChartHistory::Recording::Recording(ChartHistory& history, ChartStepKind kind) : history_(history) {
    if (history_.applying_ || history_.recording_) {
        return; // an undo runs, or the command is part of another one
    }
    history_.recording_.reset(new (std::nothrow) Step);
    if (history_.recording_) {
        history_.recording_->kind = kind;
        history_.recording_->marksBefore = history_.currentMarks();
        history_.recording_->blockBefore = history_.doc_.block;
        history_.recording_->repeatBefore = history_.doc_.repeat;
        active_ = true;
    }
}

ChartHistory::Recording::~Recording() {
    if (active_) {
        history_.finishRecording();
    }
}

ChartHistory::Marks ChartHistory::currentMarks() const {
    return {doc_.selectrow, doc_.selectcol, doc_.rownr, doc_.colnr};
}

namespace {

bool changesChart(ChartStepKind kind) {
    switch (kind) {
    case ChartStepKind::MarkColumn:
    case ChartStepKind::MarkRow:
    case ChartStepKind::ClearMarks:
    case ChartStepKind::Settings:
        return false;
    default:
        return true;
    }
}

} // namespace

void ChartHistory::noteCell(std::int32_t row, std::int32_t column, const TFeld& before,
                            const TFeld& after) {
    if (!recording_) {
        return;
    }
    auto content = [](const TFeld& cell) {
        return cell.belegt ? Content{cell.stich, cell.breite, true} : Content{};
    };
    try {
        recording_->cells.push_back({row, column, content(before), content(after)});
    } catch (const std::bad_alloc&) {
        recording_->broken = true;
        return;
    }
    StitchPool::retain(recording_->cells.back().before.stich);
    StitchPool::retain(recording_->cells.back().after.stich);
}

ChartHistory::Runs ChartHistory::takeLine(bool column, std::int32_t index) {
    Runs runs;
    const std::int32_t length = column ? doc_.azeilen : doc_.aspalten;
    for (std::int32_t k = 0; k < length; ++k) {
        const TFeld& cell = column ? doc_.cellAt(k, index) : doc_.cellAt(index, k);
        const Content c = cell.belegt ? Content{cell.stich, cell.breite, true} : Content{};
        if (!runs.empty() && runs.back().content == c) {
            ++runs.back().count;
        } else {
            runs.push_back({c, 1});
            StitchPool::retain(c.stich);
        }
    }
    return runs;
}

void ChartHistory::noteColumn(std::int32_t column, bool after) {
    if (!recording_) {
        return;
    }
    recording_->line = column;
    try {
        (after ? recording_->after : recording_->before) = takeLine(true, column);
    } catch (const std::bad_alloc&) {
        recording_->broken = true;
    }
}

void ChartHistory::noteRow(std::int32_t row, bool after) {
    if (!recording_) {
        return;
    }
    recording_->line = row;
    try {
        (after ? recording_->after : recording_->before) = takeLine(false, row);
    } catch (const std::bad_alloc&) {
        recording_->broken = true;
    }
}

void ChartHistory::noteLine(std::int32_t line) {
    if (recording_) {
        recording_->line = line;
    }
}

void ChartHistory::noteGrowth(std::int32_t rows, std::int32_t columns) {
    if (recording_) {
        recording_->grownRows += rows;
        recording_->grownColumns += columns;
    }
}

void ChartHistory::noteTiling(std::int32_t across, std::int32_t up) {
    if (recording_) {
        recording_->across = across;
        recording_->up = up;
    }
}

void ChartHistory::finishRecording() {
    std::unique_ptr<Step> step = std::move(recording_);
    step->marksAfter = currentMarks();
    step->blockAfter = doc_.block;
    step->repeatAfter = doc_.repeat;
    if (step->broken) {
        // The change happened but cannot be undone, so nothing before it can be either.
        releaseStep(*step);
        clear();
        forgetSaved();
        return;
    }
    const bool content = !step->cells.empty() || step->line >= 0 || step->grownRows > 0 ||
                         step->grownColumns > 0 || step->repeatAfter != step->repeatBefore;
    if (!content) {
        // A click that only moved the marks is a step of its own; a command that failed
        // (and at most moved an invisible mark) is none.
        if (step->kind != ChartStepKind::PlaceStitch || step->marksAfter == step->marksBefore) {
            return;
        }
        step->kind = step->marksAfter.column ? ChartStepKind::MarkColumn
                     : step->marksAfter.row  ? ChartStepKind::MarkRow
                                             : ChartStepKind::ClearMarks;
    }
    step->changesChart = changesChart(step->kind);
    push(std::move(*step));
}

void ChartHistory::recordSettings(const PageSettings& before, const PageSettings& after) {
    const int field = settingsfields::difference(before, after);
    if (field == settingsfields::kNone) {
        return;
    }
    if (mergeOpen_ && position_ == steps_.size() && position_ > 0) {
        Step& top = steps_.back();
        if (top.kind == ChartStepKind::Settings && top.settings->field == field &&
            field != settingsfields::kSeveral) {
            top.settings->after = after;
            if (settingsfields::difference(top.settings->before, after) == settingsfields::kNone) {
                // Typed and taken back: nothing is left to undo.
                bytes_ -= top.bytes;
                releaseStep(top);
                steps_.pop_back();
                --position_; // a settings step, so the count of chart changes stays
                if (savedAt_ > present()) {
                    savedAt_ = present(); // a settings step never changes the chart
                }
                mergeOpen_ = false;
            } else {
                bytes_ -= top.bytes;
                top.bytes = estimateBytes(top);
                bytes_ += top.bytes;
                while (bytes_ > budget_ && position_ > 0) {
                    dropOldest();
                }
            }
            changed();
            return;
        }
    }
    Step step;
    step.kind = ChartStepKind::Settings;
    step.marksBefore = step.marksAfter = currentMarks();
    try {
        step.settings = std::make_unique<SettingsChange>(SettingsChange{before, after, field});
    } catch (const std::bad_alloc&) {
        return; // a settings change that cannot be undone harms nothing else
    }
    push(std::move(step));
    mergeOpen_ = settingsfields::typed(field);
}

// --- the steps kept -------------------------------------------------------------------

void ChartHistory::releaseContent(const Content& content) {
    doc_.pool.release(content.stich);
}

void ChartHistory::releaseStep(Step& step) {
    for (const CellChange& c : step.cells) {
        releaseContent(c.before);
        releaseContent(c.after);
    }
    for (const Run& r : step.before) {
        releaseContent(r.content);
    }
    for (const Run& r : step.after) {
        releaseContent(r.content);
    }
    step.cells.clear();
    step.before.clear();
    step.after.clear();
}

void ChartHistory::visitReferences(const std::function<void(const SharedStitch*)>& visit) const {
    auto content = [&](const Content& c) {
        if (c.stich) {
            visit(c.stich);
        }
    };
    for (const Step& s : steps_) {
        for (const CellChange& c : s.cells) {
            content(c.before);
            content(c.after);
        }
        for (const Run& r : s.before) {
            content(r.content);
        }
        for (const Run& r : s.after) {
            content(r.content);
        }
    }
}

std::uint64_t ChartHistory::estimateBytes(const Step& step) const {
    std::uint64_t bytes = sizeof(Step) + step.cells.capacity() * sizeof(CellChange) +
                          (step.before.capacity() + step.after.capacity()) * sizeof(Run);
    if (step.settings) {
        bytes +=
            sizeof(SettingsChange) +
            std::uint64_t(step.settings->before.caption.size() + step.settings->before.text.size() +
                          step.settings->after.caption.size() + step.settings->after.text.size()) *
                sizeof(QChar);
    }
    // A picture only this step still holds (the stitch a click replaced) is its memory too.
    auto held = [&](const Content& c) {
        if (c.stich && c.stich->refs == 1) {
            bytes += StitchPool::recordBytes(*c.stich);
        }
    };
    for (const CellChange& c : step.cells) {
        held(c.before);
    }
    for (const Run& r : step.before) {
        held(r.content);
    }
    return bytes;
}

std::uint64_t ChartHistory::chartChangesAt(std::int64_t state) const {
    const std::int64_t index = state - base_;
    return index < std::int64_t(steps_.size()) ? steps_[std::size_t(index)].chartChangesBefore
                                               : endChartChanges_;
}

void ChartHistory::dropRedo() {
    if (position_ == steps_.size()) {
        return;
    }
    endChartChanges_ = chartChangesAt(present());
    if (savedAt_ > present()) {
        savedAt_ = kNoState; // the saved state lay among the steps that go
    }
    while (steps_.size() > position_) {
        bytes_ -= steps_.back().bytes;
        releaseStep(steps_.back());
        steps_.pop_back();
    }
}

void ChartHistory::dropOldest() {
    Step& oldest = steps_.front();
    if (savedAt_ == base_) {
        // The saved state goes out of reach; the state after a step that left the chart as
        // it was is as good as it.
        savedAt_ = oldest.changesChart ? kNoState : base_ + 1;
    }
    bytes_ -= oldest.bytes;
    releaseStep(oldest);
    steps_.pop_front();
    ++base_;
    --position_;
}

void ChartHistory::push(Step step) {
    dropRedo();
    mergeOpen_ = false;
    step.chartChangesBefore = endChartChanges_;
    step.bytes = estimateBytes(step);
    const bool counts = step.changesChart;
    try {
        steps_.push_back(std::move(step));
    } catch (const std::bad_alloc&) {
        releaseStep(step);
        clear();
        forgetSaved();
        return;
    }
    ++position_;
    if (counts) {
        ++endChartChanges_;
    }
    bytes_ += steps_.back().bytes;
    while (bytes_ > budget_ && position_ > 0) {
        dropOldest();
    }
    changed();
}

void ChartHistory::clear() {
    recording_.reset();
    for (Step& s : steps_) {
        releaseStep(s);
    }
    steps_.clear();
    position_ = 0;
    base_ = 0;
    savedAt_ = 0;
    endChartChanges_ = 0;
    bytes_ = 0;
    mergeOpen_ = false;
    changed();
}

void ChartHistory::markSaved() {
    savedAt_ = present();
}

bool ChartHistory::differsFromSaved() const {
    return savedAt_ == kNoState || chartChangesAt(savedAt_) != chartChangesAt(present());
}

void ChartHistory::setBudget(std::uint64_t bytes) {
    budget_ = bytes;
    if (bytes_ <= budget_) {
        return;
    }
    dropRedo();
    while (bytes_ > budget_ && position_ > 0) {
        dropOldest();
    }
    changed();
}

void ChartHistory::changed() {
    ++revision_;
    if (onChange) {
        onChange();
    }
}
