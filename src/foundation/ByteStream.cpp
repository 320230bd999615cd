#include "ByteStream.h"

#include <QIODevice>

#include <algorithm>
#include <bit>
#include <cstdlib>

void AlignedBlockFree::operator()(std::uint8_t* block) const {
    std::free(block);
}

namespace {

constexpr std::int64_t kBlockAlignment = 4096;

// A buffer of `wanted` bytes when that is more than the small one built in; without memory
// the small one serves, only with more device calls.
std::int64_t takeBuffer(AlignedBlock& own, std::uint8_t*& buffer, std::int64_t small,
                        std::int64_t wanted) {
    if (wanted <= small) {
        return small;
    }
    const std::int64_t rounded = (wanted + kBlockAlignment - 1) / kBlockAlignment * kBlockAlignment;
    own.reset(
        static_cast<std::uint8_t*>(std::aligned_alloc(kBlockAlignment, std::size_t(rounded))));
    if (!own) {
        return small;
    }
    buffer = own.get();
    return wanted;
}

} // namespace

ByteReader::ByteReader(QIODevice& device, std::int64_t size, ProgressCallback progress,
                       std::int64_t bufferBytes)
    : device_(device), size_(std::max<std::int64_t>(size, 0)), progress_(std::move(progress)) {
    // A small file needs no more buffer than its own size.
    capacity_ = takeBuffer(ownBuffer_, buffer_, capacity_,
                           std::min(std::max(bufferBytes, capacity_), size_));
}

ByteReader::~ByteReader() = default;

bool ByteReader::fetched(std::int64_t count) {
    taken_ += count;
    if (!progress_.report(taken_, size_)) {
        ok_ = false;
    }
    return ok_;
}

bool ByteReader::fill(std::int64_t count) {
    if (begin_ > 0) {
        std::memmove(buffer_, buffer_ + begin_, std::size_t(end_ - begin_));
        end_ -= begin_;
        begin_ = 0;
    }
    while (end_ < count) {
        const std::int64_t wanted = std::min(capacity_ - end_, size_ - taken_);
        const qint64 got =
            wanted > 0 ? device_.read(reinterpret_cast<char*>(buffer_ + end_), wanted) : 0;
        if (got <= 0) {
            ok_ = false;
            return false;
        }
        end_ += got;
        if (!fetched(got)) {
            return false;
        }
    }
    return true;
}

bool ByteReader::readDirect(std::uint8_t* target, std::int64_t count) {
    std::int64_t done = 0;
    while (done < count) {
        const qint64 got = device_.read(reinterpret_cast<char*>(target + done), count - done);
        if (got <= 0) {
            ok_ = false;
            return false;
        }
        done += got;
        if (!fetched(got)) {
            return false;
        }
    }
    position_ += count;
    return true;
}

bool ByteReader::readBytes(void* target, std::int64_t count) {
    if (!ok_ || count < 0 || count > remaining()) {
        ok_ = false;
        return false;
    }
    auto* out = static_cast<std::uint8_t*>(target);
    const std::int64_t buffered = end_ - begin_;
    if (count <= buffered) {
        std::memcpy(out, buffer_ + begin_, std::size_t(count));
        consume(count);
        return true;
    }
    // What the buffer holds, then the rest: large blocks straight into the target.
    std::memcpy(out, buffer_ + begin_, std::size_t(buffered));
    consume(buffered);
    begin_ = end_ = 0;
    out += buffered;
    count -= buffered;
    if (count >= capacity_) {
        return readDirect(out, count);
    }
    if (!fill(count)) {
        return false;
    }
    std::memcpy(out, buffer_, std::size_t(count));
    consume(count);
    return true;
}

const std::uint8_t* ByteReader::view(std::int64_t count) {
    if (!ok_ || count < 0 || count > remaining() || count > capacity_) {
        ok_ = false;
        return nullptr;
    }
    if (end_ - begin_ < count && !fill(count)) {
        return nullptr;
    }
    const std::uint8_t* bytes = buffer_ + begin_;
    consume(count);
    return bytes;
}

bool ByteReader::skip(std::int64_t count) {
    if (!ok_ || count < 0 || count > remaining()) {
        ok_ = false;
        return false;
    }
    while (count > end_ - begin_) {
        count -= end_ - begin_;
        consume(end_ - begin_);
        begin_ = end_ = 0;
        if (!device_.isSequential()) {
            if (!device_.seek(device_.pos() + count)) {
                ok_ = false;
                return false;
            }
            position_ += count;
            return fetched(count);
        }
        if (!fill(std::min(count, capacity_))) {
            return false;
        }
    }
    consume(count);
    return true;
}

bool ByteReader::readDouble(double& value) {
    std::uint64_t bits = 0;
    if (!readLittleEndian(bits)) {
        return false;
    }
    value = std::bit_cast<double>(bits);
    return true;
}

bool ByteReader::readFlag(bool& value) {
    std::uint8_t b = 0;
    if (!readUInt8(b)) {
        return false;
    }
    if (b > 1) {
        ok_ = false;
        return false;
    }
    value = b == 1;
    return true;
}

ByteWriter::ByteWriter(QIODevice& device, std::int64_t bufferBytes) : device_(device) {
    capacity_ = takeBuffer(ownBuffer_, buffer_, capacity_, bufferBytes);
}

ByteWriter::~ByteWriter() {
    flush();
}

bool ByteWriter::flush() {
    if (ok_ && used_ > 0) {
        ok_ = device_.write(reinterpret_cast<const char*>(buffer_), used_) == used_;
    }
    used_ = 0;
    return ok_;
}

bool ByteWriter::writeSlow(const void* source, std::int64_t count) {
    if (!ok_ || count <= 0) {
        return ok_;
    }
    // Fill the buffer up and hand it over; a large rest goes to the device straight from the
    // source.
    const auto* in = static_cast<const std::uint8_t*>(source);
    const std::int64_t room = capacity_ - used_;
    std::memcpy(buffer_ + used_, in, std::size_t(room));
    used_ += room;
    in += room;
    count -= room;
    if (!flush()) {
        return false;
    }
    if (count >= capacity_) {
        ok_ = device_.write(reinterpret_cast<const char*>(in), count) == count;
        return ok_;
    }
    std::memcpy(buffer_, in, std::size_t(count));
    used_ = count;
    return true;
}

bool ByteWriter::writeDouble(double value) {
    return writeLittleEndian(std::bit_cast<std::uint64_t>(value));
}
