#include "foundation/recovery/RecoveryKeeper.h"
#include "foundation/recovery/RecoveryStore.h"

#include "TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QIODevice>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <set>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using recovery::Description;
using recovery::Entry;
using recovery::Keeper;
using recovery::Kind;
using recovery::Store;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A writer token of a program that no longer runs: this process's id with another start, or
// another boot.
QString deadToken(bool otherBoot) {
    const QStringList ours = Store::processToken().split(QLatin1Char('-'));
    return otherBoot ? QStringLiteral("%1-%2-0badb007").arg(ours[0], ours[1])
                     : QStringLiteral("%1-1%2-%3").arg(ours[0], ours[1], ours[2]);
}

bool waitFor(const std::function<bool()>& condition, int ms = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return condition();
}

} // namespace

TEST(RecoveryStore, FindsTheCopiesOfProgramsThatNoLongerRun) {
    QTemporaryDir dir;
    const Store store(dir.path());
    const QString folder = store.folder();
    EXPECT_TRUE(Store::isRunning(Store::processToken()));
    EXPECT_FALSE(Store::isRunning(deadToken(false)));
    EXPECT_FALSE(Store::isRunning(deadToken(true)));

    auto described = [&](const QString& base, Kind kind, const QString& file, int minutesAgo) {
        Description d;
        d.kind = kind;
        d.fileName = file;
        d.title = file;
        d.format = 14;
        d.changed = QDateTime::currentDateTime().addSecs(-60 * minutesAgo);
        d.pid = 42;
        d.writer = deadToken(false);
        ASSERT_TRUE(store.writeDescription(folder + base, d));
        writeFile(folder + base + Store::copySuffix(kind), "inhalt " + base.toUtf8());
    };
    const QString dead = deadToken(false);
    const QString rebooted = deadToken(true);
    described(Store::processToken() + QStringLiteral("-1"), Kind::Chart,
              QStringLiteral("läuft.tpd"), 1);
    described(dead + QStringLiteral("-1"), Kind::Chart, QStringLiteral("/a/jacke.tpd"), 5);
    described(rebooted + QStringLiteral("-7"), Kind::Picture, QStringLiteral("/a/zopf.png"), 1);
    // A copy whose description went missing, and one whose description is damaged.
    writeFile(folder + dead + QStringLiteral("-2.bmp"), "bild");
    writeFile(folder + dead + QStringLiteral("-3.tpd"), "muster");
    writeFile(folder + dead + QStringLiteral("-3.json"), "{kaputt");
    // Left for removal: a description without its copy, an interrupted write.
    writeFile(folder + dead + QStringLiteral("-4.json"), "{}");
    writeFile(folder + dead + QStringLiteral("-1.tpd.tmp-abcdef"), "halb");
    // Not ours at all.
    writeFile(folder + QStringLiteral("notiz.txt"), "x");
    writeFile(folder + QStringLiteral("1-2.tpd"), "x");

    const std::vector<Entry> all = store.orphans(false);
    ASSERT_EQ(all.size(), 4u);
    // Newest first; the damaged and missing descriptions count by the copies' own times.
    EXPECT_EQ(all[all.size() - 1].description.fileName, QStringLiteral("/a/jacke.tpd"));
    std::set<QString> names;
    for (const Entry& e : all) {
        names.insert(QFileInfo(e.copyPath).fileName());
        EXPECT_EQ(fileBytes(e.copyPath).isEmpty(), false);
    }
    EXPECT_EQ(names, (std::set<QString>{
                         dead + QStringLiteral("-1.tpd"), dead + QStringLiteral("-2.bmp"),
                         dead + QStringLiteral("-3.tpd"), rebooted + QStringLiteral("-7.bmp")}));
    for (const Entry& e : all) {
        const Description& d = e.description;
        if (e.copyPath.endsWith(QStringLiteral("-7.bmp"))) {
            EXPECT_EQ(d.kind, Kind::Picture);
            EXPECT_EQ(d.fileName, QStringLiteral("/a/zopf.png"));
            EXPECT_EQ(d.format, 14);
        } else if (e.copyPath.endsWith(QStringLiteral("-2.bmp")) ||
                   e.copyPath.endsWith(QStringLiteral("-3.tpd"))) {
            EXPECT_TRUE(d.fileName.isEmpty());
            EXPECT_EQ(d.kind,
                      e.copyPath.endsWith(QStringLiteral(".bmp")) ? Kind::Picture : Kind::Chart);
        }
    }
    EXPECT_FALSE(QFile::exists(folder + dead + QStringLiteral("-4.json")));
    EXPECT_FALSE(QFile::exists(folder + dead + QStringLiteral("-1.tpd.tmp-abcdef")));
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("notiz.txt")));

    EXPECT_EQ(store.orphans(true).size(), 2u);

    // A copy that cannot be read goes aside with its description, never away.
    const Entry& damaged = all[0];
    const QString aside = store.keepAside(damaged);
    EXPECT_EQ(QFileInfo(aside).dir().dirName(), QStringLiteral("beschaedigt"));
    EXPECT_NE(fileBytes(aside), "missing");
    EXPECT_FALSE(QFile::exists(damaged.copyPath));
    EXPECT_EQ(store.orphans(false).size(), 3u);
    Store::remove(store.orphans(false)[0]);
    EXPECT_EQ(store.orphans(false).size(), 2u);
}

TEST(RecoveryStore, AProgramRunsUntilItEndsEvenBeforeItIsWaitedFor) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::pause();
        ::_exit(0);
    }
    // Its token as it would write it: its start from /proc, this boot.
    QByteArray stat;
    ASSERT_TRUE(waitFor([&] {
        QFile file(QStringLiteral("/proc/%1/stat").arg(child));
        stat = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        return !stat.isEmpty();
    }));
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    const QString token = QStringLiteral("%1-%2-%3")
                              .arg(child)
                              .arg(QString::fromLatin1(fields[19]),
                                   Store::processToken().section(QLatin1Char('-'), 2));
    EXPECT_TRUE(Store::isRunning(token));
    ::kill(child, SIGKILL);
    // Ended but not yet waited for: it writes nothing any more.
    EXPECT_TRUE(waitFor([&] { return !Store::isRunning(token); }));
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_FALSE(Store::isRunning(token));
}

TEST(RecoveryStore, OneProgramAtATimeHoldsTheFolder) {
    QTemporaryDir dir;
    const Store store(dir.filePath(QStringLiteral("neu")));
    auto first = std::make_unique<Store::Lock>(store);
    EXPECT_TRUE(first->held());
    EXPECT_FALSE(Store::Lock(store).held());
    first.reset();
    EXPECT_TRUE(Store::Lock(store).held());
    EXPECT_NE(store.newBase(), store.newBase());
}

namespace {

// A document of lines that is copied one line per step.
struct FakeDocument {
    QByteArrayList lines{"eins", "zwei", "drei"};
    bool changed = false;
    bool atRest = true;
    bool hold = false; // the copy makes no progress while set
    std::uint64_t revision = 0;
    int snapshots = 0;
    int dropped = 0;
};

class FakeSnapshot : public recovery::Snapshot {
public:
    explicit FakeSnapshot(FakeDocument& doc) : doc_(doc) {}
    Step take(const QDeadlineTimer&) override {
        if (doc_.hold) {
            return Step::More;
        }
        if (next_ >= doc_.lines.size()) {
            return Step::Failed;
        }
        copy_ += doc_.lines[next_++] + '\n';
        return next_ == doc_.lines.size() ? Step::Done : Step::More;
    }
    bool write(QIODevice& out, const ProgressCallback&) override {
        return out.write(copy_) == copy_.size();
    }

private:
    FakeDocument& doc_;
    qsizetype next_ = 0;
    QByteArray copy_;
};

class FakeSource : public recovery::Source {
public:
    explicit FakeSource(FakeDocument& doc) : doc_(doc) {}
    bool changed() const override { return doc_.changed; }
    std::optional<std::uint64_t> revision() const override { return doc_.revision; }
    bool atRest() const override { return doc_.atRest; }
    Description describe() const override {
        Description d;
        d.kind = Kind::Chart;
        d.fileName = QStringLiteral("/muster/jacke.tpd");
        d.title = QStringLiteral("jacke.tpd");
        return d;
    }
    std::unique_ptr<recovery::Snapshot> snapshot() override {
        ++doc_.snapshots;
        return std::make_unique<FakeSnapshot>(doc_);
    }
    void dropped() override { ++doc_.dropped; }

private:
    FakeDocument& doc_;
};

recovery::Timing fastTiming() {
    recovery::Timing t;
    t.idleMs = 20;
    t.latestMs = 200;
    t.retryMs = 10;
    t.largeIntervalMs = 400;
    return t;
}

} // namespace

TEST(RecoveryKeeper, KeepsTheCopyInStepWithTheUnsavedChanges) {
    QTemporaryDir dir;
    const Store store(dir.filePath(QStringLiteral("Wiederherstellung"))); // made when needed
    FakeDocument doc;
    auto keeper = std::make_unique<Keeper>(store, std::make_unique<FakeSource>(doc), fastTiming());
    int written = 0;
    keeper->onCopied = [&](bool ok) { written += ok ? 1 : 0; };
    auto change = [&](const QByteArray& line) {
        doc.lines << line;
        doc.changed = true;
        ++doc.revision;
        keeper->touch();
    };

    change("vier");
    ASSERT_TRUE(waitFor([&] { return written == 1; }));
    EXPECT_EQ(fileBytes(keeper->copyPath()), "eins\nzwei\ndrei\nvier\n");
    EXPECT_EQ(keeper->lastCost().steps, 4);
    Description d;
    ASSERT_TRUE(Store::readDescription(keeper->descriptionPath(), d));
    EXPECT_EQ(d.fileName, QStringLiteral("/muster/jacke.tpd"));
    EXPECT_EQ(d.writer, Store::processToken());
    EXPECT_EQ(d.pid, QCoreApplication::applicationPid());
    EXPECT_LE(qAbs(d.changed.secsTo(QDateTime::currentDateTime())), 5);
    // Running, so no orphan.
    EXPECT_TRUE(store.orphans(false).empty());

    // The window learning of nothing new writes nothing.
    keeper->touch();
    EXPECT_FALSE(keeper->busy());

    // Not while a drag goes on; then the copy catches up.
    doc.atRest = false;
    change("fünf");
    QCoreApplication::processEvents();
    EXPECT_FALSE(waitFor([&] { return written == 2; }, 100));
    doc.atRest = true;
    ASSERT_TRUE(waitFor([&] { return written == 2; }));
    EXPECT_EQ(fileBytes(keeper->copyPath()).count('\n'), 5);

    // A change while the copy is being taken starts it again, so it misses nothing.
    doc.hold = true;
    change("sechs");
    ASSERT_TRUE(waitFor([&] { return doc.snapshots == 3; }));
    change("sieben");
    doc.hold = false;
    ASSERT_TRUE(waitFor([&] { return written == 3; }));
    EXPECT_EQ(doc.snapshots, 4);
    EXPECT_TRUE(fileBytes(keeper->copyPath()).endsWith("sechs\nsieben\n"));

    // Saved: the copy goes at once.
    doc.changed = false;
    keeper->touch();
    EXPECT_FALSE(QFile::exists(keeper->copyPath()));
    EXPECT_FALSE(QFile::exists(keeper->descriptionPath()));
    EXPECT_EQ(doc.dropped, 1);

    // Changed again and then the window goes (a normal end): no copy stays behind.
    change("acht");
    ASSERT_TRUE(waitFor([&] { return written == 4; }));
    const QString copy = keeper->copyPath();
    keeper.reset();
    EXPECT_TRUE(QDir(store.folder()).entryList(QDir::Files).isEmpty());
    EXPECT_FALSE(QFile::exists(copy));
}

TEST(RecoveryKeeper, FailedWritesLargeCopiesDiscardAndAdoption) {
    QTemporaryDir dir;
    const Store store(dir.path());
    FakeDocument doc;
    recovery::Timing timing = fastTiming();
    timing.largeBytes = 10; // every copy counts as large
    Keeper keeper(store, std::make_unique<FakeSource>(doc), timing);
    std::vector<bool> results;
    keeper.onCopied = [&](bool ok) { results.push_back(ok); };
    auto change = [&] {
        doc.lines << "mehr";
        doc.changed = true;
        ++doc.revision;
        keeper.touch();
    };

    {
        // A disk that cannot sync: no copy, and another try later.
        const SyncFailure sync(filesync::Target::File);
        change();
        ASSERT_TRUE(waitFor([&] { return !results.empty(); }));
        EXPECT_FALSE(results[0]);
        EXPECT_FALSE(keeper.hasCopy());
        EXPECT_FALSE(QFile::exists(keeper.copyPath()));
        EXPECT_TRUE(keeper.busy());
    }
    ASSERT_TRUE(waitFor([&] { return results.size() == 2; }));
    EXPECT_TRUE(results[1]);

    // A large copy is followed by the next only after the interval.
    QElapsedTimer clock;
    clock.start();
    change();
    ASSERT_TRUE(waitFor([&] { return results.size() == 3; }));
    EXPECT_GE(clock.elapsed(), timing.largeIntervalMs / 2);

    // The user dropped the changes: the copy goes although the document still holds them.
    keeper.discard();
    EXPECT_FALSE(keeper.hasCopy());
    EXPECT_FALSE(QFile::exists(keeper.copyPath()));

    // A restored copy becomes the document's own, and nothing is written until it changes.
    const QString theirs = store.folder() + deadToken(false) + QStringLiteral("-9");
    Description old;
    old.changed = QDateTime(QDate(2024, 3, 5), QTime(14, 32));
    ASSERT_TRUE(store.writeDescription(theirs, old));
    writeFile(theirs + QStringLiteral(".tpd"), "gerettet");
    const std::vector<Entry> found = store.orphans(false);
    ASSERT_EQ(found.size(), 1u);
    change();
    ASSERT_TRUE(keeper.adopt(found[0]));
    EXPECT_FALSE(keeper.busy());
    EXPECT_EQ(fileBytes(keeper.copyPath()), "gerettet");
    Description now;
    ASSERT_TRUE(Store::readDescription(keeper.descriptionPath(), now));
    EXPECT_EQ(now.changed, old.changed);
    EXPECT_EQ(now.writer, Store::processToken());
    EXPECT_TRUE(store.orphans(false).empty());
}
