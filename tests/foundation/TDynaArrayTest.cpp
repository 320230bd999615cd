#include "foundation/TDynaArrayOf.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

namespace {

// 1124 bytes, like the cells of a chart row.
struct BigRecord {
    std::array<std::uint8_t, 1124> bytes;
};

struct Item {
    std::int32_t value;
    std::int32_t other;
};

bool allZero(const void* p, std::size_t n) {
    const auto* b = static_cast<const std::uint8_t*>(p);
    for (std::size_t i = 0; i < n; ++i) {
        if (b[i] != 0) {
            return false;
        }
    }
    return true;
}

class DynaArrayTest : public ::testing::Test {
protected:
    Item* mirror = nullptr;
    TDynaArrayOf<Item> items{&mirror};

    void addValues(std::initializer_list<std::int32_t> values) {
        for (std::int32_t v : values) {
            items.Add()->value = v;
        }
    }
    std::vector<std::int32_t> values() const {
        std::vector<std::int32_t> out;
        for (const Item& it : items) {
            out.push_back(it.value);
        }
        return out;
    }
};

} // namespace

TEST(DynaArray, CreateLeavesMirrorUntouchedAndAddMakesZeroRecordCurrent) {
    auto* sentinel = reinterpret_cast<BigRecord*>(0x1234);
    BigRecord* mirror = sentinel;
    TDynaArrayOf<BigRecord> array(&mirror);
    EXPECT_EQ(mirror, sentinel);
    EXPECT_EQ(array.count, 0u);
    EXPECT_EQ(array.amemsize, 0u);
    EXPECT_EQ(array.aobjnr, -1);
    EXPECT_EQ(array.buffersize, 100u);
    EXPECT_EQ(array.poi, nullptr);

    BigRecord* first = array.Add();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(array.count, 1u);
    EXPECT_EQ(array.amemsize, 112400u);
    EXPECT_EQ(array.aobjnr, 0);
    EXPECT_EQ(mirror, first);
    EXPECT_EQ(array.aobj, first);
    EXPECT_TRUE(allZero(first, sizeof(BigRecord)));
}

TEST_F(DynaArrayTest, GrowsAndShrinksInStepsOfHundredRecords) {
    for (int i = 0; i < 100; ++i) {
        items.Add()->value = i;
    }
    EXPECT_EQ(items.amemsize, 100 * sizeof(Item));

    items.Add()->value = 100;
    EXPECT_EQ(items.amemsize, 200 * sizeof(Item));
    for (int i = 0; i <= 100; ++i) {
        EXPECT_EQ(items[i].value, i);
    }
    // Bytes beyond the records of a new block are zero.
    EXPECT_TRUE(allZero(items.poi + 101 * sizeof(Item), 99 * sizeof(Item)));

    items.Delete(100);
    EXPECT_EQ(items.count, 100u);
    EXPECT_EQ(items.amemsize, 100 * sizeof(Item));
    EXPECT_EQ(items.aobjnr, -1);
    EXPECT_EQ(mirror, nullptr);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(items[i].value, i);
    }
    EXPECT_NE(items.poi, nullptr);

    // Adding within the capacity keeps the block.
    const std::uint8_t* block = items.poi;
    items.Delete(99);
    items.Add();
    EXPECT_EQ(items.poi, block);
}

TEST_F(DynaArrayTest, ReusedSlotIsZeroedAndLastDeleteFreesTheBlock) {
    Item* a = items.Add();
    a->value = 7;
    a->other = 9;
    items.Add()->value = 8;
    items.Delete(1);
    Item* again = items.Add();
    EXPECT_EQ(again->value, 0);
    EXPECT_EQ(again->other, 0);

    items.Delete(1);
    items.Delete(0);
    EXPECT_EQ(items.poi, nullptr);
    EXPECT_EQ(items.amemsize, 0u);
    Item* fresh = items.Add();
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->value, 0);
    EXPECT_EQ(items.amemsize, 100 * sizeof(Item));
}

TEST_F(DynaArrayTest, InsertAcceptsZeroToCountOnly) {
    addValues({1, 2, 3});
    Item* inserted = items.Insert(1);
    ASSERT_NE(inserted, nullptr);
    EXPECT_EQ(inserted->value, 0);
    EXPECT_EQ(mirror, inserted);
    EXPECT_EQ(items.aobjnr, 1);
    inserted->value = 9;
    EXPECT_EQ(values(), (std::vector<std::int32_t>{1, 9, 2, 3}));

    Item* appended = items.Insert(4);
    ASSERT_NE(appended, nullptr);
    appended->value = 5;
    EXPECT_EQ(values(), (std::vector<std::int32_t>{1, 9, 2, 3, 5}));

    Item* const before = mirror;
    EXPECT_EQ(items.Insert(6), nullptr);
    EXPECT_EQ(items.Insert(-1), nullptr);
    EXPECT_EQ(items.count, 5u);
    EXPECT_EQ(mirror, before);
    EXPECT_EQ(values(), (std::vector<std::int32_t>{1, 9, 2, 3, 5}));
}

TEST_F(DynaArrayTest, DeleteOutOfRangeChangesNothing) {
    items.Delete(0);
    items.Delete(-1);
    EXPECT_EQ(items.count, 0u);

    addValues({1, 2});
    items.Delete(2);
    items.Delete(-1);
    EXPECT_EQ(values(), (std::vector<std::int32_t>{1, 2}));
    EXPECT_EQ(items.aobjnr, 1);
    EXPECT_EQ(mirror, items.at(1));
}

TEST_F(DynaArrayTest, FirstAndWhileNextOnEmptyArrayDoNothing) {
    Item sentinel{};
    mirror = &sentinel;
    items.First();
    EXPECT_EQ(mirror, &sentinel);
    EXPECT_EQ(items.aobjnr, -1);
    EXPECT_FALSE(items.WhileNext());
    EXPECT_FALSE(items.Next());
}

TEST_F(DynaArrayTest, WhileNextLoopSeesOneBasedPositions) {
    addValues({10, 20, 30});
    std::vector<std::int32_t> positions;
    std::vector<std::int32_t> seen;
    items.First();
    while (items.WhileNext()) {
        positions.push_back(items.aobjnr);
        seen.push_back(mirror->value);
    }
    EXPECT_EQ(positions, (std::vector<std::int32_t>{1, 2, 3}));
    EXPECT_EQ(seen, (std::vector<std::int32_t>{10, 20, 30}));
    EXPECT_EQ(items.aobjnr, 3);
    EXPECT_EQ(mirror, items.at(2));
}

TEST_F(DynaArrayTest, NextStopsAtLastRecordAndStartsFromNoCursor) {
    addValues({1, 2});
    items.aobjnr = -1;
    EXPECT_TRUE(items.Next());
    EXPECT_EQ(items.aobjnr, 0);
    EXPECT_EQ(mirror, items.at(0));
    EXPECT_TRUE(items.Next());
    EXPECT_EQ(items.aobjnr, 1);
    EXPECT_FALSE(items.Next());
    EXPECT_EQ(items.aobjnr, 1);
    EXPECT_EQ(mirror, items.at(1));
    items.aobjnr = -2;
    EXPECT_FALSE(items.Next());
}

TEST_F(DynaArrayTest, ChangeSwapsBytesAndEndsOnSecond) {
    addValues({1, 2, 3});
    items[0].other = 11;
    items[2].other = 33;
    items.Change(0, 2);
    EXPECT_EQ(values(), (std::vector<std::int32_t>{3, 2, 1}));
    EXPECT_EQ(items[0].other, 33);
    EXPECT_EQ(items[2].other, 11);
    EXPECT_EQ(items.aobjnr, 2);
    EXPECT_EQ(mirror, items.at(2));

    items.Change(0, 3);
    items.Change(-1, 1);
    EXPECT_EQ(values(), (std::vector<std::int32_t>{3, 2, 1}));
    EXPECT_EQ(items.aobjnr, 2);
}

TEST_F(DynaArrayTest, ClearFreesEverythingAndNullsMirror) {
    addValues({1, 2, 3});
    items.Clear();
    EXPECT_EQ(items.count, 0u);
    EXPECT_EQ(items.poi, nullptr);
    EXPECT_EQ(items.amemsize, 0u);
    EXPECT_EQ(items.aobjnr, -1);
    EXPECT_EQ(mirror, nullptr);
}

TEST(DynaArray, ArrayWithoutMirrorWorks) {
    TDynaArrayOf<Item> items;
    items.Add()->value = 4;
    items.First();
    EXPECT_EQ(items.current()->value, 4);
}

TEST(DynaArray, FailedGrowthReportsOnceAndLeavesArrayAsItWas) {
    MessageCapture messages;
    Item* mirror = nullptr;
    TDynaArrayOf<Item> items(&mirror);
    for (int i = 0; i < 100; ++i) {
        items.Add()->value = i;
    }
    const std::uint8_t* block = items.poi;
    {
        AllocationFailure failure(0);
        EXPECT_EQ(items.Add(), nullptr);
        EXPECT_EQ(items.Insert(3), nullptr);
    }
    EXPECT_EQ(items.count, 100u);
    EXPECT_EQ(items.amemsize, 100 * sizeof(Item));
    EXPECT_EQ(items.poi, block);
    EXPECT_EQ(mirror, items.at(99));
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(items[i].value, i);
    }
    ASSERT_EQ(messages.texts().size(), 2);
    EXPECT_EQ(
        messages.texts()[0],
        QStringLiteral("Error 2 while trying to allocate 1600 bytes of RAM. Not enough memory.12"));

    TDynaArrayOf<Item> empty;
    {
        AllocationFailure failure(0);
        EXPECT_EQ(empty.Add(), nullptr);
    }
    EXPECT_EQ(empty.count, 0u);
    EXPECT_EQ(empty.poi, nullptr);
    EXPECT_EQ(
        messages.texts().last(),
        QStringLiteral("Error 1 while trying to allocate 800 bytes of RAM. Not enough memory."));
}

TEST(DynaArray, FailedShrinkKeepsTheRecordsInTheOldBlock) {
    MessageCapture messages;
    TDynaArrayOf<Item> items;
    for (int i = 0; i < 101; ++i) {
        items.Add()->value = i;
    }
    {
        AllocationFailure failure(0);
        items.Delete(0);
    }
    ASSERT_EQ(messages.texts().size(), 1);
    EXPECT_EQ(
        messages.texts()[0],
        QStringLiteral("Error 3 while trying to allocate 800 bytes of RAM. Not enough memory."));
    EXPECT_EQ(items.count, 100u);
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(items[i].value, i + 1);
    }
    // Growing again from the oversized block must not copy beyond the new block.
    items.Add()->value = 101;
    items.Add()->value = 102;
    EXPECT_EQ(items[101].value, 102);
}

TEST(DynaArray, CapacityBeyondThirtyTwoBitsIsRefused) {
    MessageCapture messages;
    struct Huge {
        std::array<std::uint8_t, 50'000'000> bytes;
    };
    // 100 records of 50 MB would be 5 GB: more than the 32-bit capacity can describe.
    auto* array = new TDynaArray(sizeof(Huge), nullptr);
    EXPECT_EQ(array->Add(), nullptr);
    EXPECT_EQ(array->count, 0u);
    EXPECT_EQ(array->poi, nullptr);
    ASSERT_EQ(messages.texts().size(), 1);
    EXPECT_TRUE(messages.texts()[0].startsWith(
        QStringLiteral("Error 1 while trying to allocate 5000000000 bytes")));
    delete array;
}

TEST(DynaArray, SwapRecordsExchangesContentsAndClearsCursors) {
    Item* mirrorA = nullptr;
    Item* mirrorB = nullptr;
    TDynaArrayOf<Item> a(&mirrorA);
    TDynaArrayOf<Item> b(&mirrorB);
    a.Add()->value = 1;
    b.Add()->value = 2;
    b.Add()->value = 3;
    a.swapRecords(b);
    EXPECT_EQ(a.count, 2u);
    EXPECT_EQ(a[1].value, 3);
    EXPECT_EQ(b.count, 1u);
    EXPECT_EQ(b[0].value, 1);
    EXPECT_EQ(mirrorA, nullptr);
    EXPECT_EQ(mirrorB, nullptr);
    EXPECT_EQ(a.aobjnr, -1);
}

TEST_F(DynaArrayTest, AddManyAppendsZeroRecordsOverStaleSlotsInOneGrowth) {
    // Slots freed by deleting keep their bytes; records added over them must come back zero,
    // whether the block stays (within its hundred) or grows.
    for (const std::uint32_t added : {5u, 10u, 30u, 250u}) {
        SCOPED_TRACE(added);
        items.Clear();
        for (int k = 0; k < 150; ++k) {
            items.Add()->value = k + 1;
        }
        for (int k = 0; k < 60; ++k) {
            items.Delete(std::int32_t(items.count) - 1);
        }
        ASSERT_EQ(items.count, 90u);
        mirror = nullptr;
        Item* first = items.AddMany(added);
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(first, items.at(90));
        EXPECT_EQ(mirror, nullptr); // the cursor is left alone
        EXPECT_EQ(items.count, 90 + added);
        EXPECT_EQ(items.amemsize, ((90 + added - 1) / 100 + 1) * 100 * sizeof(Item));
        EXPECT_TRUE(allZero(first, added * sizeof(Item)));
        EXPECT_EQ(items[89].value, 90);
    }
    EXPECT_EQ(items.AddMany(0), nullptr);
    EXPECT_EQ(items.AddMany(0xffffffffu), nullptr);
    EXPECT_EQ(items.count, 340u);
}
