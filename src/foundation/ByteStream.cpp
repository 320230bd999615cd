#include "ByteStream.h"

#include <QIODevice>
#include <QtEndian>

#include <bit>

ByteReader::ByteReader(QIODevice& device, std::int64_t size, ProgressCallback progress)
    : device_(device), size_(size), progress_(std::move(progress)) {}

bool ByteReader::readBytes(void* target, std::int64_t count) {
    if (!ok_ || count < 0 || count > remaining()) {
        ok_ = false;
        return false;
    }
    auto* bytes = static_cast<char*>(target);
    std::int64_t done = 0;
    while (done < count) {
        const qint64 got = device_.read(bytes + done, count - done);
        if (got <= 0) {
            ok_ = false;
            return false;
        }
        done += got;
    }
    position_ += count;
    if (!progress_.report(position_, size_)) {
        ok_ = false;
    }
    return ok_;
}

bool ByteReader::readInt32(std::int32_t& value) {
    std::uint8_t b[4];
    if (!readBytes(b, 4)) {
        return false;
    }
    value = qFromLittleEndian<std::int32_t>(b);
    return true;
}

bool ByteReader::readUInt8(std::uint8_t& value) {
    return readBytes(&value, 1);
}

bool ByteReader::readDouble(double& value) {
    std::uint8_t b[8];
    if (!readBytes(b, 8)) {
        return false;
    }
    value = std::bit_cast<double>(qFromLittleEndian<std::uint64_t>(b));
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

bool ByteWriter::writeBytes(const void* source, std::int64_t count) {
    if (ok_ && count > 0) {
        ok_ = device_.write(static_cast<const char*>(source), count) == count;
    }
    return ok_;
}

bool ByteWriter::writeInt32(std::int32_t value) {
    std::uint8_t b[4];
    qToLittleEndian(value, b);
    return writeBytes(b, 4);
}

bool ByteWriter::writeUInt8(std::uint8_t value) {
    return writeBytes(&value, 1);
}

bool ByteWriter::writeDouble(double value) {
    std::uint8_t b[8];
    qToLittleEndian(std::bit_cast<std::uint64_t>(value), b);
    return writeBytes(b, 8);
}
