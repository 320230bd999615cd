#include "TDynaArray.h"

#include "Memory.h"
#include "UserMessage.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <utility>

namespace {

constexpr std::uint64_t kMaxBlock = std::numeric_limits<std::uint32_t>::max();

// `errorCode` is the system's last error, appended without separator where the message has it.
void reportAllocFailure(int which, std::uint64_t bytes, int errorCode = 0) {
    QString text =
        QStringLiteral("Error %1 while trying to allocate %2 bytes of RAM. Not enough memory.")
            .arg(which)
            .arg(bytes);
    if (errorCode != 0) {
        text += QString::number(errorCode);
    }
    showUserMessage(MessageIcon::Error, text);
}

} // namespace

TDynaArray::TDynaArray(std::uint32_t thesize, void* typpoi) : outeraobj(typpoi), size(thesize) {}

TDynaArray::~TDynaArray() {
    memory::release(poi);
    poi = nullptr;
    aobjnr = -1;
    aobj = nullptr;
}

void TDynaArray::setCurrent(void* record) {
    aobj = record;
    if (outeraobj) {
        // The mirror is a T* of the owner; copying the bytes keeps this free of aliasing games.
        std::memcpy(outeraobj, &aobj, sizeof aobj);
    }
}

std::uint64_t TDynaArray::capacityFor(std::uint32_t forCount) const {
    if (forCount == 0) {
        return 0;
    }
    return (std::uint64_t(forCount - 1) / buffersize + 1) * size * buffersize;
}

void* TDynaArray::GetObject(std::uint32_t Index) {
    aobjnr = static_cast<std::int32_t>(Index);
    setCurrent(recordAt(Index));
    return aobj;
}

TDynaArray::Growth TDynaArray::grow() {
    const std::uint64_t wanted = capacityFor(count);
    if (wanted == amemsize) {
        return Growth::Unchanged;
    }
    const bool fresh = count == 1 || poi == nullptr;
    errno = 0;
    void* block = wanted <= kMaxBlock ? memory::allocZeroed(wanted) : nullptr;
    if (!block) {
        const int errorCode = errno != 0 ? errno : ENOMEM;
        if (fresh) {
            reportAllocFailure(1, wanted);
        } else {
            reportAllocFailure(2, wanted, errorCode);
        }
        return Growth::Failed;
    }
    if (!fresh) {
        std::memcpy(block, poi, amemsize < wanted ? amemsize : wanted);
        memory::release(poi);
    }
    poi = static_cast<std::uint8_t*>(block);
    amemsize = static_cast<std::uint32_t>(wanted);
    return Growth::NewBlock;
}

bool TDynaArray::AllocMoreMem() {
    return grow() == Growth::NewBlock;
}

void TDynaArray::AllocLessMem() {
    const std::uint64_t wanted = capacityFor(count);
    if (wanted == amemsize) {
        return;
    }
    if (count == 0) {
        memory::release(poi);
        poi = nullptr;
        amemsize = 0;
        return;
    }
    void* block = memory::allocZeroed(wanted);
    if (!block) {
        // Keeping the larger block is harmless: the records are all still in it.
        reportAllocFailure(3, wanted);
        return;
    }
    std::memcpy(block, poi, wanted);
    memory::release(poi);
    poi = static_cast<std::uint8_t*>(block);
    amemsize = static_cast<std::uint32_t>(wanted);
}

void* TDynaArray::Add() {
    if (count == std::numeric_limits<std::uint32_t>::max()) {
        return nullptr;
    }
    ++count;
    const Growth growth = grow();
    if (growth == Growth::Failed) {
        --count;
        return nullptr;
    }
    if (growth == Growth::Unchanged) {
        // The slot may still hold the bytes of a record deleted earlier.
        std::memset(recordAt(count - 1), 0, size);
    }
    return GetObject(count - 1);
}

void* TDynaArray::AddMany(std::uint32_t n) {
    if (n == 0 || n > std::numeric_limits<std::uint32_t>::max() - count) {
        return nullptr;
    }
    const std::uint32_t first = count;
    const std::uint64_t oldBytes = amemsize;
    count += n;
    const Growth growth = grow();
    if (growth == Growth::Failed) {
        count = first;
        return nullptr;
    }
    // A new block is zero beyond what was copied; the old block's slots may still hold the
    // bytes of records deleted earlier.
    const std::uint64_t from = std::uint64_t(first) * size;
    const std::uint64_t to =
        growth == Growth::Unchanged ? std::uint64_t(count) * size : std::max(from, oldBytes);
    if (to > from) {
        std::memset(poi + from, 0, to - from);
    }
    return recordAt(first);
}

void* TDynaArray::Insert(std::int32_t nr) {
    if (nr < 0 || std::uint32_t(nr) > count || count == std::numeric_limits<std::uint32_t>::max()) {
        return nullptr;
    }
    ++count;
    if (grow() == Growth::Failed) {
        --count;
        return nullptr;
    }
    std::uint8_t* at = static_cast<std::uint8_t*>(recordAt(std::uint32_t(nr)));
    std::memmove(at + size, at, std::size_t(count - std::uint32_t(nr) - 1) * size);
    std::memset(at, 0, size);
    return GetObject(std::uint32_t(nr));
}

void TDynaArray::Delete(std::int32_t nr) {
    if (nr < 0 || std::int64_t(nr) > std::int64_t(count) - 1) {
        return;
    }
    for (std::uint32_t i = std::uint32_t(nr) + 1; i < count; ++i) {
        std::memcpy(recordAt(i - 1), recordAt(i), size);
    }
    --count;
    AllocLessMem();
    aobjnr = -1;
    setCurrent(nullptr);
}

void TDynaArray::Change(std::int32_t nr1, std::int32_t nr2) {
    const std::int64_t last = std::int64_t(count) - 1;
    if (nr1 < 0 || nr2 < 0 || nr1 > last || nr2 > last) {
        return;
    }
    auto* a = static_cast<std::uint8_t*>(recordAt(std::uint32_t(nr1)));
    auto* b = static_cast<std::uint8_t*>(recordAt(std::uint32_t(nr2)));
    if (a != b) {
        for (std::uint32_t i = 0; i < size; ++i) {
            const std::uint8_t t = a[i];
            a[i] = b[i];
            b[i] = t;
        }
    }
    GetObject(std::uint32_t(nr2));
}

void TDynaArray::Clear() {
    memory::release(poi);
    poi = nullptr;
    count = 0;
    amemsize = 0;
    aobjnr = -1;
    setCurrent(nullptr);
}

void TDynaArray::First() {
    if (count > 0) {
        GetObject(0);
    }
}

bool TDynaArray::Next() {
    if (count == 0 || aobjnr < -1 || std::int64_t(aobjnr) >= std::int64_t(count) - 1) {
        return false;
    }
    GetObject(std::uint32_t(aobjnr + 1));
    return true;
}

bool TDynaArray::WhileNext() {
    if (count == 0 || aobjnr < 0 || std::int64_t(aobjnr) > std::int64_t(count) - 1) {
        return false;
    }
    GetObject(std::uint32_t(aobjnr));
    ++aobjnr;
    return true;
}

void TDynaArray::swapRecords(TDynaArray& other) {
    std::swap(poi, other.poi);
    std::swap(count, other.count);
    std::swap(amemsize, other.amemsize);
    std::swap(size, other.size);
    aobjnr = -1;
    setCurrent(nullptr);
    other.aobjnr = -1;
    other.setCurrent(nullptr);
}
