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

class Writer {
public:
    Writer(const ChartDocument& doc, const Options& options) : doc_(doc), options_(options) {}

    QStringList lines() {
        QStringList out;
        const int rows = int(doc_.zeilen.count);
        out.reserve(rows);
        for (int i = 0; i < rows; ++i) {
            const bool wrongSide = !options_.hideWrongSide && i % 2 == 1;
            // A wrong-side row is read from the other side than the right-side rows.
            const bool fromRight = options_.firstFromRight != wrongSide;
            const int number = options_.firstRow + (options_.hideWrongSide ? 2 * i : i);
            const int body =
                rowBody(*doc_.zeilen[std::uint32_t(rows - 1 - i)], wrongSide, fromRight);
            std::vector<int>& last = lastRowWith_[wrongSide ? 1 : 0];
            if (std::size_t(body) >= last.size()) {
                last.resize(std::size_t(body) + 1, INT_MIN);
            }
            const QString side =
                wrongSide ? QStringLiteral("Rückreihe") : QStringLiteral("Hinreihe");
            if (last[std::size_t(body)] != INT_MIN) {
                out << QStringLiteral("Reihe %1 (%2): wie Reihe %3")
                           .arg(number)
                           .arg(side)
                           .arg(last[std::size_t(body)]);
            } else {
                out << QStringLiteral("Reihe %1 (%2): ").arg(number).arg(side) +
                           bodies_[std::size_t(body)];
            }
            last[std::size_t(body)] = number;
        }
        return out;
    }

private:
    // The id of what the row reads after the colon.
    int rowBody(const TDynaArrayOf<TFeld>& row, bool wrongSide, bool fromRight) {
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
            covered += cells;
            stitches_.push_back(textOf(cell.stich, wrongSide));
            j += cells;
        }
        if (fromRight) {
            std::reverse(stitches_.begin(), stitches_.end());
        }
        groups_.clear();
        for (std::size_t k = 0; k < stitches_.size();) {
            std::size_t same = k + 1;
            while (same < stitches_.size() && stitches_[same] == stitches_[k]) {
                ++same;
            }
            groups_.push_back(groupOf(stitches_[k], int(same - k)));
            k = same;
        }
        if (groups_.empty()) {
            return bodyId(QStringLiteral("keine Maschen"));
        }
        // Rows reading the same groups read the same: the writing is worked out once.
        QByteArray key(reinterpret_cast<const char*>(groups_.data()),
                       qsizetype(groups_.size() * sizeof(int)));
        key.append(reinterpret_cast<const char*>(&covered), sizeof(covered));
        const auto known = rowBodies_.constFind(key);
        if (known != rowBodies_.constEnd()) {
            return *known;
        }
        const int id = bodyId(writing_.write(groups_, groupTexts_) +
                              QStringLiteral(" (%1 Maschen)").arg(covered));
        rowBodies_.insert(key, id);
        return id;
    }

    int textOf(const SharedStitch* stich, bool wrongSide) {
        if (stich != lastStitch_) {
            const auto found = stitchTexts_.find(stich);
            if (found != stitchTexts_.end()) {
                lastTexts_ = found->second;
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
                return t;
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
    std::vector<int> lastRowWith_[2]; // per side and body: the number of the last row, or INT_MIN

    std::vector<int> stitches_;
    std::vector<int> groups_;
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
