#include "Pictures.h"
#include "TestSupport.h"

#include "imageops/ColorCount.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using imageops::ColourCount;
using imageops::OpMessage;
using imageops::OpStatus;

OwnedDib stripedMask(int width, int height) {
    OwnedDib mask;
    grafikrw3::newdib(&mask.get(), width, height, 1, nullptr, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            grafikrw3::setpixel(mask.get(), x, y, (x * 3 + y) % 5 < 2);
        }
    }
    return mask;
}

class CountAtDepth : public testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(CountAtDepth, CountsDistinctValuesOfThePictureOrTheSelection) {
    const auto [bits, width] = GetParam();
    const int height = 6;
    OwnedDib picture = patternPicture(width, height, bits);
    OwnedDib mask = stripedMask(width, height);
    std::set<std::uint32_t> all, selected;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = grafikrw3::getpixel(picture.get(), x, y);
            all.insert(v);
            if (grafikrw3::getpixel(mask.get(), x, y)) {
                selected.insert(v);
            }
        }
    }
    EXPECT_EQ(imageops::CountColors(picture.get()).count, std::int64_t(all.size()));
    const ColourCount inSelection =
        imageops::CountColors(picture.get(), imageops::Selection(&mask.get(), true));
    EXPECT_EQ(inSelection.count, std::int64_t(selected.size()));
    EXPECT_EQ(inSelection.status, OpStatus::Done);
}

INSTANTIATE_TEST_SUITE_P(DepthsAndWidths, CountAtDepth,
                         testing::Combine(testing::ValuesIn(kAllDepths),
                                          testing::ValuesIn(kBoundaryWidths)));

TEST(CountColors, IndexesCountEvenWhenTheirColoursAreEqual) {
    OwnedDib picture = patternPicture(4, 1, 8);
    for (int x = 0; x < 4; ++x) {
        grafikrw3::setpixel(picture.get(), x, 0, std::uint32_t(x % 2));
    }
    picture->pal.pal[1] = picture->pal.pal[0];
    EXPECT_EQ(imageops::CountColors(picture.get()).count, 2);
}

TEST(CountColors, MessagesForSelectionPictureEmptyCountAndShortMemory) {
    OwnedDib picture = patternPicture(9, 4, 24);
    OwnedDib empty;
    grafikrw3::newdib(&empty.get(), 9, 4, 1, nullptr, 0);
    const ColourCount none =
        imageops::CountColors(picture.get(), imageops::Selection(&empty.get(), true));
    EXPECT_EQ(none.count, 0);
    const OpMessage couldNot{
        MessageIcon::Error,
        QStringLiteral("Die Anzahl der benutzten Farben konnte nicht ermittelt werden..."),
        {}};
    EXPECT_EQ(imageops::countColorsMessages(none, true), QList<OpMessage>{couldNot});

    const OpMessage counted{MessageIcon::Information,
                            QStringLiteral("Es werden 36 Farben in der aktuellen Auswahl benutzt."),
                            QStringLiteral("Benutzte Farben")};
    EXPECT_EQ(imageops::countColorsMessages({36, OpStatus::Done}, true), QList<OpMessage>{counted});
    EXPECT_EQ(imageops::countColorsMessages({2, OpStatus::Done}, false).front().text,
              QStringLiteral("Es werden 2 Farben im Bild benutzt."));

    ColourCount failed;
    {
        AllocationFailure noMemory(1 << 20);
        failed = imageops::CountColors(picture.get());
    }
    EXPECT_EQ(failed.count, 0);
    EXPECT_EQ(failed.status, OpStatus::NoMemory);
    const auto messages = imageops::countColorsMessages(failed, false);
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[0].text,
              QStringLiteral("Fehler: nicht genug Speicher für diese Operation!"));
    EXPECT_EQ(messages[1], couldNot);
}

} // namespace
