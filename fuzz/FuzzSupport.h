#pragma once

#include <QBuffer>
#include <QByteArray>

#include <cstddef>
#include <cstdint>

// A headless Qt application for the fonts, made once per fuzzing process.
void ensureFuzzApplication();

// The fuzzer's input as a read-only device (no copy).
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size);
    QBuffer& device() { return buffer_; }
    std::int64_t size() const { return bytes_.size(); }

private:
    QByteArray bytes_;
    QBuffer buffer_;
};

// Memory a fuzzed file may take once read: enough for real charts, below libFuzzer's limit.
constexpr std::uint64_t kFuzzMemoryBudget = 256u << 20;
