#include "ProjectExtensions.h"

#include "foundation/ByteStream.h"

#include <QtEndian>

#include <zlib.h>

#include <array>
#include <cstring>

namespace ProjectExtensions {

namespace {

constexpr std::int32_t kRepeatVersion = 1;
constexpr std::int32_t kRepeatFields = 4;
constexpr std::int32_t kRepeatBytes = kRepeatFields * 4 + 4;
// Tag, version and length.
constexpr std::int64_t kHeaderBytes = 12;

std::uint32_t checksum(const std::uint8_t* bytes, std::size_t count) {
    return std::uint32_t(crc32(crc32(0, nullptr, 0), bytes, uInt(count)));
}

const QString kDamagedRepeat =
    QStringLiteral("Die Angaben zum Rapport sind beschädigt; die Strickschrift wurde ohne "
                   "Rapport geladen.");

} // namespace

void write(ByteWriter& out, const CellBlock& repeat) {
    if (repeat.isEmpty()) {
        return;
    }
    std::array<std::uint8_t, kRepeatBytes> payload{};
    const std::int32_t fields[kRepeatFields] = {repeat.top, repeat.left, repeat.rows,
                                                repeat.columns};
    for (int k = 0; k < kRepeatFields; ++k) {
        qToLittleEndian(fields[k], payload.data() + 4 * k);
    }
    qToLittleEndian(checksum(payload.data(), kRepeatFields * 4),
                    payload.data() + kRepeatFields * 4);
    out.writeBytes(kRepeatTag, 4);
    out.writeInt32(kRepeatVersion);
    out.writeInt32(kRepeatBytes);
    out.writeBytes(payload.data(), kRepeatBytes);
}

Found read(ByteReader& in, std::int32_t rows, std::int32_t columns) {
    Found found;
    while (!in.atEnd()) {
        char tag[4];
        std::int32_t version = 0;
        std::int32_t length = 0;
        if (in.remaining() < kHeaderBytes || !in.readBytes(tag, 4) || !in.readInt32(version) ||
            !in.readInt32(length) || length < 0 || length > in.remaining()) {
            found.notes << QStringLiteral("Das Ende der Datei ist beschädigt; was dort stand, "
                                          "wurde übergangen.");
            break;
        }
        if (std::memcmp(tag, kRepeatTag, 4) != 0) {
            found.notes << QStringLiteral("Die Datei enthält Angaben einer neueren "
                                          "Programmversion; sie wurden übergangen.");
            in.skip(length);
            continue;
        }
        if (version != kRepeatVersion) {
            found.notes << QStringLiteral("Der Rapport ist in einer neueren Form gespeichert; "
                                          "die Strickschrift wurde ohne Rapport geladen.");
            in.skip(length);
            continue;
        }
        std::array<std::uint8_t, kRepeatBytes> payload{};
        if (length != kRepeatBytes || !in.readBytes(payload.data(), kRepeatBytes)) {
            found.notes << kDamagedRepeat;
            in.skip(length);
            continue;
        }
        CellBlock repeat;
        std::int32_t* fields[kRepeatFields] = {&repeat.top, &repeat.left, &repeat.rows,
                                               &repeat.columns};
        for (int k = 0; k < kRepeatFields; ++k) {
            *fields[k] = qFromLittleEndian<std::int32_t>(payload.data() + 4 * k);
        }
        const bool sound = qFromLittleEndian<std::uint32_t>(payload.data() + kRepeatFields * 4) ==
                               checksum(payload.data(), kRepeatFields * 4) &&
                           !repeat.isEmpty() && repeat.clippedTo(rows, columns) == repeat;
        if (sound) {
            found.repeat = repeat;
        } else {
            found.notes << kDamagedRepeat;
        }
    }
    found.notes.removeDuplicates();
    return found;
}

} // namespace ProjectExtensions
