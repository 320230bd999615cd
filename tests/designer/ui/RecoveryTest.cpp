// Recovery copies of the real windows, the offer at start after a killed program, and saves
// that fail when the disk cannot sync.
#include "designer/ProjectFile.h"
#include "designer/ui/ProgramWindows.h"
#include "designer/ui/RecoveryOffer.h"
#include "designer/ui/TMainForm.h"
#include "designer/ui/TSettingsTab.h"
#include "editor/ui/ImageEditorAlone.h"
#include "editor/ui/TDIBMainForm.h"
#include "foundation/OwnedText.h"
#include "foundation/grafikrw3/ImageFiles.h"
#include "foundation/recovery/RecoveryKeeper.h"
#include "image/DocumentFiles.h"
#include "image/ImageDocument.h"
#include "imageops/PaletteFile.h"
#include "imageops/UserFilterFile.h"

#include "Pictures.h"
#include "TestSupport.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

namespace {

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
}

bool waitFor(const std::function<bool()>& condition, int ms = 15000) {
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return condition();
}

QByteArray chartBytes(TMainForm& window) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(ProjectFile::write(buffer, window.doc, window.TabSheet2->settings()));
    return bytes;
}

// The copies and descriptions in the recovery folder (not the lock, not what went aside).
QStringList recoveryFiles() {
    return QDir(recovery::Store::defaultFolder()).entryList(QDir::Files);
}

// Answers the offer's question with the button `answer` and keeps its text; a question that
// never comes is no answer.
class OfferAnswer : public QObject {
public:
    explicit OfferAnswer(const QString& answer) {
        auto* timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this, answer] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) {
                return;
            }
            text = box->text();
            isDefault = box->defaultButton() && box->defaultButton()->text() == answer;
            for (QAbstractButton* button : box->buttons()) {
                if (button->text() == answer) {
                    button->click();
                }
            }
        });
        timer->start(5);
    }
    QString text;
    bool isDefault = false;
};

// A program killed at the worst moment: edited, the copies written, nothing saved.
class KilledProgram {
public:
    KilledProgram(const QString& folder, const QString& name) {
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(QStringLiteral(RECOVERY_CHILD), {folder, name});
    }
    ~KilledProgram() { kill(); }
    KilledProgram(const KilledProgram&) = delete;
    KilledProgram& operator=(const KilledProgram&) = delete;

    bool ready() {
        QElapsedTimer clock;
        clock.start();
        while (!output_.contains("bereit") && clock.elapsed() < 60000 &&
               process_.state() != QProcess::NotRunning) {
            process_.waitForReadyRead(100);
            output_ += process_.readAllStandardOutput();
        }
        return output_.contains("bereit");
    }
    void kill() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill(); // SIGKILL: no destructor, no clean-up
            process_.waitForFinished();
        }
    }

private:
    QProcess process_;
    QByteArray output_;
};

class Recovery : public ::testing::Test {
protected:
    QTemporaryDir folder;
    MessageCapture messages;
    std::unique_ptr<ProgramWindows> windows;
    std::unique_ptr<TDIBMainForm> editor;

    void SetUp() override {
        QDir(recovery::Store::defaultFolder()).removeRecursively();
        windows = std::make_unique<ProgramWindows>();
        windows->create({QStringLiteral("tessaplan-designer")});
        editor = openImageEditorAlone(QString());
    }
    void TearDown() override {
        editor.reset();
        windows.reset();
        QDir(recovery::Store::defaultFolder()).removeRecursively();
    }
    TMainForm& main() { return *windows->MainForm; }
    QString path(const QString& name) const { return folder.filePath(name); }

    int offer(bool charts = true) {
        RecoveryOffer offer;
        const int restored =
            offer.offer(&main(), {&main(), charts ? nullptr : editor.get(), charts},
                        recovery::Store(recovery::Store::defaultFolder()));
        extra = std::move(offer.editors);
        return restored;
    }
    std::vector<std::unique_ptr<TDIBMainForm>> extra;
};

} // namespace

TEST_F(Recovery, ACopyFollowsTheChangesWithinTenSecondsAndGoesOnSave) {
    // The chart: a stitch, saved, then changed.
    TStich* stitch = main().doc.stiche.Add();
    stitch->bezeichnung = ownedTextFromString(QStringLiteral("Noppe"));
    stitch->breite = 1;
    stitch->di = makePatternPicture(20, 20, 4);
    main().doc.buildChart(4, 5, 0);
    main().doc.afilename = path(QStringLiteral("muster.tpd"));
    // The picture: bound to a file.
    editor->NewWindow(OwnedDib(makePatternPicture(9, 7, 1)), QStringLiteral("NONAME"));
    ASSERT_TRUE(documentfiles::saveImageFile(editor->doc(), path(QStringLiteral("punkt.bmp")),
                                             int(grafikrw3::ImageFormat::Bmp)));

    struct Window {
        recovery::Keeper& keeper;
        std::function<void()> change;
        std::function<QByteArray()> shown; // the document as its file would hold it
        std::function<void()> save;
    };
    Window both[] = {
        {main().recoveryKeeper(), [&] { main().NeueZeileoben1Click(); },
         [&] { return chartBytes(main()); }, [&] { main().Speichern1Click(); }},
        {editor->recoveryKeeper(),
         [&] {
             ASSERT_TRUE(editor->doc().SaveForUndo());
             grafikrw3::setpixel(editor->doc().di.get(), 3, 3, 0);
             editor->doc().imageChanged();
         },
         [&] {
             return grafikrw3::SaveDibToBytes(editor->doc().di.get(),
                                              int(grafikrw3::ImageFormat::Bmp));
         },
         [&] { editor->FileSaveItemClick(); }},
    };
    for (Window& w : both) {
        EXPECT_FALSE(w.keeper.hasCopy());
        QElapsedTimer clock;
        clock.start();
        w.change();
        ASSERT_TRUE(waitFor([&] { return w.keeper.hasCopy() && !w.keeper.busy(); }));
        EXPECT_LE(clock.elapsed(), 10000);
        EXPECT_EQ(fileBytes(w.keeper.copyPath()), w.shown());
        EXPECT_TRUE(QFile::exists(w.keeper.descriptionPath()));

        w.save();
        EXPECT_FALSE(w.keeper.hasCopy());
        EXPECT_FALSE(QFile::exists(w.keeper.copyPath()));
        EXPECT_FALSE(QFile::exists(w.keeper.descriptionPath()));
    }
    EXPECT_TRUE(recoveryFiles().isEmpty());
    EXPECT_TRUE(messages.texts().isEmpty())
        << messages.texts().join(QLatin1Char('\n')).toStdString();
}

TEST_F(Recovery, AKilledProgramsChartAndPictureAreOfferedAndRestoredExactly) {
    KilledProgram child(folder.path(), QStringLiteral("jacke"));
    ASSERT_TRUE(child.ready());
    child.kill();

    OfferAnswer answer(QStringLiteral("Wiederherstellen"));
    EXPECT_EQ(offer(), 2);
    EXPECT_TRUE(answer.isDefault);
    EXPECT_TRUE(answer.text.contains(QStringLiteral("„jacke.tpd“ (Muster), zuletzt geändert am ")))
        << answer.text.toStdString();
    EXPECT_TRUE(answer.text.contains(QStringLiteral("„jacke.bmp“ (Bild), zuletzt geändert am ")));

    // The chart, byte for byte as the killed program held it, under its own name and changed.
    const QByteArray expectedChart = fileBytes(path(QStringLiteral("jacke-erwartet.tpd")));
    EXPECT_EQ(chartBytes(main()), expectedChart);
    EXPECT_TRUE(main().windowTitle().endsWith(QStringLiteral("[jacke.tpd*]")));
    EXPECT_EQ(main().TabSheet2->caped->text(), QStringLiteral("Jacke für jacke"));

    // The picture: every pixel and the palette.
    dib expected;
    grafikrw3::OpenDib(&expected, path(QStringLiteral("jacke-erwartet.bmp")));
    const OwnedDib expectedPicture(expected);
    ASSERT_TRUE(expectedPicture);
    ASSERT_EQ(extra.size(), 1u); // a window of its own beside the one the program started with
    TDIBMainForm& restored = *extra[0];
    const dib& shown = restored.doc().di.get();
    EXPECT_EQ(DIBWidth(shown), 37);
    EXPECT_EQ(DIBBitCount(shown), 8);
    EXPECT_EQ(pixelBytes(shown), pixelBytes(expectedPicture.get()));
    EXPECT_EQ(0, std::memcmp(shown.pmi->colors(), expectedPicture->pmi->colors(), 256 * 4));
    EXPECT_EQ(0, std::memcmp(&shown.pal, &expectedPicture->pal, sizeof(LPAL)));
    EXPECT_TRUE(restored.windowTitle().contains(QStringLiteral("jacke.bmp*")));

    // The copies now belong to this program; saving writes each to its file and ends them.
    EXPECT_EQ(recoveryFiles().size(), 4);
    EXPECT_TRUE(recovery::Store(recovery::Store::defaultFolder()).orphans(false).empty());
    main().Speichern1Click();
    restored.FileSaveItemClick();
    EXPECT_EQ(fileBytes(path(QStringLiteral("jacke.tpd"))), expectedChart);
    EXPECT_EQ(fileBytes(path(QStringLiteral("jacke.bmp"))),
              fileBytes(path(QStringLiteral("jacke-erwartet.bmp"))));
    EXPECT_TRUE(recoveryFiles().isEmpty()) << recoveryFiles().join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(messages.texts().isEmpty());
}

TEST_F(Recovery, TwoProgramsKeepTheirOwnCopiesAndOnlyADeadOnesAreOffered) {
    KilledProgram anna(folder.path(), QStringLiteral("anna"));
    KilledProgram berta(folder.path(), QStringLiteral("berta"));
    ASSERT_TRUE(anna.ready());
    ASSERT_TRUE(berta.ready());
    EXPECT_EQ(recoveryFiles().size(), 8); // two copies and two descriptions each

    {
        OfferAnswer answer(QStringLiteral("Verwerfen"));
        EXPECT_EQ(offer(), 0); // both still run: nothing to ask about
        EXPECT_TRUE(answer.text.isEmpty());
    }
    anna.kill();
    OfferAnswer answer(QStringLiteral("Wiederherstellen"));
    EXPECT_EQ(offer(), 2);
    EXPECT_TRUE(answer.text.contains(QStringLiteral("anna.tpd")));
    EXPECT_FALSE(answer.text.contains(QStringLiteral("berta")));
    EXPECT_EQ(chartBytes(main()), fileBytes(path(QStringLiteral("anna-erwartet.tpd"))));
    // Berta's copies are untouched, anna's are this program's now.
    EXPECT_EQ(recoveryFiles().size(), 8);
}

TEST_F(Recovery, DiscardingDeletesAndDamagedCopiesAreReportedAndKeptAside) {
    // Copies of a program long gone (another boot): a sound picture, a damaged chart, and a
    // chart that the editor alone does not offer.
    const QString gone = recovery::Store::processToken().section(QLatin1Char('-'), 0, 1) +
                         QStringLiteral("-0badb007-");
    const recovery::Store store(recovery::Store::defaultFolder());
    QDir().mkpath(store.folder());
    auto place = [&](const QString& serial, const QByteArray& content, recovery::Kind kind,
                     const QString& file) {
        recovery::Description d;
        d.kind = kind;
        d.fileName = file;
        d.format = int(grafikrw3::ImageFormat::Png);
        d.changed = QDateTime::currentDateTime();
        ASSERT_TRUE(store.writeDescription(store.folder() + gone + serial, d));
        QFile copy(store.folder() + gone + serial + recovery::Store::copySuffix(kind));
        ASSERT_TRUE(copy.open(QIODevice::WriteOnly));
        copy.write(content);
    };
    const OwnedDib picture(makePatternPicture(5, 4, 24));
    const QByteArray bmp =
        grafikrw3::SaveDibToBytes(picture.get(), int(grafikrw3::ImageFormat::Bmp));
    place(QStringLiteral("1"), bmp, recovery::Kind::Picture, path(QStringLiteral("bild.png")));
    place(QStringLiteral("2"), "kein Muster", recovery::Kind::Picture, QString());
    place(QStringLiteral("3"), "kein Muster", recovery::Kind::Chart, path(QStringLiteral("x.tpd")));

    {
        // The editor alone: pictures only; the damaged one is reported and kept aside.
        OfferAnswer answer(QStringLiteral("Wiederherstellen"));
        EXPECT_EQ(offer(false), 1);
        EXPECT_FALSE(answer.text.contains(QStringLiteral("x.tpd")));
        ASSERT_EQ(messages.texts().size(), 1);
        EXPECT_TRUE(messages.texts()[0].contains(QStringLiteral("beschädigt")));
        EXPECT_TRUE(messages.texts()[0].contains(QStringLiteral("beschaedigt")));
        EXPECT_EQ(fileBytes(store.folder() + QStringLiteral("beschaedigt/") + gone +
                            QStringLiteral("2.bmp")),
                  "kein Muster");
        // Restored into the window the editor started with, bound to its PNG file.
        EXPECT_EQ(pixelBytes(editor->doc().di.get()), pixelBytes(picture.get()));
        EXPECT_EQ(editor->doc().SaveFilename, path(QStringLiteral("bild.png")));
        EXPECT_EQ(editor->doc().SaveFormat, int(grafikrw3::ImageFormat::Png));
        EXPECT_TRUE(editor->doc().changed);
    }
    // The chart waits for the designer; discarding it deletes it.
    OfferAnswer answer(QStringLiteral("Verwerfen"));
    EXPECT_EQ(offer(), 0);
    EXPECT_TRUE(answer.text.contains(QStringLiteral("„x.tpd“ (Muster)")));
    EXPECT_TRUE(store.orphans(false).empty());
    EXPECT_EQ(main().windowTitle(),
              QStringLiteral("Orvenal Tessaplan-Designer 1.0 - [unbenannt.tpd]"));
}

TEST(DurableSaves, EverySaveReportsADiskThatCannotSyncAndKeepsTheOldFile) {
    QTemporaryDir folder;
    MessageCapture messages;
    ProgramWindows windows;
    windows.create({QStringLiteral("tessaplan-designer")});
    TMainForm& designer = *windows.MainForm;
    const auto editor = openImageEditorAlone(QString());
    const QString stitchLibrary = designer.GetProgramDir(true) + QStringLiteral("stiche.dat");

    struct Save {
        const char* what;
        QString file;
        std::function<bool()> save;
    };
    const Save saves[] = {
        {"chart", folder.filePath(QStringLiteral("a.tpd")),
         [&] { return designer.SaveProject(folder.filePath(QStringLiteral("a.tpd"))); }},
        {"stitch library", stitchLibrary, [&] { return designer.SaveStiche(); }},
        {"picture", folder.filePath(QStringLiteral("b.png")),
         [&] {
             return documentfiles::saveImageFile(editor->doc(),
                                                 folder.filePath(QStringLiteral("b.png")),
                                                 int(grafikrw3::ImageFormat::Png));
         }},
        {"TIFF picture", folder.filePath(QStringLiteral("b.tif")),
         [&] {
             return grafikrw3::SaveDib(editor->doc().di.get(),
                                       folder.filePath(QStringLiteral("b.tif")),
                                       int(grafikrw3::ImageFormat::Tif)) == 1;
         }},
        {"palette", folder.filePath(QStringLiteral("c.pal")),
         [&] {
             LPAL pal{};
             pal.num = 16;
             return imageops::writePaletteFile(folder.filePath(QStringLiteral("c.pal")), pal);
         }},
        {"user filters", folder.filePath(QStringLiteral("UserFilt.dat")),
         [&] { return userfilters::save(folder.filePath(QStringLiteral("UserFilt.dat")), {}); }},
    };
    for (const Save& s : saves) {
        SCOPED_TRACE(s.what);
        for (const filesync::Target failing : {filesync::Target::File, filesync::Target::Folder}) {
            QFile::remove(s.file);
            {
                QFile old(s.file);
                ASSERT_TRUE(old.open(QIODevice::WriteOnly));
                old.write("alt");
            }
            const SyncFailure sync(failing);
            EXPECT_FALSE(s.save());
            EXPECT_EQ(fileBytes(s.file), "alt");
        }
        EXPECT_TRUE(s.save());
        EXPECT_NE(fileBytes(s.file), "alt");
    }
    // The windows said so: the chart's save and the library's, twice each.
    EXPECT_EQ(messages.texts().size(), 4);
    QFile::remove(stitchLibrary);
}
