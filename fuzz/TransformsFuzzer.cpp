// Geometric transforms, deformations and effects with parameters from anywhere (a caller's
// slip, a stored dialog value out of range): on small pictures of every depth, with and
// without a selection, none may read or write outside a picture, divide by zero or overflow.
// The quarter turns must also be undone by the opposite turn.
#include "foundation/OwnedDib.h"
#include "foundation/grafikrw3/grafikrw3.h"
#include "imageops/Deformations.h"
#include "imageops/Effects.h"
#include "imageops/Transforms.h"

#include <cstdlib>

namespace {

class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::int32_t int16() { return std::int16_t(byte() | byte() << 8); }
    std::int32_t small(int limit) { return byte() % limit; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

OwnedDib picture(Bytes& in, int width, int height, int bits) {
    OwnedDib p;
    grafikrw3::newdib(&p.get(), width, height, bits, nullptr, 0);
    for (std::int64_t i = 0; i < std::int64_t(p->bytew) * height; ++i) {
        p->poi[i] = in.byte();
    }
    return p;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace imageops;
    Bytes in(data, size);
    static constexpr int kDepths[] = {1, 4, 8, 24};
    const int bits = kDepths[in.small(4)];
    const int width = 1 + in.small(40);
    const int height = 1 + in.small(40);
    const int op = in.small(13);
    const std::uint32_t col2 = std::uint32_t(in.int16()) * 977u;
    OwnedDib di = picture(in, width, height, bits);
    OwnedDib mask = picture(in, width, height, 1);
    const Selection selection(&mask.get(), in.byte() & 1);
    const OwnedDib from(picture(in, width, height, bits));

    switch (op) {
    case 0: {
        const OwnedDib turned = RotRight(di.get());
        const OwnedDib back = RotLeft(turned.get());
        for (int y = 0; y < height; ++y) { // pixels only: row padding is not carried
            for (int x = 0; x < width; ++x) {
                if (grafikrw3::getpixel(back.get(), x, y) != grafikrw3::getpixel(di.get(), x, y)) {
                    std::abort();
                }
            }
        }
        break;
    }
    case 1:
        DibRotxxx(di.get(), in.int16() / 7.0L, in.byte() & 1, col2, false);
        break;
    case 2:
        Resize(di.get(), {in.int16() % 300, in.int16() % 300, bool(in.byte() & 1)});
        break;
    case 3:
        NewCanvas(di.get(), {in.int16() % 300, in.int16() % 300, in.int16(), in.int16()}, col2);
        break;
    case 4:
        AddBorders(di.get(), {in.int16() % 90, in.int16() % 90, in.int16() % 90, in.int16() % 90},
                   col2);
        break;
    case 5:
        FlipH(di.get());
        FlipV(di.get());
        break;
    case 6:
        Perspektive(di.get(), from.get(), {in.int16(), bool(in.byte() & 1), bool(in.byte() & 1)},
                    col2, selection);
        break;
    case 7:
        Woelben(di.get(), from.get(),
                {in.int16() / 100.0, bool(in.byte() & 1), bool(in.byte() & 1)}, selection);
        break;
    case 8:
        DrawShadow(di.get(), {in.int16(), in.int16(), in.int16(), in.int16(), col2}, selection);
        break;
    case 9:
        Buttonize(di.get(), {in.int16(), in.int16(), bool(in.byte() & 1), col2}, selection);
        break;
    case 10:
        MosaikEffekt(di.get(), {in.int16(), in.int16()}, selection);
        break;
    case 11:
        AddNoise(di.get(), {in.int16(), in.int16()}, selection);
        break;
    default:
        DelNoise(di.get(), in.int16(), selection);
        DibErodeFilter(di.get(), selection);
        DibDilateFilter(di.get(), selection);
        break;
    }
    return 0;
}
