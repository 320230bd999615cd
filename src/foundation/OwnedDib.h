#pragma once

#include "dib.h"

#include <utility>

// Sole owner of a picture. The record itself stays a plain struct (it lives in record arrays
// and files); code that holds a picture for a while holds it through this, so that every path
// out of a scope releases it exactly once.
class OwnedDib {
public:
    OwnedDib() = default;
    // Takes over `picture`; the caller must no longer release it.
    explicit OwnedDib(dib picture) : d_(picture) {}
    ~OwnedDib() { FreeDIB(d_); }

    OwnedDib(OwnedDib&& other) noexcept : d_(std::exchange(other.d_, dib{})) {}
    OwnedDib& operator=(OwnedDib&& other) noexcept {
        if (this != &other) {
            FreeDIB(d_);
            d_ = std::exchange(other.d_, dib{});
        }
        return *this;
    }
    OwnedDib(const OwnedDib&) = delete;
    OwnedDib& operator=(const OwnedDib&) = delete;

    dib& get() { return d_; }
    const dib& get() const { return d_; }
    dib* operator->() { return &d_; }
    const dib* operator->() const { return &d_; }

    // True when a picture is held.
    explicit operator bool() const { return d_.poi != nullptr; }

    // Gives the picture up to the caller, who must release it.
    [[nodiscard]] dib release() { return std::exchange(d_, dib{}); }

    // Releases the held picture and takes over `picture`.
    void reset(dib picture = dib{}) {
        if (picture.poi != d_.poi) {
            FreeDIB(d_);
        }
        d_ = picture;
    }

    void swap(OwnedDib& other) noexcept { std::swap(d_, other.d_); }

private:
    dib d_{};
};
