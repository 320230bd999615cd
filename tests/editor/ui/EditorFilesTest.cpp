#include "EditorMouse.h"
#include "ModalDialogs.h"
#include "Pictures.h"
#include "SaneTestBackend.h"
#include "TestSupport.h"

#include "editor/ui/ColourPanel.h"
#include "editor/ui/ImageEditorAlone.h"
#include "editor/ui/TDIBMainForm.h"
#include "editor/ui/TJPEGQForm.h"
#include "editor/ui/TNewForm.h"
#include "editor/ui/TPaleditForm.h"
#include "editor/ui/TScannerForm.h"
#include "foundation/grafikrw3/ImageFiles.h"
#include "foundation/scanner/Scanner.h"
#include "foundation/ui/FileDialogs.h"
#include "foundation/ui/TPaintBox.h"
#include "image/DocumentFiles.h"
#include "image/ImageDocument.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QComboBox>
#include <QFile>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs `action` on the next modal dialog of type T as soon as it shows.
template <typename T>
void whenShown(std::function<void(T&)> action) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(*dialog);
        }
    });
    timer->start();
}

class EditorFiles : public ::testing::Test {
protected:
    void SetUp() override {
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
    ImageDocument& doc() { return form.doc(); }
    QString path(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    TDIBMainForm form;
};

// Save As in every position of the save filter writes that format (with its extension added to
// a bare name, after the quality for JPEG), binds the document to it, and the file opens again.
TEST_F(EditorFiles, SaveAsAndOpenEveryFormat) {
    MessageCapture messages;
    const QStringList filter = grafikrw3::GetDIBSaveFilter().split(QLatin1Char('|'));
    const int positions = int(filter.size() / 2);
    ASSERT_EQ(positions, 12);
    for (int position = 1; position <= positions; ++position) {
        form.NewWindow(patternPicture(33, 7, 8), QStringLiteral("NONAME"));
        ASSERT_TRUE(doc().SaveForUndo());
        const int code = position + 2;
        const QString base = path(QStringLiteral("bild%1").arg(position));
        filedialogs::Script answers({base + QStringLiteral("|%1").arg(position)});
        if (documentfiles::needsJpegQuality(code)) {
            whenShown<TJPEGQForm>([](TJPEGQForm& q) { q.OkBtn->click(); });
        }
        form.FileSaveAsItemClick();
        const QString written = base + grafikrw3::formatExtension(code).toLower();
        ASSERT_TRUE(QFile::exists(written)) << written.toStdString();
        EXPECT_FALSE(doc().changed);
        EXPECT_TRUE(doc().cansave);
        EXPECT_EQ(doc().SaveFormat, code);
        EXPECT_EQ(doc().SaveFilename, written);
        EXPECT_TRUE(form.windowTitle().contains(QFileInfo(written).fileName()));

        form.NewWindow(documentfiles::newImage(3, 3, 24), QStringLiteral("NONAME"));
        form.OpenImageFile(written);
        EXPECT_EQ(DIBWidth(doc().di.get()), 33) << position;
        EXPECT_EQ(DIBHeight(doc().di.get()), 7);
        EXPECT_EQ(doc().SaveFormat, code);
        EXPECT_TRUE(doc().cansave);
        EXPECT_EQ(form.ShowProzent->value(), 0);
    }
    EXPECT_TRUE(messages.texts().isEmpty());

    // Cancelling the quality dialog writes nothing; a name typed with another known format's
    // extension gets that format, whatever the filter says.
    filedialogs::Script cancelled({path(QStringLiteral("muster")) + QStringLiteral("|6")});
    whenShown<TJPEGQForm>([](TJPEGQForm& q) { q.CancelBtn->click(); });
    form.FileSaveAsItemClick();
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("muster.jpg"))));
    filedialogs::Script gif({path(QStringLiteral("x.gif")) + QStringLiteral("|6")});
    form.FileSaveAsItemClick();
    QFile x(path(QStringLiteral("x.gif")));
    ASSERT_TRUE(x.open(QIODevice::ReadOnly));
    EXPECT_TRUE(x.read(4).startsWith("GIF8"));
    EXPECT_EQ(doc().SaveFormat, int(grafikrw3::ImageFormat::Gif));
    // Save now writes without a dialog.
    filedialogs::Script none({});
    form.FileSaveItemClick();
    EXPECT_EQ(none.remaining(), 0);
}

// New and Open ask about unsaved changes: Cancel stops, Yes without a file asks for a name
// (and stops when that is cancelled), No goes on; New makes the chosen depth.
TEST_F(EditorFiles, NewAndOpenAskAboutUnsavedChanges) {
    ASSERT_TRUE(doc().SaveForUndo());
    {
        QuestionScript answers({UserAnswer::Cancel, UserAnswer::Yes});
        filedialogs::Script noName({QString()});
        form.FileNewItemClick();
        form.FileOpenItemClick();
        const QString question = QStringLiteral("Bild bearbeiten|Änderungen in NONAME speichern?");
        EXPECT_EQ(answers.asked(), (QStringList{question, question}));
        EXPECT_EQ(noName.remaining(), 0); // Save As was asked and cancelled
        EXPECT_TRUE(doc().changed);
        EXPECT_EQ(DIBBitCount(doc().di.get()), 24);
    }
    QuestionScript no({UserAnswer::No});
    whenShown<TNewForm>([](TNewForm& f) {
        EXPECT_EQ(f.TiefeBox->currentIndex(), 3);
        f.TiefeBox->setCurrentIndex(0);
        f.BreitEdit->setValue(17);
        f.OkBtn->click();
    });
    form.FileNewItemClick();
    EXPECT_EQ(DIBBitCount(doc().di.get()), 1);
    EXPECT_EQ(DIBWidth(doc().di.get()), 17);
    EXPECT_EQ(DIBHeight(doc().di.get()), 200);
    EXPECT_FALSE(doc().changed);
    EXPECT_FALSE(doc().cansave);

    // A file that cannot be read keeps the image and says why, under the file's name.
    MessageCapture messages;
    form.OpenImageFile(path(QStringLiteral("fehlt.png")));
    EXPECT_EQ(DIBWidth(doc().di.get()), 17);
    ASSERT_EQ(messages.texts().size(), 1);
}

// "Palette editieren...": an entry edited in the dialog changes the image's palette and colour
// table, without an undo step or change mark.
TEST_F(EditorFiles, PaletteEditorChangesTheImagesPalette) {
    form.NewWindow(documentfiles::newImage(8, 8, 4), QStringLiteral("NONAME"));
    whenShown<TPaleditForm>([](TPaleditForm& f) {
        QTimer::singleShot(0, f.ColorDialog1, [&f] {
            f.ColorDialog1->setCurrentColor(QColor(1, 2, 3));
            f.ColorDialog1->accept();
        });
        QTest::mouseClick(f.PaintBox1, Qt::LeftButton, {}, QPoint(15 * 18 + 4, 4)); // entry 15
        f.BitBtn1->click();
    });
    form.findChild<QAction*>(QStringLiteral("Paletteeditieren1"))->trigger();
    EXPECT_EQ(doc().di->pal.pal[15].peRed, 1);
    const RGBQUAD& c = doc().di->pmi->colors()[15];
    EXPECT_EQ(std::tuple(c.rgbRed, c.rgbGreen, c.rgbBlue), std::tuple(1, 2, 3));
    EXPECT_EQ(doc().CanUndo, 0);
    EXPECT_FALSE(doc().changed);
}

// "Bild scannen..." with the test backend: the picture arrives while the window keeps working,
// the progress bar runs and returns to 0; a scan stopped with the button leaves the image.
TEST_F(EditorFiles, ScanFromTheTestBackend) {
    ASSERT_TRUE(useSaneTestBackend());
    TScannerForm::storeSettings({QStringLiteral("test:0"), QStringLiteral("Color"), 25});
    form.Bildscannen1Click();
    EXPECT_TRUE(form.ScanCancelBtn->isVisibleTo(&form));
    QTRY_COMPARE_WITH_TIMEOUT(DIBWidth(doc().di.get()), 78, 30000);
    EXPECT_EQ(DIBHeight(doc().di.get()), 98);
    EXPECT_EQ(DIBBitCount(doc().di.get()), 24);
    EXPECT_EQ(doc().WinName, QString());
    EXPECT_FALSE(doc().cansave);
    QTRY_VERIFY_WITH_TIMEOUT(!form.ScanCancelBtn->isVisibleTo(&form), 10000);
    EXPECT_EQ(form.ShowProzent->value(), 0);

    TScannerForm::storeSettings({QStringLiteral("test:1"), QStringLiteral("Color"), 200});
    form.Bildscannen1Click();
    QTRY_VERIFY_WITH_TIMEOUT(form.ShowProzent->value() > 0, 30000);
    form.ScanCancelBtn->click();
    QTRY_VERIFY_WITH_TIMEOUT(!form.ScanCancelBtn->isVisibleTo(&form), 30000);
    EXPECT_EQ(DIBWidth(doc().di.get()), 78);
    EXPECT_EQ(form.ShowProzent->value(), 0);

    // Closing the window stops a scan too.
    form.Bildscannen1Click();
    QTRY_VERIFY_WITH_TIMEOUT(form.ShowProzent->value() > 0, 30000);
    form.close();
    QTRY_VERIFY_WITH_TIMEOUT(!form.ScanCancelBtn->isVisibleTo(&form), 30000);
    EXPECT_EQ(DIBWidth(doc().di.get()), 78);
}

// A cancel that comes after the scanner finished, before its picture was handed over, keeps
// the picture out.
TEST_F(EditorFiles, ALateCancelKeepsTheScannedPictureOut) {
    ASSERT_TRUE(useSaneTestBackend());
    TScannerForm::storeSettings({QStringLiteral("test:0"), QStringLiteral("Color"), 25});
    form.NewWindow(patternPicture(20, 10, 24), QStringLiteral("NONAME"));
    form.Bildscannen1Click();
    // The scan ends meanwhile; its report waits in the queue until the cancel is known.
    QThread::msleep(2000);
    form.ScanCancelBtn->click();
    QTRY_VERIFY_WITH_TIMEOUT(!form.ScanCancelBtn->isVisibleTo(&form), 30000);
    EXPECT_EQ(DIBWidth(doc().di.get()), 20);
}

// A scan replaces a changed picture only after the unsaved-changes question: Cancel starts no
// scan; No scans; a change made while the scanner works is asked about when the picture
// arrives.
TEST_F(EditorFiles, ScanningAsksAboutUnsavedChanges) {
    ASSERT_TRUE(useSaneTestBackend());
    TScannerForm::storeSettings({QStringLiteral("test:0"), QStringLiteral("Color"), 25});
    form.NewWindow(patternPicture(20, 10, 24), QStringLiteral("NONAME"));
    ASSERT_TRUE(doc().SaveForUndo());
    {
        QuestionScript cancel({UserAnswer::Cancel});
        form.Bildscannen1Click();
        EXPECT_EQ(cancel.unanswered(), 0);
    }
    EXPECT_FALSE(form.ScanCancelBtn->isVisibleTo(&form));
    {
        QuestionScript keep({UserAnswer::No, UserAnswer::Cancel});
        form.Bildscannen1Click();
        ASSERT_TRUE(form.ScanCancelBtn->isVisibleTo(&form));
        form.Graustufen1Click(); // a change while the scanner works
        QTRY_VERIFY_WITH_TIMEOUT(!form.ScanCancelBtn->isVisibleTo(&form), 30000);
        EXPECT_EQ(keep.unanswered(), 0);
    }
    EXPECT_EQ(DIBWidth(doc().di.get()), 20);
    {
        QuestionScript discard({UserAnswer::No});
        form.Bildscannen1Click();
        QTRY_COMPARE_WITH_TIMEOUT(DIBWidth(doc().di.get()), 78, 30000);
        EXPECT_EQ(discard.unanswered(), 0);
    }
}

// Without any scanner both commands say so and nothing else happens.
TEST_F(EditorFiles, WithoutAScannerTheCommandsSaySo) {
    QTemporaryDir config;
    QFile none(config.filePath(QStringLiteral("dll.conf")));
    ASSERT_TRUE(none.open(QIODevice::WriteOnly)); // no backend at all
    none.close();
    qputenv("SANE_CONFIG_DIR", config.path().toLocal8Bit());
    if (!scanner::listDevices().devices.empty()) {
        GTEST_SKIP() << "the scanner library was started with another configuration before";
    }
    MessageCapture messages;
    form.Bildscannen1Click();
    form.Scannerauswhlne1Click();
    const QString text =
        QStringLiteral("Es wurde kein Scanner gefunden. Ist er angeschlossen und eingeschaltet?");
    EXPECT_EQ(messages.texts(), (QStringList{text, text}));
    EXPECT_FALSE(form.ScanCancelBtn->isVisibleTo(&form));
}

// Copy with a selection puts the picture for other programs and the mask beside it; pasting
// it as a new image gives the bounding box, as a selection the shape.
TEST_F(EditorFiles, CopyAndPasteThroughTheClipboard) {
    form.NewWindow(patternPicture(20, 10, 24), QStringLiteral("NONAME"));
    doc().selectShape(2, 1, 11, 6, true, SelectionMode::Replace);
    form.CopyItemClick();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(data->hasFormat(QStringLiteral("image/bmp")));
    EXPECT_TRUE(data->hasFormat(QStringLiteral("image/png")));
    EXPECT_TRUE(data->hasFormat(QStringLiteral("application/x-vandrix-selection")));
    QApplication::processEvents();
    EXPECT_TRUE(form.PasteSpeedBtn->isEnabled());
    form.PasteSpeedBtn->click();
    EXPECT_TRUE(doc().dragSel);
    EXPECT_EQ(DIBWidth(doc().dragdi1.get()), 10);
    // The pasted pixels follow the pointer until a click puts them down.
    QTest::mouseClick(editormouse::paintBox(form), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(doc().DragingNotFinished);
    QuestionScript dropChanges({UserAnswer::No});
    form.AlsBild1Click();
    EXPECT_EQ(dropChanges.unanswered(), 0);
    EXPECT_EQ(DIBWidth(doc().di.get()), 10);
    EXPECT_EQ(DIBHeight(doc().di.get()), 6);
    EXPECT_EQ(doc().CanUndo, 0);
}

// Undo after saving leaves a picture that differs from its file, so a picture pasted as a new
// image asks before it replaces it: Abbrechen keeps it, Nein replaces it.
TEST_F(EditorFiles, UndoAfterSavingCountsAsAChangeAndPastingANewImageAsksFirst) {
    form.NewWindow(patternPicture(20, 10, 24), QStringLiteral("NONAME"));
    form.SelectBtn->click();
    editormouse::drag(form, QPoint(2, 2), QPoint(9, 7));
    form.CopyItemClick();
    form.Lschen1Click();
    {
        filedialogs::Script answer({path(QStringLiteral("bild.bmp"))});
        form.FileSaveAsItemClick();
    }
    ASSERT_FALSE(doc().changed);
    const std::vector<std::uint8_t> saved = pixelBytes(doc().di.get());
    form.UndoItSpeedBtn->click();
    EXPECT_NE(pixelBytes(doc().di.get()), saved);
    EXPECT_TRUE(doc().changed);
    EXPECT_TRUE(form.windowTitle().contains(QStringLiteral("bild.bmp*")));

    RealMessageBoxes boxes;
    const QMessageBox::StandardButton answers[] = {QMessageBox::Cancel, QMessageBox::No};
    for (const QMessageBox::StandardButton button : answers) {
        QString asked;
        whenModalShows([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            ASSERT_NE(box, nullptr) << w->metaObject()->className();
            asked = box->text();
            box->button(button)->click();
        });
        form.AlsBild1Click();
        EXPECT_EQ(asked, QStringLiteral("Änderungen in bild.bmp speichern?"));
        if (button == QMessageBox::Cancel) {
            EXPECT_EQ(DIBWidth(doc().di.get()), 20);
            EXPECT_TRUE(doc().changed);
        }
    }
    EXPECT_EQ(DIBWidth(doc().di.get()), 7); // the selection's box
    EXPECT_EQ(DIBHeight(doc().di.get()), 5);
    EXPECT_FALSE(doc().changed);
}

// The editor on its own: a picture is changed with the window's own input (background colour
// from the picker, a selection dragged on the picture, Del) and Ctrl+S writes it; closing with
// unsaved changes asks first.
TEST(ImageEditorAlone, ChangeAPixelAndSaveWithCtrlS) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("picture.png"));
    {
        const OwnedDib white = documentfiles::newImage(40, 30, 24);
        ASSERT_EQ(grafikrw3::SaveDib(white.get(), file, int(grafikrw3::ImageFormat::Png)), 1);
    }
    const auto form = openImageEditorAlone(file);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    EXPECT_FALSE(form->ToolButton8->isVisible());
    EXPECT_TRUE(form->windowTitle().contains(QStringLiteral("picture.png")));
    QTest::mouseClick(form->PalPaintBox, Qt::RightButton, {}, QPoint(20, 0)); // a red
    const std::int32_t red = form->doc().col2;
    EXPECT_NE(red, 0xffffff);
    form->SelectBtn->click();
    editormouse::drag(*form, QPoint(3, 4), QPoint(6, 7));
    ASSERT_TRUE(form->doc().selaktiv);
    QTest::keyClick(form.get(), Qt::Key_Delete);
    EXPECT_TRUE(form->doc().changed);
    QTest::keyClick(form.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(form->doc().changed);

    dib saved;
    grafikrw3::OpenDib(&saved, file);
    const OwnedDib back(saved);
    ASSERT_TRUE(back);
    EXPECT_EQ(grafikrw3::getpixel(back.get(), 4, 5), std::uint32_t(red));
    EXPECT_EQ(grafikrw3::getpixel(back.get(), 0, 0), 0xffffffu);

    ASSERT_TRUE(form->doc().SaveForUndo());
    {
        QuestionScript cancel({UserAnswer::Cancel});
        EXPECT_FALSE(form->close());
        EXPECT_TRUE(form->isVisible());
    }
    QuestionScript no({UserAnswer::No});
    EXPECT_TRUE(form->close());
}

} // namespace
