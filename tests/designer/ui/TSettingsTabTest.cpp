#include "designer/ui/TSettingsTab.h"
#include "designer/ui/ProgramWindows.h"
#include "designer/ui/TMainForm.h"

#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class SettingsTab : public ::testing::Test {
protected:
    ProgramWindows windows;
    void SetUp() override { windows.create({QStringLiteral("tessaplan-designer")}); }
    TSettingsTab& tab() { return *windows.MainForm->TabSheet2; }
};

// Replaces the field's text by typing `keys`, then Return.
void typeInto(QDoubleSpinBox* edit, const QString& keys) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, keys);
    QTest::keyClick(edit, Qt::Key_Return);
}

} // namespace

TEST_F(SettingsTab, DecimalFieldsTakePointAndCommaAndShowTheComma) {
    for (QDoubleSpinBox* edit :
         {tab().BreitEd, tab().BreitLegendeEd, tab().RandEd, tab().PenWidEd}) {
        const std::string name = edit->objectName().toStdString();
        typeInto(edit, QStringLiteral("7.5"));
        EXPECT_DOUBLE_EQ(edit->value(), 7.5) << name;
        EXPECT_EQ(edit->text().toStdString(), "7,50") << name;
        typeInto(edit, QStringLiteral("2,25"));
        EXPECT_DOUBLE_EQ(edit->value(), 2.25) << name;
        typeInto(edit, QStringLiteral("12.35"));
        EXPECT_DOUBLE_EQ(edit->value(), 12.35) << name;
        // A thousands separator has no place here: nothing is ever multiplied.
        typeInto(edit, QStringLiteral("1.000"));
        EXPECT_DOUBLE_EQ(edit->value(), 1.0) << name;
    }
}
