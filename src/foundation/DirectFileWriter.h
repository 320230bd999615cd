#pragma once

#include <QIODevice>

#include <cstdint>

class QFileDevice;

// Writes into an open, empty file in large aligned blocks that bypass the system's file cache
// (direct I/O). Saving a file of gigabytes then takes what the disk takes, instead of first
// copying every byte into the cache, which must make room for it and write it all back before
// the save may count as done. Where the file system refuses direct I/O, or the device is not a
// file of the system, the same bytes are written the ordinary way.
//
// It is a device of its own, so the program's writers use it like the file: write everything,
// then finish(), then close or commit the file.
class DirectFileWriter : public QIODevice {
public:
    // Blocks go to the disk this large; sizes and addresses are multiples of kAlignment.
    static constexpr std::int64_t kBlockBytes = std::int64_t(1) << 20;
    static constexpr std::int64_t kAlignment = 4096;

    explicit DirectFileWriter(QFileDevice& file);
    ~DirectFileWriter() override;
    DirectFileWriter(const DirectFileWriter&) = delete;
    DirectFileWriter& operator=(const DirectFileWriter&) = delete;

    // Writes what is still held back and gives the file its exact length; false when any
    // write failed. Nothing may be written afterwards.
    bool finish();

    // True while blocks go past the cache (for tests).
    bool direct() const { return direct_; }

    // Bytes go out in the order they come: a writer that seeks back fails instead of writing
    // in the wrong place.
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 len) override;

private:
    bool writeBlocks(const std::uint8_t* data, std::int64_t len);
    void setDirect(bool on);

    QFileDevice& file_;
    int fd_ = -1;
    bool direct_ = false;
    bool failed_ = false;
    std::uint8_t* block_ = nullptr; // aligned, kBlockBytes
    std::int64_t used_ = 0;
    std::int64_t length_ = 0; // bytes taken from the writers
};
