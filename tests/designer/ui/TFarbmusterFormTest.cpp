#include "designer/ui/TFarbmusterForm.h"
#include "designer/StitchLibraryFile.h"
#include "designer/ui/ProgramWindows.h"
#include "designer/ui/TMainForm.h"

#include "../ColourBlocks.h"
#include "TestSupport.h"
#include "foundation/OwnedText.h"
#include "foundation/grafikrw3/ImageFiles.h"
#include "foundation/ui/FileDialogs.h"
#include "foundation/ui/TPaintBox.h"

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

    // The preview draws square cells, centred, each in its colour.
    dialog.resize(900, 600);
    dialog.show();
    const QImage shown = dialog.PaintBox1->grab().toImage();
    const int side = std::min(shown.width() / kColumns, shown.height() / kRows);
    const int left = (shown.width() - side * kColumns) / 2;
    const int top = (shown.height() - side * kRows) / 2;
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            EXPECT_EQ(shown.pixel(left + c * side + side / 2, top + r * side + side / 2) & 0xffffff,
                      rgbOf(blockColour(r, c, 6)) & 0xffffff);
        }
    }

    dialog.FarbenEd->setValue(2);
    dialog.updatePreview();
    EXPECT_EQ(dialog.chart().colours.size(), 2u);
    EXPECT_TRUE(dialog.SummaryLabel->text().endsWith(QStringLiteral("in 2 Farben.")));

    dialog.BreiteEd->setValue(1000);
    dialog.MaschenEd->setValue(1);
    dialog.ReihenEd->setValue(100);
    dialog.updatePreview();
    EXPECT_EQ(dialog.ReihenLabel->text(), QStringLiteral("1000 (Höchstzahl)"));
    EXPECT_EQ(dialog.previewImage().size(), QSize(1000, 1000));
}

namespace {

class ColourworkCommand : public ::testing::Test {
protected:
    QTemporaryDir folder;
    MessageCapture messages;
    std::unique_ptr<ProgramWindows> windows;
    QString picture;

    static QString libraryPath() {
        return StitchLibraryFile::dataFolder(
                   QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation),
                   QString()) +
               StitchLibraryFile::kFileName;
    }
    void SetUp() override {
        QFile::remove(libraryPath());
        windows = std::make_unique<ProgramWindows>();
        windows->create({QStringLiteral("tessaplan-designer")});
        picture = folder.filePath(QStringLiteral("bloecke.png"));
        const OwnedDib blocks = colourblocks::picture(kColumns, kRows, kSide, 24, 6);
        ASSERT_EQ(grafikrw3::SaveDib(blocks.get(), picture, int(grafikrw3::ImageFormat::Png)), 1);
    }
    void TearDown() override { windows.reset(); }
    TMainForm& main() { return *windows->MainForm; }

    // The initial 10 x 10 chart, marked changed and with a name, as after some work.
    void expectChartAsBefore(const QString& title) {
        EXPECT_EQ(main().doc.azeilen, 10);
        EXPECT_EQ(main().doc.aspalten, 10);
        EXPECT_EQ(main().doc.afilename, QStringLiteral("/tmp/jacke.tpd"));
        EXPECT_EQ(main().windowTitle(), title);
    }
};

} // namespace

TEST_F(ColourworkCommand, PictureBecomesANewUnsavedChart) {
    main().doc.afilename = QStringLiteral("/tmp/jacke.tpd");
    main().SetChanged();
    QuestionScript answers({UserAnswer::No});
    filedialogs::Script files({picture});
    whenDialogShown([](TFarbmusterForm& dialog) {
        dialog.BreiteEd->setValue(kColumns);
        dialog.MaschenEd->setValue(10);
        dialog.ReihenEd->setValue(10);
        dialog.accept();
    });
    main().BildalsFarbmusterimportieren1Click();

    EXPECT_EQ(answers.asked(), QStringList{kAskBeforeNew});
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.texts().join('\n').toStdString();
    ASSERT_EQ(main().doc.azeilen, kRows);
    ASSERT_EQ(main().doc.aspalten, kColumns);
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            const TFeld& cell = main().doc.cellAt(r, c);
            ASSERT_TRUE(cell.belegt);
            const std::uint32_t v = grafikrw3::getpixel(cell.stich.di, 3, 3);
            EXPECT_EQ(qRgb(int(v & 0xff), int(v >> 8 & 0xff), int(v >> 16)),
                      rgbOf(blockColour(r, c, 6)));
        }
    }
    EXPECT_TRUE(main().doc.afilename.isEmpty());
    EXPECT_TRUE(main().windowTitle().endsWith(QStringLiteral(" - [unbenannt.tpd*]")));
    EXPECT_EQ(main().doc.stiche.count, 0u); // the library is not touched
}

TEST_F(ColourworkCommand, UnreadablePictureOrCancelLeavesTheChart) {
    main().doc.afilename = QStringLiteral("/tmp/jacke.tpd");
    main().SetChanged();
    const QString title = main().windowTitle();

    // Cancelling the question: no file is asked for.
    {
        QuestionScript answers({UserAnswer::Cancel});
        filedialogs::Script files({picture});
        main().BildalsFarbmusterimportieren1Click();
        EXPECT_EQ(files.remaining(), 1);
    }
    expectChartAsBefore(title);

    // A file that is no picture: a German message, the chart stays.
    QFile text(folder.filePath(QStringLiteral("notiz.png")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("Maschenprobe: 22 Maschen, 30 Reihen");
    text.close();
    {
        QuestionScript answers({UserAnswer::No});
        filedialogs::Script files({text.fileName()});
        main().BildalsFarbmusterimportieren1Click();
    }
    ASSERT_EQ(messages.texts().size(), 1);
    EXPECT_TRUE(messages.texts().at(0).startsWith(
        QStringLiteral("Das Bild „notiz.png“ konnte nicht gelesen werden.")))
        << messages.texts().at(0).toStdString();
    expectChartAsBefore(title);

    // Cancelling the dialog.
    {
        QuestionScript answers({UserAnswer::No});
        filedialogs::Script files({picture});
        whenDialogShown([](TFarbmusterForm& dialog) { dialog.reject(); });
        main().BildalsFarbmusterimportieren1Click();
    }
    expectChartAsBefore(title);
}
