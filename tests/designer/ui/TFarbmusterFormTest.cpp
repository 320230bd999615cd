#include "designer/ui/TFarbmusterForm.h"
#include "designer/StitchLibraryFile.h"
#include "designer/ui/ProgramWindows.h"
#include "designer/ui/TMainForm.h"

#include "../ColourBlocks.h"
#include "LibraryFile.h"
#include "TestSupport.h"
#include "foundation/grafikrw3/ImageFiles.h"
#include "foundation/ui/FileDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr int kColumns = 12, kRows = 9, kSide = 8;
const QString kAskBeforeNew =
    QStringLiteral("Speichern|Die Datei ist noch nicht gespeichert. Wollen Sie jetzt speichern?");

grafikrw3::Rgb blockColour(int row, int column, int n) {
    return colourblocks::colours(
        n)[std::size_t(colourblocks::blockIndex(row, column, kColumns, n))];
}

QRgb rgbOf(grafikrw3::Rgb c) {
    return qRgb(c.red, c.green, c.blue);
}

// Runs `action` on the colourwork dialog as soon as it is shown modally.
void whenDialogShown(std::function<void(TFarbmusterForm&)> action) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (auto* dialog = qobject_cast<TFarbmusterForm*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(*dialog);
        }
    });
    timer->start();
}

} // namespace

// The dialog's values, the rows that follow from them and the preview drawn from them.
TEST(FarbmusterForm, ShowsRowsAndPreviewOfTheValues) {
    const OwnedDib picture = colourblocks::picture(kColumns, kRows, kSide, 24, 6);
    TFarbmusterForm dialog(picture.get(), QStringLiteral("bloecke.png"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Farbmuster aus Bild"));
    EXPECT_EQ(dialog.params(), colourwork::Params{});
    EXPECT_EQ(dialog.BildLabel->text(), QStringLiteral("„bloecke.png“, 96 × 72 Pixel"));
    // 60 x 72/96 x 30/22 = 61.4
    EXPECT_EQ(dialog.ReihenLabel->text(), QStringLiteral("61"));
    EXPECT_EQ(dialog.previewImage().size(), QSize(60, 61));

    // Changes show once the event loop runs.
    dialog.BreiteEd->setValue(kColumns);
    dialog.MaschenEd->setValue(10);
    dialog.ReihenEd->setValue(10);
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog.ReihenLabel->text(), QStringLiteral("9"));
    ASSERT_EQ(dialog.previewImage().size(), QSize(kColumns, kRows));
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            ASSERT_EQ(dialog.previewImage().pixel(c, r), rgbOf(blockColour(r, c, 6)));
        }
    }
    EXPECT_EQ(dialog.SummaryLabel->text(),
              QStringLiteral("Das Muster: 12 Maschen × 9 Reihen in 6 Farben."));

    dialog.FarbenEd->setValue(2);
    dialog.DitherCheck->setChecked(true);
    EXPECT_EQ(dialog.params(), (colourwork::Params{kColumns, 10, 10, 2, true}));
    dialog.updatePreview();
    EXPECT_EQ(dialog.chart().colours.size(), 2u);

    dialog.BreiteEd->setValue(1000);
    dialog.MaschenEd->setValue(1);
    dialog.ReihenEd->setValue(100);
    dialog.updatePreview();
    EXPECT_EQ(dialog.ReihenLabel->text(), QStringLiteral("1000 (Höchstzahl)"));
    EXPECT_EQ(dialog.previewImage().size(), QSize(1000, 1000));
}

// The command from the question to the new chart: cancelling the question, a file that is
// no picture (a German message) and cancelling the dialog each leave the chart; OK replaces it
// by an unnamed, unsaved chart of the picture's colours.
TEST(ColourworkCommand, BuildsANewUnsavedChartOrLeavesTheOldOne) {
    MessageCapture messages;
    QTemporaryDir folder;
    writeEmptyLibrary();
    ProgramWindows windows;
    windows.create({QStringLiteral("tessaplan-designer")});
    TMainForm& main = *windows.MainForm;
    const QString picture = folder.filePath(QStringLiteral("bloecke.png"));
    const OwnedDib blocks = colourblocks::picture(kColumns, kRows, kSide, 24, 6);
    ASSERT_EQ(grafikrw3::SaveDib(blocks.get(), picture, int(grafikrw3::ImageFormat::Png)), 1);
    QFile text(folder.filePath(QStringLiteral("notiz.png")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("Maschenprobe: 22 Maschen, 30 Reihen");
    text.close();

    main.doc.afilename = QStringLiteral("/tmp/jacke.tpd");
    main.SetChanged();
    const QString title = main.windowTitle();
    QuestionScript answers({UserAnswer::Cancel, UserAnswer::No, UserAnswer::No, UserAnswer::No});
    filedialogs::Script files({text.fileName(), picture, picture});
    auto expectOldChart = [&] {
        EXPECT_EQ(std::pair(main.doc.azeilen, main.doc.aspalten), std::pair(10, 10));
        EXPECT_EQ(main.doc.afilename, QStringLiteral("/tmp/jacke.tpd"));
        EXPECT_EQ(main.windowTitle(), title);
    };
    main.BildalsFarbmusterimportieren1Click(); // Cancel: no file is asked for
    EXPECT_EQ(files.remaining(), 3);
    main.BildalsFarbmusterimportieren1Click();
    ASSERT_EQ(messages.texts().size(), 1);
    EXPECT_TRUE(messages.texts().at(0).startsWith(
        QStringLiteral("Das Bild „notiz.png“ konnte nicht gelesen werden. ")));
    expectOldChart();
    whenDialogShown([](TFarbmusterForm& dialog) { dialog.reject(); });
    main.BildalsFarbmusterimportieren1Click();
    expectOldChart();

    whenDialogShown([](TFarbmusterForm& dialog) {
        dialog.setParams({kColumns, 10, 10, 6, false});
        dialog.accept();
    });
    main.BildalsFarbmusterimportieren1Click();
    EXPECT_EQ(answers.asked(), QStringList(4, kAskBeforeNew));
    EXPECT_EQ(messages.texts().size(), 1);
    ASSERT_EQ(std::pair(main.doc.azeilen, main.doc.aspalten), std::pair(kRows, kColumns));
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            const std::uint32_t v = grafikrw3::getpixel(main.doc.cellAt(r, c).stich->di, 3, 3);
            ASSERT_EQ(qRgb(int(v & 0xff), int(v >> 8 & 0xff), int(v >> 16)),
                      rgbOf(blockColour(r, c, 6)));
        }
    }
    EXPECT_TRUE(main.doc.afilename.isEmpty());
    EXPECT_TRUE(main.windowTitle().endsWith(QStringLiteral(" - [unbenannt.tpd*]")));
    EXPECT_EQ(main.doc.stiche.count, 0u); // the library is not touched
}
