#include "designer/ui/ProgramWindows.h"
#include "designer/ui/TAufloesungForm.h"
#include "designer/ui/TMainForm.h"

#include "LibraryFile.h"
#include "TestSupport.h"
#include "foundation/grafikrw3/ImageFiles.h"
#include "foundation/ui/TPaintBox.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

class Output : public ::testing::Test {
protected:
    QTemporaryDir folder;
    MessageCapture messages;
    ProgramWindows windows;

    void SetUp() override {
        writeEmptyLibrary();
        windows.create({QStringLiteral("tessaplan-designer")});
        main().ZeigegesamteTabelle1->setChecked(true);
        main().PaintBox1Paint();
        main().PaintBox1->grab();
    }
    TMainForm& main() { return *windows.MainForm; }

    // "Exportieren als Bild..." as a user goes through it: the resolution, then the save dialog
    // with a type chosen from the list and a name typed. Returns the type the list offered first.
    QString exportThroughMenu(int dpi, int typeIndex, const QString& typedName) {
        QString offered;
        QStringList handled;
        QTimer timer;
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible() || handled.contains(modal->objectName())) {
                return;
            }
            if (auto* resolution = qobject_cast<TAufloesungForm*>(modal)) {
                handled << modal->objectName();
                resolution->DPIEd->setValue(dpi);
                QTest::mouseClick(resolution->BitBtn1, Qt::LeftButton);
            } else if (auto* files = qobject_cast<QFileDialog*>(modal)) {
                handled << QStringLiteral("files");
                offered = files->selectedNameFilter();
                // The type list is picked with the keyboard, from its top.
                auto* types = files->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
                ASSERT_NE(types, nullptr);
                types->setFocus();
                QTest::keyClick(types, Qt::Key_Home);
                for (int i = 1; i < typeIndex; ++i) {
                    QTest::keyClick(types, Qt::Key_Down);
                }
                auto* name = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                ASSERT_NE(name, nullptr);
                name->setText(folder.filePath(typedName));
                QTest::keyClick(name, Qt::Key_Return);
            }
        });
        timer.start();
        main().ExportierenalsBild1->trigger();
        return offered;
    }
    QByteArray fileBytes(const QString& name) {
        QFile file(folder.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

} // namespace

TEST_F(Output, MenuExportWritesTheFormatTheNameSaysAtTheChosenResolution) {
    constexpr int kBmp = 1, kJpg = 6;
    // 150 dpi are 5906 pixels per metre.
    EXPECT_EQ(exportThroughMenu(150, kBmp, QStringLiteral("bild.png")).toStdString(),
              "Portable Network Graphics (*.png *.PNG)");
    const QByteArray png = fileBytes(QStringLiteral("bild.png"));
    ASSERT_TRUE(png.startsWith("\x89PNG")) << png.left(8).toHex().toStdString();
    const qsizetype phys = png.indexOf("pHYs");
    ASSERT_GT(phys, 0);
    EXPECT_EQ(qFromBigEndian<std::uint32_t>(png.constData() + phys + 4), 5906u);
    EXPECT_EQ(qFromBigEndian<std::uint32_t>(png.constData() + phys + 8), 5906u);

    // Without an extension the chosen type's is added.
    exportThroughMenu(150, kJpg, QStringLiteral("muster"));
    EXPECT_TRUE(fileBytes(QStringLiteral("muster.jpg")).startsWith("\xff\xd8\xff"));

    // An extension that names no format keeps its place before the type's.
    exportThroughMenu(300, kBmp, QStringLiteral("jacke.v2"));
    const QByteArray bmp = fileBytes(QStringLiteral("jacke.v2.bmp"));
    ASSERT_TRUE(bmp.startsWith("BM"));
    EXPECT_EQ(qFromLittleEndian<std::int32_t>(bmp.constData() + 38), 11811);
    EXPECT_TRUE(messages.texts().isEmpty());
}

TEST_F(Output, ExportWritesThePictureAndGivesTheScreenItsSizesBack) {
    const QString file = folder.filePath(QStringLiteral("muster.png"));
    ASSERT_TRUE(main().exportPicture(file, 14, 300));
    dib picture;
    grafikrw3::OpenDib(&picture, file);
    ASSERT_NE(picture.poi, nullptr);
    EXPECT_EQ(DIBWidth(picture), 118 + 76 * 12 + 4 + 118); // the grid with its lines, the margins
    EXPECT_EQ(DIBBitCount(picture), 24);
    FreeDIB(picture);
    // The palette and the hit test work with the screen's cells again.
    EXPECT_EQ(main().doc.cellwh, 24);
    EXPECT_LT(main().doc.cellAt(0, 0).feldrect.right, 100);
    EXPECT_TRUE(messages.texts().isEmpty());
}

TEST_F(Output, TooLargeExportSuggestsALowerResolution) {
    // JPEG needs the whole picture in memory; BMP is written in bands but holds at most 4 GB.
    ASSERT_TRUE(main().doc.buildChart(300, 300, -1));
    EXPECT_FALSE(main().exportPicture(folder.filePath(QStringLiteral("riesig.jpg")), 8, 4000));
    EXPECT_FALSE(main().exportPicture(folder.filePath(QStringLiteral("riesig.bmp")), 3, 4000));
    ASSERT_EQ(messages.texts().size(), 2);
    EXPECT_TRUE(messages.texts()[0].contains(QStringLiteral("höchstens")));
    EXPECT_TRUE(messages.texts()[1].contains(QStringLiteral("„riesig.bmp“ gespeichert")));
    EXPECT_TRUE(QDir(folder.path()).entryList({QStringLiteral("riesig*")}).isEmpty());
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
