#include "designer/ui/ProgramWindows.h"
#include "designer/ui/TMainForm.h"

#include "TestSupport.h"
#include "foundation/grafikrw3/ImageFiles.h"
#include "foundation/ui/TPaintBox.h"

#include <QAction>
#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class Output : public ::testing::Test {
protected:
    QTemporaryDir folder;
    MessageCapture messages;
    ProgramWindows windows;

    void SetUp() override {
        windows.create({QStringLiteral("tessaplan-designer")});
        main().ZeigegesamteTabelle1->setChecked(true);
        main().PaintBox1Paint();
        main().PaintBox1->grab();
    }
    TMainForm& main() { return *windows.MainForm; }
};

} // namespace

TEST_F(Output, ExportWritesThePictureAndGivesTheScreenItsSizesBack) {
    const QString file = folder.filePath(QStringLiteral("muster.png"));
    ASSERT_TRUE(main().exportPicture(file, 14, 300));
    dib picture;
    grafikrw3::OpenDib(&picture, file);
    ASSERT_NE(picture.poi, nullptr);
    EXPECT_EQ(DIBWidth(picture), 76 * 12 + 2 * 118);
    EXPECT_EQ(DIBBitCount(picture), 24);
    FreeDIB(picture);
    // The palette and the hit test work with the screen's cells again.
    EXPECT_EQ(main().doc.cellwh, 24);
    EXPECT_LT(main().doc.cellAt(0, 0).feldrect.right, 100);
    EXPECT_TRUE(messages.texts().isEmpty());
}

TEST_F(Output, TooLargeExportSuggestsALowerResolution) {
    ASSERT_TRUE(main().doc.buildChart(300, 300, -1));
    EXPECT_FALSE(main().exportPicture(folder.filePath(QStringLiteral("riesig.bmp")), 3, 4000));
    ASSERT_EQ(messages.texts().size(), 1);
    EXPECT_TRUE(messages.texts()[0].contains(QStringLiteral("höchstens")));
    EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("riesig.bmp"))));
}

TEST_F(Output, PrintingToAPdfFileNamesTheJobAndRestoresTheScreen) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(folder.filePath(QStringLiteral("druck.pdf")));
    main().doc.afilename = QStringLiteral("/tmp/jacke.tpd");
    EXPECT_EQ(main().printTo(printer), 1);
    EXPECT_EQ(printer.docName(), QStringLiteral("jacke.tpd"));
    EXPECT_GT(QFile(folder.filePath(QStringLiteral("druck.pdf"))).size(), 1000);
    EXPECT_EQ(main().doc.cellwh, 24);
}
