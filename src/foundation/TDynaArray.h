#pragma once

#include <cstdint>

// Growable contiguous array of fixed-size records with a built-in cursor.
//
// Records are raw bytes: the array never looks inside them and never frees what they own.
// Whenever the cursor changes, the address of the current record (or null) is also written
// into the owner's pointer variable given at creation (the "mirror"), which is how the chart
// code reaches the current row, cell or stitch.
//
// Iteration idiom: First(), then `while (WhileNext())`. Inside the loop the current record is
// record k and `aobjnr` already holds k + 1, its 1-based position.
//
// Capacity grows and shrinks in steps of `buffersize` (100) records; a new block is always
// zero-filled. Any growth, shrink, insertion or deletion may move the records.
class TDynaArray {
public:
    // `typpoi` is the address of the owner's pointer variable (T* for records of type T),
    // or null for an array without mirror.
    TDynaArray(std::uint32_t thesize, void* typpoi);
    virtual ~TDynaArray();

    TDynaArray(const TDynaArray&) = delete;
    TDynaArray& operator=(const TDynaArray&) = delete;

    void* GetObject(std::uint32_t Index);
    // Appends an all-zero record and makes it current; null when memory ran out (then the
    // array is unchanged).
    void* Add();
    // Appends `n` all-zero records at once and returns the first of them (the cursor stays);
    // null when memory ran out (then the array is unchanged) or for n = 0.
    void* AddMany(std::uint32_t n);
    // Inserts an all-zero record at `nr` (0..count); null when `nr` is out of range or memory
    // ran out (then the array is unchanged).
    void* Insert(std::int32_t nr);
    void Delete(std::int32_t nr);
    void Change(std::int32_t nr1, std::int32_t nr2);
    void Clear();
    void First();
    bool Next();
    bool WhileNext();

    // Exchanges the records (block, count, capacity) with `other`; both cursors are cleared.
    // Lets a caller build a replacement off to the side and swap it in only when complete.
    void swapRecords(TDynaArray& other);

    // Address of record `index` without moving the cursor.
    void* recordAt(std::uint32_t index) const { return poi + std::uint64_t(index) * size; }

    static constexpr std::uint32_t kBufferSize = 100;

    // Fields in the documented order; read-only for clients in practice.
    void* outeraobj;
    void* aobj = nullptr;
    std::uint8_t* poi = nullptr;
    std::uint32_t count = 0;
    std::int32_t aobjnr = -1;
    std::uint32_t amemsize = 0;
    std::uint32_t buffersize = kBufferSize;
    std::uint32_t size;

protected:
    // Adapts the block after `count` was raised; true when a new block was made.
    bool AllocMoreMem();
    // Adapts the block after `count` was lowered.
    void AllocLessMem();

private:
    enum class Growth { Unchanged, NewBlock, Failed };
    Growth grow();
    // Capacity in bytes for `forCount` records, computed wide so that an overflow of the
    // 32-bit capacity is seen instead of silently making a block too small.
    std::uint64_t capacityFor(std::uint32_t forCount) const;
    void setCurrent(void* record);
};
