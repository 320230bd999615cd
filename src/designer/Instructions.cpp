#include "Instructions.h"

#include "ChartDocument.h"
#include "foundation/OwnedText.h"

#include <QByteArray>
#include <QHash>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace instructions {

Options Options::of(const PageSettings& settings) {
    return {settings.firstRow, settings.ersteRechts, settings.dontShowLinks};
}

namespace {

const QString kSeparator = QStringLiteral(", ");

int digits(int value) {
    int n = 1;
    while (value >= 10) {
        value /= 10;
        ++n;
    }
    return n;
}

// The shortest writing of a row's groups: each group alone, or a run of p groups repeated
// m >= 2 times as "[g1, ..., gp] m-mal". Worked out from the row's end towards its start:
// best[i] is the shortest writing of the groups from i on. A run of period p can start at i
// for as long as groups p apart stay equal; run[p] counts how far that holds from i on.
class ShortestWriting {
public:
    // `ids` are the groups in reading order, `texts` the text of every id.
    QString write(const std::vector<int>& ids, const std::vector<QString>& texts) {
        const int n = int(ids.size());
        prefix_.assign(std::size_t(n) + 1, 0);
        for (int k = 0; k < n; ++k) {
            prefix_[std::size_t(k) + 1] =
                prefix_[std::size_t(k)] + int(texts[std::size_t(ids[std::size_t(k)])].size());
        }
        linkEqualGroups(ids, int(texts.size()));
        best_.assign(std::size_t(n) + 1, 0);
        period_.assign(std::size_t(n), 0);
        times_.assign(std::size_t(n), 0);
        // Rows are at most a few thousand groups: 16-bit ids and counts take half the time.
        if (n < INT16_MAX) {
            narrow_.assign(local_.begin(), local_.end());
            solve(narrow_, narrowRuns_);
        } else {
            solve(local_, wideRuns_);
        }

        QString out;
        out.reserve(n > 0 ? best_[0] : 0);
        for (int i = 0; i < n;) {
            if (i > 0) {
                out += kSeparator;
            }
            const int p = period_[std::size_t(i)];
            if (p == 0) {
                out += texts[std::size_t(ids[std::size_t(i)])];
                ++i;
                continue;
            }
            out += QLatin1Char('[');
            for (int k = 0; k < p; ++k) {
                if (k > 0) {
                    out += kSeparator;
                }
                out += texts[std::size_t(ids[std::size_t(i + k)])];
            }
            out += QStringLiteral("] %1-mal").arg(times_[std::size_t(i)]);
            i += p * times_[std::size_t(i)];
        }
        return out;
    }

private:
    // Fills best_, period_ and times_ for the groups `ids` (small numbers, equal for equal
    // groups); `runs` is room for the run lengths.
    template <class T>
    void solve(const std::vector<T>& ids, std::vector<T>& runs) {
        const int n = int(ids.size());
        // A repeat takes two periods at least, so longer periods are never looked at.
        const int longest = n / 2;
        runs.assign(std::size_t(longest) + 1, 0);
        auto rest = [&](int from) {
            return from < n ? int(kSeparator.size()) + best_[std::size_t(from)] : 0;
        };
        for (int i = n - 1; i >= 0; --i) {
            const int span = n - i;
            const T here = ids[std::size_t(i)];
            const T* ahead = ids.data() + i;
            T* run = runs.data();
            const int top = std::min(span - 1, longest);
            // Kept simple so that the compiler runs it over several periods at once.
            for (int p = 1; p <= top; ++p) {
                run[p] = ahead[p] == here ? T(run[p] + 1) : T(0);
            }
            int cost = prefix_[std::size_t(i) + 1] - prefix_[std::size_t(i)] + rest(i + 1);
            int bestPeriod = 0;
            int bestTimes = 0;
            // A run of period p needs the group p places on to be equal to this one.
            for (int j = next_[std::size_t(i)]; j >= 0 && j - i <= span / 2;
                 j = next_[std::size_t(j)]) {
                const int p = j - i;
                if (run[p] < p) {
                    continue;
                }
                // "[" + the groups + "] " + m + "-mal"
                const int inner = prefix_[std::size_t(j)] - prefix_[std::size_t(i)] +
                                  int(kSeparator.size()) * (p - 1) + 7;
                const int most = (p + run[p]) / p;
                for (int m = 2; m <= most; ++m) {
                    const int c = inner + digits(m) + rest(i + p * m);
                    // On a tie a repeat reads better than the groups one by one.
                    if (c < cost || (c == cost && bestPeriod == 0)) {
                        cost = c;
                        bestPeriod = p;
                        bestTimes = m;
                    }
                }
            }
            best_[std::size_t(i)] = cost;
            period_[std::size_t(i)] = bestPeriod;
            times_[std::size_t(i)] = bestTimes;
        }
    }

    // next_[i]: the next position holding the same group as i, or -1.
    // Also numbers the row's different groups from 0 (local_).
    void linkEqualGroups(const std::vector<int>& ids, int idCount) {
        if (int(lastSeen_.size()) < idCount) {
            lastSeen_.resize(std::size_t(idCount), -1);
            localOf_.resize(std::size_t(idCount), -1);
        }
        next_.assign(ids.size(), -1);
        local_.assign(ids.size(), 0);
        int distinct = 0;
        for (int i = int(ids.size()) - 1; i >= 0; --i) {
            const std::size_t id = std::size_t(ids[std::size_t(i)]);
            next_[std::size_t(i)] = lastSeen_[id];
            lastSeen_[id] = i;
            if (localOf_[id] < 0) {
                localOf_[id] = distinct++;
            }
            local_[std::size_t(i)] = localOf_[id];
        }
        for (int id : ids) {
            lastSeen_[std::size_t(id)] = -1;
            localOf_[std::size_t(id)] = -1;
        }
    }

    std::vector<int> prefix_;
    std::vector<int> local_;
    std::vector<std::int16_t> narrow_;
    std::vector<std::int16_t> narrowRuns_;
    std::vector<int> wideRuns_;
    std::vector<int> best_;
    std::vector<int> period_;
    std::vector<int> times_;
    std::vector<int> next_;
    std::vector<int> lastSeen_;
    std::vector<int> localOf_;
};

// One instruction line: replaces line breaks, which would split it.
QString oneLine(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return text.trimmed();
}

// A stitch's instruction as it stands in a line: one with commas of its own in parentheses,
// so that its parts are not read as stitches of their own.
QString standingAlone(const QString& text) {
    if (!text.contains(QLatin1Char(','))) {
        return text;
    }
    if (text.startsWith(QLatin1Char('(')) && text.endsWith(QLatin1Char(')'))) {
        // Already enclosed when the first parenthesis closes at the end.
        int depth = 0;
        qsizetype k = 0;
        for (; k < text.size(); ++k) {
            depth += text[k] == QLatin1Char('(') ? 1 : text[k] == QLatin1Char(')') ? -1 : 0;
            if (depth == 0) {
                break;
            }
        }
        if (k == text.size() - 1) {
            return text;
        }
    }
    return QLatin1Char('(') + text + QLatin1Char(')');
}

// A cell placeholder the chart draws where a row has fewer stitches; a knitter skips it.
bool isNoStitch(const SharedStitch& stich) {
    return ownedTextToString(stich.bezeichnung)
               .trimmed()
               .compare(QStringLiteral("keine Masche"), Qt::CaseInsensitive) == 0;
}

bool sameCell(const TFeld& a, const TFeld& b) {
    return a.belegt == b.belegt &&
           (!a.belegt || (a.stich == b.stich && std::max(a.breite, 1) == std::max(b.breite, 1)));
}

class Writer {
public:
    Writer(const ChartDocument& doc, const Options& options) : doc_(doc), options_(options) {}

    QStringList lines() {
        QStringList out;
        const int rows = int(doc_.zeilen.count);
        out.reserve(rows + 1);
        findRepeatRows();
        for (int i = 0; i < rows; ++i) {
            const bool wrongSide = !options_.hideWrongSide && i % 2 == 1;
            // A wrong-side row is read from the other side than the right-side rows.
            const bool fromRight = options_.firstFromRight != wrongSide;
            const int number = numberOf(i);
            const int body = rowBody(rows - 1 - i, wrongSide, fromRight);
            std::vector<int>& first = firstRowWith_[wrongSide ? 1 : 0];
            if (std::size_t(body) >= first.size()) {
                first.resize(std::size_t(body) + 1, INT_MIN);
            }
            const QString side =
                wrongSide ? QStringLiteral("Rückreihe") : QStringLiteral("Hinreihe");
            if (first[std::size_t(body)] != INT_MIN) {
                out << QStringLiteral("Reihe %1 (%2): wie Reihe %3")
                           .arg(number)
                           .arg(side)
                           .arg(first[std::size_t(body)]);
            } else {
                out << QStringLiteral("Reihe %1 (%2): ").arg(number).arg(side) +
                           bodies_[std::size_t(body)];
                first[std::size_t(body)] = number;
            }
        }
        if (!repeat_.isEmpty() && rows > 0) {
            const int firstNumber = numberOf(rows - 1 - repeat_.bottom());
            const int lastNumber = numberOf(rows - 1 - repeat_.top);
            out << (firstNumber == lastNumber
                        ? QStringLiteral("Reihe %1 wiederholen").arg(firstNumber)
                        : QStringLiteral("Reihen %1–%2 wiederholen")
                              .arg(firstNumber)
                              .arg(lastNumber));
        }
        return out;
    }

private:
    // A stitch read from a row: its text and the column of its first cell.
    struct Stitch {
        int text;
        std::int32_t column;
    };
    // The copies of the repeat side by side in a row: `count` of them from `first` on.
    struct Copies {
        std::int32_t first = 0;
        std::int32_t count = 0;
    };

    int numberOf(int i) const { return options_.firstRow + (options_.hideWrongSide ? 2 * i : i); }

    // The rows the repeat marks: its own, and the copies of them above and below it (a tiled
    // chart), so that they read alike.
    void findRepeatRows() {
        repeat_ = doc_.repeat.clippedTo(doc_.azeilen, doc_.aspalten);
        if (repeat_.isEmpty() || repeat_ != doc_.repeat) {
            repeat_ = {};
            return;
        }
        const std::int32_t h = repeat_.rows;
        auto copyAt = [&](std::int32_t top) {
            if (top < 0 || top + h > doc_.azeilen) {
                return false;
            }
            for (std::int32_t r = 0; r < h; ++r) {
                const TDynaArrayOf<TFeld>& row = *doc_.zeilen[std::uint32_t(top + r)];
                const TDynaArrayOf<TFeld>& motif = *doc_.zeilen[std::uint32_t(repeat_.top + r)];
                for (std::uint32_t c = 0; c < row.count; ++c) {
                    if (!sameCell(row[c], motif[c])) {
                        return false;
                    }
                }
            }
            return true;
        };
        bandTop_ = repeat_.top;
        while (copyAt(bandTop_ - h)) {
            bandTop_ -= h;
        }
        bandEnd_ = repeat_.top + h;
        while (copyAt(bandEnd_)) {
            bandEnd_ += h;
        }
    }

    // The copies of the repeat's cells side by side in `row`, the marked ones among them.
    Copies copiesIn(const TDynaArrayOf<TFeld>& row) const {
        const std::int32_t w = repeat_.columns;
        auto copyAt = [&](std::int32_t left) {
            if (left < 0 || left + w > std::int32_t(row.count)) {
                return false;
            }
            for (std::int32_t c = 0; c < w; ++c) {
                if (!sameCell(row[std::uint32_t(left + c)], row[std::uint32_t(repeat_.left + c)])) {
                    return false;
                }
            }
            return true;
        };
        Copies copies{repeat_.left, 1};
        while (copyAt(copies.first - w)) {
            copies.first -= w;
            ++copies.count;
        }
        while (copyAt(copies.first + copies.count * w)) {
            ++copies.count;
        }
        return copies;
    }

    // The id of what the row at 0-based `r` (from the top) reads after the colon.
    int rowBody(std::int32_t r, bool wrongSide, bool fromRight) {
        const TDynaArrayOf<TFeld>& row = *doc_.zeilen[std::uint32_t(r)];
        stitches_.clear();
        const std::int32_t n = std::int32_t(row.count);
        std::int32_t covered = 0;
        for (std::int32_t j = 0; j < n;) {
            const TFeld& cell = row[std::uint32_t(j)];
            if (!cell.belegt || !cell.stich) {
                ++j;
                continue;
            }
            // A wide stitch covers the cells to its right, as its symbol does.
            const std::int32_t cells = std::min(std::max(cell.breite, 1), n - j);
            const int text = textOf(cell.stich, wrongSide);
            if (text >= 0) {
                covered += cells;
                stitches_.push_back({text, j});
            }
            j += cells;
        }
        if (stitches_.empty()) {
            return bodyId(QStringLiteral("keine Maschen"));
        }

        // In a row of the repeat the stitches fall into three parts in reading order: those
        // before the copies of the repeat, those of one copy (between the stars) and those
        // after them; the other copies are not read.
        Copies copies;
        if (!repeat_.isEmpty() && r >= bandTop_ && r < bandEnd_) {
            copies = copiesIn(row);
            const std::int32_t end = copies.first + repeat_.columns;
            if (std::none_of(stitches_.begin(), stitches_.end(), [&](const Stitch& s) {
                    return s.column >= copies.first && s.column < end;
                })) {
                copies = {}; // its cells read nothing here
            }
        }
        auto partOf = [&](const Stitch& s) {
            if (copies.count == 0) {
                return 0;
            }
            const std::int32_t end = copies.first + repeat_.columns;
            const std::int32_t last = copies.first + copies.count * repeat_.columns;
            const int part = s.column < copies.first ? 0
                             : s.column < end        ? 1
                             : s.column < last       ? -1
                                                     : 2;
            // Read from the right, the stitches right of the copies come first.
            return part < 0 || !fromRight ? part : 2 - part;
        };
        if (fromRight) {
            std::reverse(stitches_.begin(), stitches_.end());
        }
        for (std::vector<int>& g : parts_) {
            g.clear();
        }
        for (std::size_t k = 0; k < stitches_.size();) {
            const int part = partOf(stitches_[k]);
            std::size_t same = k + 1;
            while (same < stitches_.size() && stitches_[same].text == stitches_[k].text &&
                   partOf(stitches_[same]) == part) {
                ++same;
            }
            if (part >= 0) {
                parts_[part].push_back(groupOf(stitches_[k].text, int(same - k)));
            }
            k = same;
        }
        // Rows reading the same groups read the same: the writing is worked out once.
        QByteArray key;
        for (int p = 0; p < 3; ++p) {
            key.append(reinterpret_cast<const char*>(parts_[p].data()),
                       qsizetype(parts_[p].size() * sizeof(int)));
            const int end = -1 - p;
            key.append(reinterpret_cast<const char*>(&end), sizeof(end));
        }
        key.append(reinterpret_cast<const char*>(&covered), sizeof(covered));
        key.append(reinterpret_cast<const char*>(&copies.count), sizeof(copies.count));
        const auto known = rowBodies_.constFind(key);
        if (known != rowBodies_.constEnd()) {
            return *known;
        }
        QStringList written;
        if (!parts_[0].empty()) {
            written << writing_.write(parts_[0], groupTexts_);
        }
        if (copies.count > 0) {
            written << QLatin1Char('*') + writing_.write(parts_[1], groupTexts_) + QLatin1Char('*')
                    << (copies.count > 1
                            ? QStringLiteral("ab * wiederholen, insgesamt %1-mal").arg(copies.count)
                            : QStringLiteral("ab * wiederholen"));
            if (!parts_[2].empty()) {
                written << writing_.write(parts_[2], groupTexts_);
            }
        }
        const int id =
            bodyId(written.join(kSeparator) + QStringLiteral(" (%1 Maschen)").arg(covered));
        rowBodies_.insert(key, id);
        return id;
    }

    // The text of a stitch for the side, or -1 for a stitch that is not read.
    int textOf(const SharedStitch* stich, bool wrongSide) {
        if (stich != lastStitch_) {
            const auto found = stitchTexts_.find(stich);
            if (found != stitchTexts_.end()) {
                lastTexts_ = found->second;
            } else if (isNoStitch(*stich)) {
                lastTexts_ = {-1, -1};
                stitchTexts_.emplace(stich, lastTexts_);
            } else {
                lastTexts_ = {textId(readAs(*stich, false)), textId(readAs(*stich, true))};
                stitchTexts_.emplace(stich, lastTexts_);
            }
            lastStitch_ = stich;
        }
        return wrongSide ? lastTexts_.second : lastTexts_.first;
    }

    static QString readAs(const SharedStitch& stich, bool wrongSide) {
        for (const char16_t* text :
             {wrongSide ? stich.rueckreihe : stich.hinreihe, stich.bezeichnung, stich.abkuerzung}) {
            QString t = oneLine(ownedTextToString(text));
            if (!t.isEmpty()) {
                return standingAlone(t);
            }
        }
        return QStringLiteral("unbenannter Stich");
    }

    int textId(const QString& text) {
        const auto found = textIds_.constFind(text);
        if (found != textIds_.constEnd()) {
            return *found;
        }
        const int id = int(texts_.size());
        texts_.push_back(text);
        textIds_.insert(text, id);
        return id;
    }

    int groupOf(int text, int count) {
        const std::uint64_t key = (std::uint64_t(std::uint32_t(text)) << 32) | std::uint32_t(count);
        const auto found = groupIds_.find(key);
        if (found != groupIds_.end()) {
            return found->second;
        }
        const int id = int(groupTexts_.size());
        groupTexts_.push_back(
            count == 1 ? texts_[std::size_t(text)]
                       : QStringLiteral("%1 × %2").arg(count).arg(texts_[std::size_t(text)]));
        groupIds_.emplace(key, id);
        return id;
    }

    int bodyId(const QString& body) {
        const auto found = bodyIds_.constFind(body);
        if (found != bodyIds_.constEnd()) {
            return *found;
        }
        const int id = int(bodies_.size());
        bodies_.push_back(body);
        bodyIds_.insert(body, id);
        return id;
    }

    const ChartDocument& doc_;
    Options options_;
    // The repeat, and the rows from the top (`bandTop_` to `bandEnd_`, exclusive) that hold it
    // or copies of its rows; empty without a repeat.
    CellBlock repeat_;
    std::int32_t bandTop_ = 0;
    std::int32_t bandEnd_ = 0;

    const SharedStitch* lastStitch_ = nullptr;
    std::pair<int, int> lastTexts_;
    std::unordered_map<const SharedStitch*, std::pair<int, int>> stitchTexts_;
    std::vector<QString> texts_;
    QHash<QString, int> textIds_;
    std::vector<QString> groupTexts_;
    std::unordered_map<std::uint64_t, int> groupIds_;
    std::vector<QString> bodies_;
    QHash<QString, int> bodyIds_;
    QHash<QByteArray, int> rowBodies_;
    std::vector<int> firstRowWith_[2]; // per side and body: the number of the first row, or INT_MIN

    std::vector<Stitch> stitches_;
    std::vector<int> parts_[3]; // the groups of a row's parts
    ShortestWriting writing_;
};

} // namespace

QStringList lines(const ChartDocument& doc, const Options& options) {
    return Writer(doc, options).lines();
}

QString text(const ChartDocument& doc, const Options& options) {
    QString out;
    for (const QString& line : lines(doc, options)) {
        out += line;
        out += QLatin1Char('\n');
    }
    return out;
}

QString joinGroups(const QStringList& groups) {
    std::vector<QString> texts;
    std::vector<int> ids;
    QHash<QString, int> known;
    for (const QString& g : groups) {
        auto it = known.constFind(g);
        if (it == known.constEnd()) {
            it = known.insert(g, int(texts.size()));
            texts.push_back(g);
        }
        ids.push_back(*it);
    }
    return ShortestWriting().write(ids, texts);
}

} // namespace instructions
