#include "dib.h"

#include "Memory.h"

std::int32_t DIBWidth(const dib& d) {
    return d.pmi ? d.pmi->bmiHeader.biWidth : 0;
}

std::int32_t DIBHeight(const dib& d) {
    return d.pmi ? d.pmi->bmiHeader.biHeight : 0;
}

std::uint16_t DIBBitCount(const dib& d) {
    return d.pmi ? d.pmi->bmiHeader.biBitCount : 0;
}

std::int32_t DIBBytesPerRow(const dib& d) {
    return d.bytew;
}

std::uint32_t PowerOfTwo(std::int32_t n) {
    std::uint32_t result = 1;
    for (std::int32_t i = 0; i < n; ++i) {
        result *= 2;
    }
    return result;
}

std::uint32_t DIBColorCount(const dib& d) {
    return PowerOfTwo(DIBBitCount(d));
}

std::uint32_t DIBColorTableSize(const dib& d) {
    const std::uint16_t bits = DIBBitCount(d);
    return bits >= 1 && bits <= 8 ? PowerOfTwo(bits) : 0;
}

void FreeDIB(dib& d) {
    if (!d.poi) {
        return;
    }
    if (d.poih != 0 && d.poih != d.pmih) {
        memory::release(reinterpret_cast<void*>(d.poih));
    }
    if (d.pmih != 0) {
        memory::release(reinterpret_cast<void*>(d.pmih));
    }
    d.pmih = 0;
    d.pmi = nullptr;
    d.poih = 0;
    d.poi = nullptr;
}
