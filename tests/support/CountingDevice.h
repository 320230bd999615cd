// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QIODevice>

#include <algorithm>
#include <cstring>

// A read-only device over bytes in memory that counts what was read from it, for checking that
// a reader passes over what it does not need. It can pretend to be a stream without seeking.
class CountingDevice : public QIODevice {
public:
    explicit CountingDevice(QByteArray bytes, bool sequential = false)
        : bytes_(std::move(bytes)), sequential_(sequential) {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return sequential_; }
    qint64 size() const override { return bytes_.size(); }
    bool seek(qint64 position) override {
        if (sequential_ || position < 0 || position > bytes_.size() || !QIODevice::seek(position)) {
            return false;
        }
        offset_ = position;
        return true;
    }
    qint64 bytesRead() const { return read_; }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        const qint64 n = std::min<qint64>(maxSize, bytes_.size() - offset_);
        if (n <= 0) {
            return -1;
        }
        std::memcpy(data, bytes_.constData() + offset_, std::size_t(n));
        offset_ += n;
        read_ += n;
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray bytes_;
    bool sequential_;
    qint64 offset_ = 0;
    qint64 read_ = 0;
};
