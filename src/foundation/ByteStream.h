#pragma once

#include "Progress.h"

#include <cstdint>
#include <cstring>

class QIODevice;

// Little-endian reading of the program's binary files from any device (file, buffer).
// Every read checks that the bytes are there: a short read fails and leaves the target as it
// was, and once a read failed every further read fails too, so a parser may check once at the
// end of a record.
class ByteReader {
public:
    // `size` is the number of bytes the device holds from its current position.
    ByteReader(QIODevice& device, std::int64_t size, ProgressCallback progress = {});

    bool readBytes(void* target, std::int64_t count);
    bool readInt32(std::int32_t& value);
    bool readUInt8(std::uint8_t& value);
    bool readDouble(double& value);
    // A byte that must be 0 or 1.
    bool readFlag(bool& value);

    std::int64_t remaining() const { return size_ - position_; }
    bool atEnd() const { return position_ >= size_; }
    bool ok() const { return ok_; }
    // Marks the stream as damaged (a value was read but is not acceptable).
    void fail() { ok_ = false; }
    // False once the user stopped the work through the progress callback.
    bool stopped() const { return progress_.stopped(); }

private:
    QIODevice& device_;
    std::int64_t size_;
    std::int64_t position_ = 0;
    bool ok_ = true;
    ProgressReporter progress_;
};

// Little-endian writing; after the first failed write every further write fails too.
class ByteWriter {
public:
    explicit ByteWriter(QIODevice& device) : device_(device) {}

    bool writeBytes(const void* source, std::int64_t count);
    bool writeInt32(std::int32_t value);
    bool writeUInt8(std::uint8_t value);
    bool writeDouble(double value);
    bool writeFlag(bool value) { return writeUInt8(value ? 1 : 0); }

    bool ok() const { return ok_; }

private:
    QIODevice& device_;
    bool ok_ = true;
};
