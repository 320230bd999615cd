#include "ChartRecovery.h"

#include "ProjectFile.h"

#include <QFileInfo>

#include <algorithm>

namespace {

class ChartSnapshot : public recovery::Snapshot {
public:
    ChartSnapshot(ChartDocument& doc, PageSettings settings)
        : doc_(doc), settings_(std::move(settings)), columns_(doc.aspalten), rows_(doc.azeilen),
          rowCount_(doc.zeilen.count) {}

    ~ChartSnapshot() override {
        for (const SharedStitch* record : held_) {
            doc_.pool.release(record);
        }
    }

    ChartSnapshot(const ChartSnapshot&) = delete;
    ChartSnapshot& operator=(const ChartSnapshot&) = delete;

    void prepare() override {
        cells_.resize(std::size_t(rowCount_) * std::size_t(std::max(columns_, 0)));
    }

    Step take(const QDeadlineTimer& deadline) override {
        if (doc_.zeilen.count != rowCount_ || doc_.aspalten != columns_) {
            return Step::Failed;
        }
        const SharedStitch* previous = nullptr;
        while (nextRow_ < rowCount_) {
            const TZeile row = doc_.zeilen[nextRow_];
            if (std::int32_t(row->count) != columns_) {
                return Step::Failed;
            }
            TFeld* copy = cells_.data() + std::size_t(nextRow_) * std::size_t(columns_);
            std::copy(row->begin(), row->end(), copy);
            // Neighbouring cells mostly share a record: hold each run of them once.
            for (const TFeld& cell : *row) {
                if (cell.belegt && cell.stich != previous) {
                    StitchPool::retain(cell.stich);
                    held_.push_back(cell.stich);
                    previous = cell.stich;
                }
            }
            ++nextRow_;
            if (deadline.hasExpired() && nextRow_ < rowCount_) {
                return Step::More;
            }
        }
        // The repeat as it stands when the last rows were taken.
        repeat_ = doc_.repeat;
        return Step::Done;
    }

    bool write(QIODevice& out, const ProgressCallback& progress) override {
        ProjectFile::ChartCells cells{columns_, rows_, {}, repeat_};
        cells.cellRows.reserve(rowCount_);
        for (std::uint32_t r = 0; r < rowCount_; ++r) {
            cells.cellRows.emplace_back(cells_.data() + std::size_t(r) * std::size_t(columns_),
                                        std::size_t(columns_));
        }
        return ProjectFile::write(out, cells, settings_, progress);
    }

private:
    ChartDocument& doc_;
    PageSettings settings_;
    std::int32_t columns_;
    std::int32_t rows_;
    std::uint32_t rowCount_;
    std::uint32_t nextRow_ = 0;
    std::vector<TFeld> cells_;
    std::vector<const SharedStitch*> held_;
    CellBlock repeat_;
};

} // namespace

ChartRecoverySource::ChartRecoverySource(ChartDocument& doc, std::function<PageSettings()> settings)
    : doc_(doc), settings_(std::move(settings)) {}

recovery::Description ChartRecoverySource::describe() const {
    recovery::Description d;
    d.kind = recovery::Kind::Chart;
    d.fileName = doc_.afilename;
    d.title = doc_.afilename.isEmpty() ? QStringLiteral("unbenannt.tpd")
                                       : QFileInfo(doc_.afilename).fileName();
    return d;
}

std::unique_ptr<recovery::Snapshot> ChartRecoverySource::snapshot() {
    return std::make_unique<ChartSnapshot>(doc_, settings_());
}
