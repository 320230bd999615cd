#include "Pictures.h"
#include "TestSupport.h"

#include "foundation/DibCopy.h"
#include "foundation/grafikrw3/PixelRows.h"
#include "imageops/Adjustments.h"
#include "imageops/BuiltinFilters.h"
#include "imageops/Filters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <tuple>

using namespace imageops;

namespace {

// The engine as plainly as it can be written: the neighbourhood from a bordered copy of the
// whole picture, a 32-bit sum that wraps, division toward zero, bias, clamp.
OwnedDib referenceFilter(const dib& source, const filtertype& f, const dib* mask) {
    OwnedDib out(copyDib(source));
    const int w = DIBWidth(source), h = DIBHeight(source);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (mask && grafikrw3::getpixel(*mask, x, y) != 1) {
                continue;
            }
            for (int ch = 0; ch < 3; ++ch) {
                std::uint32_t sum = 0;
                for (int c = 0; c < 5; ++c) {
                    for (int r = 0; r < 5; ++r) {
                        const int nx = std::clamp(x + c - 2, 0, w - 1);
                        const int ny = std::clamp(y + r - 2, 0, h - 1);
                        const std::uint8_t v = grafikrw3::rowAt(source, ny)[3 * nx + ch];
                        sum += std::uint32_t(weightAt(f, c, r)) * v;
                    }
                }
                const std::int64_t q = std::int64_t(std::int32_t(sum)) / f.divisor + f.bias;
                grafikrw3::rowAt(out.get(), y)[3 * x + ch] =
                    std::uint8_t(std::clamp<std::int64_t>(q, 0, 255));
            }
        }
    }
    return out;
}

OwnedDib checkerMask(int w, int h) {
    OwnedDib mask;
    grafikrw3::newdib(&mask.get(), w, h, 1, nullptr, 0);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            grafikrw3::setpixel(mask.get(), x, y, ((x / 2 + y) % 3) != 0);
        }
    }
    return mask;
}

// User filters the built-in ones do not cover: weights large enough for the 32-bit sum to wrap,
// negative and large divisors, biases far out of range.
std::vector<filtertype> userFilters() {
    std::vector<filtertype> filters;
    std::mt19937 random(7);
    const std::int32_t divisors[] = {1, -1, 3, -7, 255, 100000, 2147483647, -2147483647 - 1};
    const std::int32_t scales[] = {3, 40, 1000, 1 << 24, 2147483647};
    for (std::int32_t divisor : divisors) {
        for (std::int32_t scale : scales) {
            filtertype f;
            std::uniform_int_distribution<std::int64_t> weight(-scale, scale);
            for (std::int32_t& m : f.matrix) {
                m = std::int32_t(weight(random));
            }
            f.divisor = divisor;
            f.bias = std::int32_t(weight(random));
            filters.push_back(f);
        }
    }
    return filters;
}

class FilterEngine : public testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(FilterEngine, MatchesThePlainRuleOverTheWholePicture) {
    const auto [width, height] = GetParam();
    const OwnedDib source = patternPicture(width, height, 24);
    const OwnedDib mask = checkerMask(width, height);
    std::vector<filtertype> filters = userFilters();
    for (const BuiltinFilter& b : kBuiltinFilters) {
        filters.push_back(builtinRecord(b));
    }
    for (const filtertype& f : filters) {
        for (const dib* m : {static_cast<const dib*>(nullptr), &mask.get()}) {
            OwnedDib picture(copyDib(source.get()));
            ASSERT_EQ(DibFilter(picture.get(), f, Selection(m, m != nullptr)), OpStatus::Done);
            EXPECT_EQ(pixelBytes(picture.get()),
                      pixelBytes(referenceFilter(source.get(), f, m).get()))
                << "divisor " << f.divisor << ", first weight " << f.matrix[0]
                << (m ? ", with selection" : "");
        }
    }
}

// The boundary widths, and one whose rows are longer than the engine's 256-byte passes.
const std::vector<int> kFilterWidths = [] {
    std::vector<int> widths(std::begin(kBoundaryWidths), std::end(kBoundaryWidths));
    widths.push_back(100);
    return widths;
}();

INSTANTIATE_TEST_SUITE_P(Sizes, FilterEngine,
                         testing::Combine(testing::ValuesIn(kFilterWidths),
                                          testing::Values(1, 2, 3, 6)));

filtertype centreOnly(std::int32_t weight, std::int32_t divisor, std::int32_t bias) {
    filtertype f;
    weightAt(f, 2, 2) = weight;
    f.divisor = divisor;
    f.bias = bias;
    return f;
}

TEST(FilterEngine, SmallCasesComputedByHand) {
    // identity, edges included
    OwnedDib picture = patternPicture(9, 4, 24);
    const auto before = pixelBytes(picture.get());
    ASSERT_EQ(DibFilter(picture.get(), centreOnly(1, 1, 0)), OpStatus::Done);
    EXPECT_EQ(pixelBytes(picture.get()), before);

    // bias only: grey
    ASSERT_EQ(DibFilter(picture.get(), centreOnly(0, 1, 128)), OpStatus::Done);
    for (int x = 0; x < 9; ++x) {
        EXPECT_EQ(grafikrw3::getpixel(picture.get(), x, 3), 0x808080u);
    }

    // 1 x 1: all 25 neighbours are the pixel; -3 / 2 truncates to -1, not -2
    OwnedDib one;
    grafikrw3::newdib(&one.get(), 1, 1, 24, nullptr, 0);
    grafikrw3::setpixel(one.get(), 0, 0, 0x010203); // red 3, green 2, blue 1
    filtertype f = centreOnly(-3, 2, 5);
    weightAt(f, 0, 0) = 2; // sum of weights -1: red gives -3, green -2, blue -1
    ASSERT_EQ(DibFilter(one.get(), f), OpStatus::Done);
    EXPECT_EQ(grafikrw3::getpixel(one.get(), 0, 0), 0x050404u); // blue 5 - 0, green and red 5 - 1

    // "&Weichzeichnen" at the left edge: the two missing columns repeat column 0
    OwnedDib edge;
    grafikrw3::newdib(&edge.get(), 4, 3, 24, nullptr, 0);
    for (int y = 0; y < 3; ++y) {
        grafikrw3::setpixel(edge.get(), 0, y, 0x5a5a5a); // 90
    }
    ASSERT_EQ(runBuiltinFilter(edge.get(), *findBuiltinFilter("Soften1")), OpStatus::Done);
    EXPECT_EQ(grafikrw3::getpixel(edge.get(), 0, 1), 0x3c3c3cu); // 6 * 90 / 9 = 60
    EXPECT_EQ(grafikrw3::getpixel(edge.get(), 1, 1), 0x1e1e1eu); // 3 * 90 / 9 = 30

    // "&Ecken hervorheben": white beside black clamps at 255; emboss maps flat areas to grey
    OwnedDib dot;
    grafikrw3::newdib(&dot.get(), 3, 3, 24, nullptr, 0);
    grafikrw3::setpixel(dot.get(), 1, 1, 0xffffff);
    ASSERT_EQ(runBuiltinFilter(dot.get(), *findBuiltinFilter("Eckenhervorheben1")), OpStatus::Done);
    EXPECT_EQ(grafikrw3::getpixel(dot.get(), 1, 1), 0xffffffu);
    EXPECT_EQ(grafikrw3::getpixel(dot.get(), 0, 0), 0u);
    OwnedDib flat;
    grafikrw3::newdib(&flat.get(), 5, 5, 24, nullptr, 0);
    grafikrw3::recht_filled(flat.get(), 0, 0, 4, 4, 0x3377bb);
    for (const char* name : {"Emboss1", "EmbossVertikal1"}) {
        OwnedDib p(copyDib(flat.get()));
        ASSERT_EQ(runBuiltinFilter(p.get(), *findBuiltinFilter(name)), OpStatus::Done);
        EXPECT_EQ(pixelValues(p.get()), std::vector<std::vector<std::uint32_t>>(
                                            5, std::vector<std::uint32_t>(5, 0x808080)));
    }
}

TEST(FilterEngine, BuiltInMatricesAreTurnedIntoColumnOrder) {
    // "&Horizontale Ecken finden": -1 in the left column, +1 in the right, on every row
    const filtertype h = builtinRecord(*findBuiltinFilter("HorizontaleEckenfinden1"));
    const filtertype v = builtinRecord(*findBuiltinFilter("VertikaleEckenfinden1"));
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(weightAt(h, 1, i), -1);
        EXPECT_EQ(weightAt(h, 3, i), 1);
        EXPECT_EQ(weightAt(v, i, 1), -1); // top row
        EXPECT_EQ(weightAt(v, i, 3), 1);  // bottom row
    }
    EXPECT_EQ(filterName(h), QStringLiteral("Horizontale Ecken finden"));
    // every built-in filter has a divisor and its own menu item
    for (const BuiltinFilter& b : kBuiltinFilters) {
        EXPECT_NE(b.divisor, 0);
        EXPECT_EQ(findBuiltinFilter(b.objectName), &b);
    }
    // a flat picture stays flat under every smoothing filter
    OwnedDib flat;
    grafikrw3::newdib(&flat.get(), 7, 6, 24, nullptr, 0);
    grafikrw3::recht_filled(flat.get(), 0, 0, 6, 5, 0x102030);
    const auto before = pixelBytes(flat.get());
    for (const char* name :
         {"SchwachWeichzeichnen1", "Soften1", "StarkSoften1", "Sharpen1", "StarkSchrfen1"}) {
        ASSERT_EQ(runBuiltinFilter(flat.get(), *findBuiltinFilter(name)), OpStatus::Done);
        EXPECT_EQ(pixelBytes(flat.get()), before) << name;
    }
}

TEST(FilterEngine, ContoursAreTheEdgesInverted) {
    OwnedDib contours = patternPicture(9, 7, 24);
    OwnedDib expected(copyDib(contours.get()));
    const OwnedDib mask = checkerMask(9, 7);
    const Selection selection(&mask.get(), true);
    ASSERT_EQ(runBuiltinFilter(contours.get(), *findBuiltinFilter("Konturenzeichnen1"), selection),
              OpStatus::Done);
    ASSERT_EQ(runBuiltinFilter(expected.get(), *findBuiltinFilter("Eckenfinden1"), selection),
              OpStatus::Done);
    ASSERT_EQ(DibInvert(expected.get(), selection), OpStatus::Done);
    EXPECT_EQ(pixelBytes(contours.get()), pixelBytes(expected.get()));
}

TEST(FilterEngine, RefusesWhatItCannotDoAndLeavesThePictureAlone) {
    for (int bits : {1, 4, 8}) {
        OwnedDib picture = patternPicture(9, 3, bits);
        const auto before = pixelBytes(picture.get());
        EXPECT_EQ(DibFilter(picture.get(), centreOnly(0, 1, 128)), OpStatus::Unchanged);
        EXPECT_EQ(pixelBytes(picture.get()), before);
    }
    OwnedDib picture = patternPicture(9, 3, 24);
    const auto before = pixelBytes(picture.get());
    EXPECT_EQ(DibFilter(picture.get(), centreOnly(1, 0, 0)), OpStatus::Unchanged);
    {
        AllocationFailure noMemory(1);
        EXPECT_EQ(DibFilter(picture.get(), centreOnly(0, 1, 128)), OpStatus::NoMemory);
    }
    EXPECT_EQ(pixelBytes(picture.get()), before);
    dib empty;
    EXPECT_EQ(DibFilter(empty, centreOnly(1, 1, 0)), OpStatus::Unchanged);
}

TEST(FilterEngine, ProgressRunsFromZeroOverTheRowsBackToZero) {
    OwnedDib picture = patternPicture(3, 5, 24);
    std::vector<int> seen;
    ASSERT_EQ(DibFilter(picture.get(), centreOnly(1, 1, 0), {},
                        [&](int percent) {
                            seen.push_back(percent);
                            return true;
                        }),
              OpStatus::Done);
    EXPECT_EQ(seen, (std::vector<int>{0, 25, 50, 75, 100, 0}));
}

TEST(FilterRecord, BytesAndNamesRoundTrip) {
    std::mt19937 random(3);
    std::uint8_t bytes[kFilterRecordBytes];
    for (std::uint8_t& b : bytes) {
        b = std::uint8_t(random());
    }
    std::uint8_t again[kFilterRecordBytes];
    filterToBytes(filterFromBytes(bytes), again);
    EXPECT_EQ(std::memcmp(bytes, again, sizeof bytes), 0);

    filtertype f = filterFromBytes(bytes);
    EXPECT_EQ(filterName(f).size(), kFilterNameReadUnits); // no terminator: cut where reading stops
    setFilterName(f, QStringLiteral("Kanten ä"));
    EXPECT_EQ(filterName(f), QStringLiteral("Kanten ä"));
    EXPECT_TRUE(std::all_of(f.name + 8, std::end(f.name), [](char16_t c) { return c == 0; }));
    filterToBytes(f, again);
    EXPECT_EQ(again[108], 'K');
    EXPECT_EQ(again[108 + 2 * 7], 0xe4);

    // a long name is cut where readers stop, never between the halves of a character
    QString longName(kFilterNameReadUnits - 1, QLatin1Char('x'));
    longName += QString::fromUtf8("😀");
    setFilterName(f, longName);
    EXPECT_EQ(filterName(f), longName.left(kFilterNameReadUnits - 1));
}

} // namespace
