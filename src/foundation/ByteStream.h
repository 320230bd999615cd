#pragma once

#include "Progress.h"

#include <QtEndian>

#include <cstdint>
#include <cstring>
#include <memory>

class QIODevice;

// Releases the byte streams' buffers, which are aligned so that files written in whole blocks
// can go to the disk straight from them (DirectFileWriter).
struct AlignedBlockFree {
    void operator()(std::uint8_t* block) const;
};
using AlignedBlock = std::unique_ptr<std::uint8_t[], AlignedBlockFree>;

// Little-endian reading of the program's binary files from any device (file, buffer).
// Every read checks that the bytes are there: a short read fails and leaves the target as it
// was, and once a read failed every further read fails too, so a parser may check once at the
// end of a record.
//
// The device is read in large blocks into a buffer: a file of a million small fields costs a
// few thousand device calls, not millions. Progress is reported per block.
class ByteReader {
public:
    static constexpr std::int64_t kDefaultBufferBytes = std::int64_t(1) << 20;

    // `size` is the number of bytes the device holds from its current position; no more than
    // that is taken from it.
    ByteReader(QIODevice& device, std::int64_t size, ProgressCallback progress = {},
               std::int64_t bufferBytes = kDefaultBufferBytes);
    ~ByteReader();
    ByteReader(const ByteReader&) = delete;
    ByteReader& operator=(const ByteReader&) = delete;

    bool readBytes(void* target, std::int64_t count);
    bool readInt32(std::int32_t& value) { return readLittleEndian(value); }
    bool readUInt8(std::uint8_t& value) { return readLittleEndian(value); }
    bool readDouble(double& value);
    // A byte that must be 0 or 1.
    bool readFlag(bool& value);

    // The next `count` bytes in place, without copying them out: valid until the next call on
    // this reader. Only for counts up to viewLimit(). Null when the bytes are not there (the
    // stream has then failed).
    const std::uint8_t* view(std::int64_t count);
    std::int64_t viewLimit() const { return capacity_; }

    // Passes over the next `count` bytes. What lies beyond the buffer is not read at all from
    // a device that can seek.
    bool skip(std::int64_t count);

    std::int64_t remaining() const { return size_ - position_; }
    bool atEnd() const { return position_ >= size_; }
    bool ok() const { return ok_; }
    // Marks the stream as damaged (a value was read but is not acceptable).
    void fail() { ok_ = false; }
    // False once the user stopped the work through the progress callback.
    bool stopped() const { return progress_.stopped(); }

private:
    template <class T>
    bool readLittleEndian(T& value) {
        if (ok_ && end_ - begin_ >= std::int64_t(sizeof(T))) {
            value = qFromLittleEndian<T>(buffer_ + begin_);
            consume(sizeof(T));
            return true;
        }
        std::uint8_t b[sizeof(T)];
        if (!readBytes(b, sizeof(T))) {
            return false;
        }
        value = qFromLittleEndian<T>(b);
        return true;
    }
    void consume(std::int64_t count) {
        begin_ += count;
        position_ += count;
    }
    // Makes at least `count` (up to the capacity) unread bytes lie together in the buffer.
    bool fill(std::int64_t count);
    // Reads straight from the device into `target`, past the buffer.
    bool readDirect(std::uint8_t* target, std::int64_t count);
    bool fetched(std::int64_t count);

    QIODevice& device_;
    std::int64_t size_;
    std::int64_t position_ = 0; // bytes handed out
    std::int64_t taken_ = 0;    // bytes taken from the device
    bool ok_ = true;
    ProgressReporter progress_;
    AlignedBlock ownBuffer_;
    std::uint8_t smallBuffer_[256];
    std::uint8_t* buffer_ = smallBuffer_;
    std::int64_t capacity_ = sizeof smallBuffer_;
    std::int64_t begin_ = 0; // unread bytes are buffer_[begin_, end_)
    std::int64_t end_ = 0;
};

// Little-endian writing into a buffer that goes to the device in large blocks. flush() hands
// the rest over; the destructor flushes too, but only flush() tells whether that worked. After
// the first failed write every further write fails too.
class ByteWriter {
public:
    static constexpr std::int64_t kDefaultBufferBytes = std::int64_t(1) << 20;

    explicit ByteWriter(QIODevice& device, std::int64_t bufferBytes = kDefaultBufferBytes);
    ~ByteWriter();
    ByteWriter(const ByteWriter&) = delete;
    ByteWriter& operator=(const ByteWriter&) = delete;

    bool writeBytes(const void* source, std::int64_t count) {
        if (ok_ && count > 0 && capacity_ - used_ >= count) {
            std::memcpy(buffer_ + used_, source, std::size_t(count));
            used_ += count;
            return true;
        }
        return writeSlow(source, count);
    }
    bool writeInt32(std::int32_t value) { return writeLittleEndian(value); }
    bool writeUInt8(std::uint8_t value) { return writeLittleEndian(value); }
    bool writeDouble(double value);
    bool writeFlag(bool value) { return writeUInt8(value ? 1 : 0); }

    // Hands everything written so far to the device; false once any write failed.
    bool flush();
    bool ok() const { return ok_; }

private:
    template <class T>
    bool writeLittleEndian(T value) {
        std::uint8_t b[sizeof(T)];
        qToLittleEndian(value, b);
        return writeBytes(b, sizeof(T));
    }
    bool writeSlow(const void* source, std::int64_t count);

    QIODevice& device_;
    bool ok_ = true;
    AlignedBlock ownBuffer_;
    std::uint8_t smallBuffer_[256];
    std::uint8_t* buffer_ = smallBuffer_;
    std::int64_t capacity_ = sizeof smallBuffer_;
    std::int64_t used_ = 0;
};
