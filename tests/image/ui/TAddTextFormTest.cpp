#include "image/ui/TAddTextForm.h"
#include "image/ui/TImagePaintBox.h"

#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>

#include <gtest/gtest.h>

namespace {

bool hasInk(const QImage& image, QRgb background) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) != background) {
                return true;
            }
        }
    }
    return false;
}

TEST(TAddTextForm, DefaultsPreviewOfTheFirstLineAndRememberedValues) {
    QSettings().remove(QStringLiteral("Formulare/AddTextForm"));
    {
        TAddTextForm form;
        EXPECT_EQ(form.windowTitle(), "Text hinzufügen");
        EXPECT_EQ(form.FntLabel->text(), "Times New Roman ; Größe:16");
        EXPECT_EQ(form.TxtMemo->toPlainText(), "Test");
        EXPECT_TRUE(form.Leftb->isChecked());
        EXPECT_EQ(form.SelFont->text(), "Schriftart &wählen...");
        EXPECT_EQ(form.CancelBtn->text(), "A&bbrechen");

        form.show();
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSize(24);
        form.setChosenFont(font);
        EXPECT_EQ(form.FntLabel->text(), "DejaVu Sans ; Größe:24");
        form.TxtMemo->setPlainText(QStringLiteral("Ab"));
        const QImage first = form.FontPaintBox->grab().toImage();
        EXPECT_TRUE(hasInk(first, first.pixel(first.width() - 1, first.height() - 1)));
        form.TxtMemo->setPlainText(QStringLiteral("Ab\nganz anders"));
        EXPECT_EQ(form.FontPaintBox->grab().toImage(), first) << "the preview shows line 1 only";
        form.Zentr->setChecked(true);
        const TextBlock block = form.textBlock();
        EXPECT_EQ(block.lines, QStringList({"Ab", "ganz anders"}));
        EXPECT_EQ(block.alignment, TextBlock::Alignment::Centre);
        form.OkBtn->click();
    }
    TAddTextForm again;
    again.show();
    EXPECT_EQ(again.TxtMemo->toPlainText(), "Ab\nganz anders");
    EXPECT_TRUE(again.Zentr->isChecked());
    EXPECT_EQ(again.chosenFont().family(), "DejaVu Sans");
    EXPECT_EQ(again.chosenFont().pointSize(), 24);
    again.reject();
}

} // namespace
