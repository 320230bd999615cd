#include "DirectFileWriter.h"

#include <QFileDevice>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

DirectFileWriter::DirectFileWriter(QFileDevice& file) : file_(file) {
    file_.flush();
    fd_ = file_.handle();
    if (fd_ >= 0) {
        block_ = static_cast<std::uint8_t*>(std::aligned_alloc(kAlignment, kBlockBytes));
    }
    if (block_) {
        setDirect(true);
    }
    QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

DirectFileWriter::~DirectFileWriter() {
    if (direct_) {
        setDirect(false);
    }
    std::free(block_);
}

void DirectFileWriter::setDirect(bool on) {
#ifdef O_DIRECT
    const int flags = fcntl(fd_, F_GETFL);
    const bool changed =
        flags >= 0 && fcntl(fd_, F_SETFL, on ? flags | O_DIRECT : flags & ~O_DIRECT) == 0;
    direct_ = on && changed;
#else
    (void)on;
    direct_ = false;
#endif
}

qint64 DirectFileWriter::readData(char*, qint64) {
    return -1;
}

bool DirectFileWriter::writeBlocks(const std::uint8_t* data, std::int64_t len) {
    std::int64_t done = 0;
    while (done < len) {
        const ssize_t n = ::write(fd_, data + done, std::size_t(len - done));
        if (n > 0) {
            done += n;
        } else if (n < 0 && errno == EINVAL && direct_) {
            // The file system takes no direct I/O after all (nothing was written): the
            // ordinary way then, for the rest of the file.
            setDirect(false);
        } else if (!(n < 0 && errno == EINTR)) {
            failed_ = true;
            return false;
        }
    }
    return true;
}

qint64 DirectFileWriter::writeData(const char* data, qint64 len) {
    if (failed_) {
        return -1;
    }
    if (!block_) { // not a file of the system: its own writing
        const qint64 written = file_.write(data, len);
        failed_ = written != len;
        length_ += std::max<qint64>(written, 0);
        return written;
    }
    const auto* in = reinterpret_cast<const std::uint8_t*>(data);
    std::int64_t left = len;
    while (left > 0) {
        if (used_ == 0 && left >= kAlignment &&
            reinterpret_cast<std::uintptr_t>(in) % kAlignment == 0) {
            // Whole aligned blocks go straight from the writer's buffer, without a copy.
            const std::int64_t whole = left - left % kAlignment;
            if (!writeBlocks(in, whole)) {
                return -1;
            }
            in += whole;
            left -= whole;
            continue;
        }
        const std::int64_t n = std::min(left, kBlockBytes - used_);
        std::memcpy(block_ + used_, in, std::size_t(n));
        used_ += n;
        in += n;
        left -= n;
        if (used_ == kBlockBytes) {
            if (!writeBlocks(block_, used_)) {
                return -1;
            }
            used_ = 0;
        }
    }
    length_ += len;
    return len;
}

bool DirectFileWriter::finish() {
    if (block_ && !failed_ && used_ > 0) {
        // Direct I/O writes whole aligned blocks: the last one is padded, and the file is then
        // cut to its length.
        const std::int64_t size =
            direct_ ? (used_ + kAlignment - 1) / kAlignment * kAlignment : used_;
        std::memset(block_ + used_, 0, std::size_t(size - used_));
        writeBlocks(block_, size);
        used_ = 0;
    }
    if (block_ && !failed_ && ::ftruncate(fd_, length_) != 0) {
        failed_ = true;
    }
    if (direct_) {
        setDirect(false);
    }
    QIODevice::close();
    return !failed_;
}
