#include "foundation/OwnedText.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

TEST(OwnedText, CopiesAreFreshZeroTerminatedAndNullReadsEmpty) {
    char16_t* a = ownedTextFromString(QStringLiteral("Rechte Masche"));
    char16_t* b = copyOwnedText(a);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(a, b);
    EXPECT_EQ(ownedTextLength(b), 13);
    EXPECT_EQ(b[13], u'\0');
    EXPECT_EQ(ownedTextToString(b), QStringLiteral("Rechte Masche"));
    freeOwnedText(a);
    EXPECT_EQ(a, nullptr);
    EXPECT_EQ(ownedTextToString(b), QStringLiteral("Rechte Masche"));
    freeOwnedText(b);

    char16_t* empty = copyOwnedText(nullptr);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(empty[0], u'\0');
    EXPECT_EQ(ownedTextToString(nullptr), QString());
    freeOwnedText(empty);
}

TEST(OwnedText, KeepsUmlautsAndEndsAtAnEmbeddedZero) {
    char16_t* t = ownedTextFromString(QStringLiteral("Rückreihe"));
    EXPECT_EQ(ownedTextToString(t), QStringLiteral("Rückreihe"));
    freeOwnedText(t);
    t = ownedTextFromString(QString(QStringLiteral("ab")) + QChar(0) + QStringLiteral("cd"));
    EXPECT_EQ(ownedTextToString(t), QStringLiteral("ab"));
    freeOwnedText(t);
}

TEST(OwnedText, ShortageGivesNull) {
    AllocationFailure failure(0);
    EXPECT_EQ(ownedTextFromString(QStringLiteral("x")), nullptr);
}
