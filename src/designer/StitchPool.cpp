#include "StitchPool.h"

#include "designer/TStich.h"
#include "foundation/Memory.h"
#include "foundation/OwnedText.h"
#include "foundation/grafikrw3/grafikrw3.h"

#include <QHash>

#include <cstring>
#include <new>

namespace {

std::u16string_view textView(const char16_t* text) {
    return text ? std::u16string_view(text, std::size_t(ownedTextLength(text)))
                : std::u16string_view();
}

char16_t* ownedCopy(std::u16string_view text) {
    auto* copy = static_cast<char16_t*>(memory::allocZeroed((text.size() + 1) * sizeof(char16_t)));
    if (copy && !text.empty()) {
        std::memcpy(copy, text.data(), text.size() * sizeof(char16_t));
    }
    return copy;
}

constexpr std::size_t kSeed = 0x9e3779b97f4a7c15ull;

std::size_t hashTexts(const StitchContent& c, std::size_t seed) {
    for (std::u16string_view text : {c.bezeichnung, c.abkuerzung, c.hinreihe, c.rueckreihe}) {
        seed = qHashBits(text.data(), text.size() * sizeof(char16_t), seed) * 31 + text.size();
    }
    return seed;
}

std::size_t hashRows(const StitchContent& c, std::size_t seed) {
    if (c.width <= 0 || !c.rows) {
        return seed;
    }
    return qHashBits(c.rows, std::size_t(c.height) * std::size_t(c.bytew), seed);
}

} // namespace

StitchContent StitchContent::of(const TStich& stich, const dib& picture) {
    StitchContent c;
    c.bezeichnung = textView(stich.bezeichnung);
    c.abkuerzung = textView(stich.abkuerzung);
    c.hinreihe = textView(stich.hinreihe);
    c.rueckreihe = textView(stich.rueckreihe);
    if (picture.poi) {
        c.width = DIBWidth(picture);
        c.height = DIBHeight(picture);
        c.bits = DIBBitCount(picture);
        c.colors = picture.pmi->colors();
        c.colorCount = std::int32_t(DIBColorTableSize(picture));
        c.rows = picture.poi;
        c.bytew = picture.bytew;
    }
    return c;
}

StitchContent StitchContent::of(const SharedStitch& stich) {
    TStich texts;
    texts.bezeichnung = stich.bezeichnung;
    texts.abkuerzung = stich.abkuerzung;
    texts.hinreihe = stich.hinreihe;
    texts.rueckreihe = stich.rueckreihe;
    return of(texts, stich.di);
}

std::uint64_t StitchPool::contentKeyOf(const StitchContent& c) {
    std::size_t key = hashTexts(c, kSeed);
    key = qHashMulti(key, c.width, c.height, c.bits, c.colorCount);
    if (c.colorCount > 0) {
        key = qHashBits(c.colors, std::size_t(c.colorCount) * sizeof(RGBQUAD), key);
    }
    return hashRows(c, key);
}

std::uint64_t StitchPool::legendKeyOf(const StitchContent& c) {
    std::size_t key = hashTexts(c, kSeed);
    key = qHashMulti(key, c.width > 0 ? c.bytew : 0, c.width > 0 ? c.height : 0);
    key = hashRows(c, key);
    return key == 0 ? 1 : key; // 0 stands for "none" in the legend bookkeeping
}

bool StitchPool::sameLegendLine(const SharedStitch& a, const SharedStitch& b) {
    if (&a == &b) {
        return true;
    }
    if (a.legendKey != b.legendKey || textView(a.bezeichnung) != textView(b.bezeichnung) ||
        textView(a.abkuerzung) != textView(b.abkuerzung) ||
        textView(a.hinreihe) != textView(b.hinreihe) ||
        textView(a.rueckreihe) != textView(b.rueckreihe) || !a.di.poi != !b.di.poi) {
        return false;
    }
    if (!a.di.poi) {
        return true;
    }
    const std::int32_t height = DIBHeight(a.di);
    return a.di.bytew == b.di.bytew && height == DIBHeight(b.di) &&
           std::memcmp(a.di.poi, b.di.poi, std::size_t(height) * std::size_t(a.di.bytew)) == 0;
}

bool StitchPool::matches(const SharedStitch& record, const StitchContent& c) {
    if (textView(record.bezeichnung) != c.bezeichnung ||
        textView(record.abkuerzung) != c.abkuerzung || textView(record.hinreihe) != c.hinreihe ||
        textView(record.rueckreihe) != c.rueckreihe) {
        return false;
    }
    const dib& d = record.di;
    if (c.width <= 0) {
        return !d.poi;
    }
    return d.poi && DIBWidth(d) == c.width && DIBHeight(d) == c.height &&
           DIBBitCount(d) == c.bits && d.bytew == c.bytew &&
           std::memcmp(d.pmi->colors(), c.colors, std::size_t(c.colorCount) * 4) == 0 &&
           std::memcmp(d.poi, c.rows, std::size_t(c.height) * std::size_t(c.bytew)) == 0;
}

std::uint64_t StitchPool::recordBytes(const SharedStitch& r) {
    std::uint64_t bytes = sizeof(SharedStitch);
    for (const char16_t* text : {r.bezeichnung, r.abkuerzung, r.hinreihe, r.rueckreihe}) {
        bytes += std::uint64_t(ownedTextLength(text) + 1) * sizeof(char16_t);
    }
    if (r.di.poi) {
        bytes += sizeof(BITMAPINFOHEADER) + DIBColorTableSize(r.di) * sizeof(RGBQUAD) +
                 std::uint64_t(DIBHeight(r.di)) * std::uint64_t(r.di.bytew);
    }
    return bytes;
}

SharedStitch* StitchPool::make(const StitchContent& c, std::uint64_t key) {
    auto* record = new (std::nothrow) SharedStitch;
    if (!record) {
        return nullptr;
    }
    record->bezeichnung = ownedCopy(c.bezeichnung);
    record->abkuerzung = ownedCopy(c.abkuerzung);
    record->hinreihe = ownedCopy(c.hinreihe);
    record->rueckreihe = ownedCopy(c.rueckreihe);
    bool ok = record->bezeichnung && record->abkuerzung && record->hinreihe && record->rueckreihe;
    if (ok && c.width > 0) {
        // The colour table goes in as the picture's information block, as newdib expects.
        struct {
            BITMAPINFOHEADER header;
            RGBQUAD colors[256];
        } info{};
        std::memcpy(info.colors, c.colors, std::size_t(c.colorCount) * sizeof(RGBQUAD));
        grafikrw3::newdib(&record->di, c.width, c.height, c.bits,
                          reinterpret_cast<const BITMAPINFO*>(&info), c.colorCount);
        ok = record->di.poi && record->di.bytew == c.bytew;
        if (ok) {
            std::memcpy(record->di.poi, c.rows, std::size_t(c.height) * std::size_t(c.bytew));
        }
    }
    record->contentKey = key;
    record->legendKey = legendKeyOf(c);
    if (!ok) {
        destroy(record);
        return nullptr;
    }
    bytes_ += recordBytes(*record);
    return record;
}

void StitchPool::destroy(SharedStitch* record) {
    freeOwnedText(record->bezeichnung);
    freeOwnedText(record->abkuerzung);
    freeOwnedText(record->hinreihe);
    freeOwnedText(record->rueckreihe);
    FreeDIB(record->di);
    delete record;
}

const SharedStitch* StitchPool::share(const StitchContent& content, const SharedStitch* hint) {
    if (hint && matches(*hint, content)) {
        retain(hint);
        return hint;
    }
    const std::uint64_t key = contentKeyOf(content);
    const auto [first, last] = records_.equal_range(key);
    for (auto it = first; it != last; ++it) {
        if (matches(*it->second, content)) {
            ++it->second->refs;
            return it->second;
        }
    }
    SharedStitch* record = make(content, key);
    if (record) {
        record->refs = 1;
        records_.emplace(key, record);
    }
    return record;
}

void StitchPool::retain(const SharedStitch* record, std::uint32_t count) {
    if (record) {
        // The pool made every record and hands out const pointers; only the count changes.
        const_cast<SharedStitch*>(record)->refs += count;
    }
}

void StitchPool::release(const SharedStitch* record) {
    if (!record || --const_cast<SharedStitch*>(record)->refs > 0) {
        return;
    }
    const auto [first, last] = records_.equal_range(record->contentKey);
    for (auto it = first; it != last; ++it) {
        if (it->second == record) {
            bytes_ -= recordBytes(*record);
            destroy(it->second);
            records_.erase(it);
            return;
        }
    }
}

StitchPool::~StitchPool() {
    for (auto& [key, record] : records_) {
        destroy(record);
    }
}
