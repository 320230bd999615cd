#pragma once

#include "designer/SharedStitch.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unordered_map>

struct TStich;

// A stitch's content wherever it lies (a library stitch, a cut copy of its picture, a file
// being read), described without owning it, for finding or making the record that holds the
// same.
struct StitchContent {
    std::u16string_view bezeichnung, abkuerzung, hinreihe, rueckreihe;
    // The picture; a width of 0 stands for "no picture". The rows are `height` rows of `bytew`
    // bytes, bottom row first, padding included; `colors` holds the palette pictures' table.
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t bits = 0;
    const RGBQUAD* colors = nullptr;
    std::int32_t colorCount = 0;
    const std::uint8_t* rows = nullptr;
    std::int32_t bytew = 0;

    // The texts of `stich` with `picture` (the stitch's own or a cut copy).
    static StitchContent of(const TStich& stich, const dib& picture);
    static StitchContent of(const SharedStitch& stich);
};

// The shared stitch records of one chart document, found by content.
//
// Ownership: the pool owns every record. Each holder (a chart cell, a record of a copy buffer,
// and whatever else keeps cells for later) owns one reference: it takes it with share() or
// retain() and gives it back with release() exactly once; the last release frees the record.
// Records are moved as plain pointers inside the holders' records, which does not change the
// count. Equal content means byte-equal texts, size, depth, colour table and pixel rows, so
// writing a cell's shared record gives the same bytes as writing a private copy would.
//
// Library stitches are never shared: placing one shares a copy of its content, and editing the
// library afterwards leaves every cell as it was.
class StitchPool {
public:
    StitchPool() = default;
    // Frees whatever is left; by then no holder may remain.
    ~StitchPool();
    StitchPool(const StitchPool&) = delete;
    StitchPool& operator=(const StitchPool&) = delete;

    // A reference to the record holding exactly `content`; a new record holding copies is made
    // when there is none. `hint`, when given, is compared first: a record the caller expects
    // to match (the previous cell's), which spares computing the fingerprint. Null when memory
    // ran out.
    const SharedStitch* share(const StitchContent& content, const SharedStitch* hint = nullptr);
    // One more reference to `record` (`count` more); null is ignored.
    static void retain(const SharedStitch* record, std::uint32_t count = 1);
    // Gives one reference back; the last one frees the record. Null is ignored.
    void release(const SharedStitch* record);

    // Records held, and the memory they take (texts and pictures).
    std::size_t size() const { return records_.size(); }
    std::uint64_t bytes() const { return bytes_; }

    // Memory one record takes (texts and picture).
    static std::uint64_t recordBytes(const SharedStitch& record);

    // Fingerprints as kept in the records.
    static std::uint64_t contentKeyOf(const StitchContent& content);
    static std::uint64_t legendKeyOf(const StitchContent& content);

    // Whether two records make the same legend line: equal texts and pictures of the same row
    // length, height and pixel bytes. Equal fingerprints are confirmed by the contents, as
    // different stitches may share one.
    static bool sameLegendLine(const SharedStitch& a, const SharedStitch& b);

private:
    static bool matches(const SharedStitch& record, const StitchContent& content);
    SharedStitch* make(const StitchContent& content, std::uint64_t key);
    void destroy(SharedStitch* record);

    std::unordered_multimap<std::uint64_t, SharedStitch*> records_;
    std::uint64_t bytes_ = 0;
};
