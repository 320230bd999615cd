#include "designer/ProjectFile.h"
#include "designer/StitchLibraryFile.h"
#include "designer/ui/ProgramWindows.h"
#include "designer/ui/TMainForm.h"
#include "designer/ui/TSettingsTab.h"

#include "LibraryFile.h"
#include "Pictures.h"
#include "TestSupport.h"
#include "foundation/OwnedText.h"
#include "foundation/ui/MessageBoxes.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

const QString kDamaged =
    QStringLiteral("Die Datei ist beschädigt oder unvollständig und konnte nicht geladen werden.");

// Writes a library of the given stitches (name and picture width) as the user's stiche.dat.
void writeLibrary(const QList<QPair<QString, int>>& stitches) {
    ChartDocument doc;
    for (const auto& [name, width] : stitches) {
        TStich* s = doc.stiche.Add();
        s->bezeichnung = ownedTextFromString(name);
        s->breite = 1;
        s->di = makePatternPicture(width, 60, 24);
    }
    QDir().mkpath(QFileInfo(libraryPath()).path());
    QSaveFile file(libraryPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(StitchLibraryFile::write(file, doc.stiche));
    ASSERT_TRUE(file.commit());
}

class MainFormFiles : public ::testing::Test {
protected:
    QTemporaryDir folder;
    MessageCapture messages;
    std::unique_ptr<ProgramWindows> windows;

    void SetUp() override { writeEmptyLibrary(); }
    void TearDown() override {
        windows.reset();
        QDir(QFileInfo(libraryPath()).path()).removeRecursively();
    }
    TMainForm& start(const QStringList& arguments = {QStringLiteral("tessaplan-designer")}) {
        windows = std::make_unique<ProgramWindows>();
        windows->create(arguments);
        return *windows->MainForm;
    }
    QString path(const QString& name) const { return folder.filePath(name); }
};

// Counts the paint events a widget receives.
struct PaintCounter : QObject {
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        count += event->type() == QEvent::Paint;
        return false;
    }
    int count = 0;
};

} // namespace

TEST_F(MainFormFiles, StartLoadsTheLibraryAndFillsTheChartWithItsFirstStitch) {
    writeLibrary({{QStringLiteral("Rechte Masche"), 150}, {QStringLiteral("Linke Masche"), 60}});
    TMainForm& main = start();
    ASSERT_EQ(main.doc.stiche.count, 2u);
    const TFeld& cell = main.doc.cellAt(9, 9);
    ASSERT_TRUE(cell.belegt);
    EXPECT_EQ(ownedTextToString(cell.stich->bezeichnung), QStringLiteral("Rechte Masche"));
    EXPECT_EQ(DIBWidth(cell.stich->di), 100);
    EXPECT_EQ(DIBHeight(cell.stich->di), 40);
    EXPECT_TRUE(messages.texts().isEmpty());
}

TEST_F(MainFormFiles, SaveThenLoadRestoresChartSettingsAndCaption) {
    writeLibrary({{QStringLiteral("Zopf"), 80}});
    TMainForm& main = start();
    main.TabSheet2->caped->setText(QStringLiteral("Socken"));
    main.SetChanged();
    ASSERT_TRUE(main.SaveProject(path(QStringLiteral("socken.tpd"))));

    TMainForm& second = start();
    ASSERT_TRUE(second.doc.buildChart(2, 3, -1));
    second.SetChanged();
    ASSERT_TRUE(second.LoadProject(path(QStringLiteral("socken.tpd"))));
    EXPECT_EQ(second.doc.azeilen, 10);
    EXPECT_EQ(ownedTextToString(second.doc.cellAt(0, 0).stich->bezeichnung),
              QStringLiteral("Zopf"));
    EXPECT_EQ(second.doc.cellAt(0, 0).breite, 1);
    EXPECT_EQ(second.TabSheet2->caped->text(), QStringLiteral("Socken"));
    EXPECT_EQ(second.doc.afilename, path(QStringLiteral("socken.tpd")));
    EXPECT_EQ(second.windowTitle(),
              QStringLiteral("Orvenal Tessaplan-Designer 1.0 - [socken.tpd]"));
    EXPECT_TRUE(messages.texts().isEmpty());
}

TEST_F(MainFormFiles, DamagedFileIsReportedAndChangesNothing) {
    QFile damaged(path(QStringLiteral("kaputt.tpd")));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray("\x05\x00\x00\x00\x05\x00\x00\x00\x05\x00\x00\x00 ...", 16));
    damaged.close();

    TMainForm& main = start();
    main.doc.afilename = path(QStringLiteral("alt.tpd"));
    main.SetChanged();
    main.TabSheet2->caped->setText(QStringLiteral("bleibt"));
    const TFeld* cell = &main.doc.cellAt(0, 0);
    EXPECT_FALSE(main.LoadProject(damaged.fileName()));
    EXPECT_EQ(messages.texts(), QStringList{kDamaged});
    EXPECT_EQ(&main.doc.cellAt(0, 0), cell);
    EXPECT_EQ(main.doc.afilename, path(QStringLiteral("alt.tpd")));
    EXPECT_TRUE(main.doc.changed);
    EXPECT_EQ(main.windowTitle(), QStringLiteral("Orvenal Tessaplan-Designer 1.0 - [alt.tpd*]"));
    EXPECT_EQ(main.TabSheet2->caped->text(), QStringLiteral("bleibt"));

    // A name that does not exist is passed over without a word.
    EXPECT_FALSE(main.LoadProject(path(QStringLiteral("gibtsnicht.tpd"))));
    EXPECT_EQ(messages.texts().size(), 1);
}

TEST_F(MainFormFiles, CommandLineProjectOpensOnFirstShowAndAMissingOneIsIgnored) {
    TMainForm& first = start();
    ASSERT_TRUE(first.doc.buildChart(4, 7, -1));
    ASSERT_TRUE(first.SaveProject(path(QStringLiteral("start.tpd"))));

    TMainForm& opened =
        start({QStringLiteral("tessaplan-designer"), path(QStringLiteral("start.tpd"))});
    EXPECT_EQ(opened.doc.aspalten, 10);
    // The window shows first and has been painted when the project is read.
    int paintsBeforeLoad = -1;
    PaintCounter paints(&opened);
    QObject::connect(&opened, &QWidget::windowTitleChanged, &opened,
                     [&] { paintsBeforeLoad = paints.count; });
    opened.show();
    EXPECT_EQ(opened.doc.aspalten, 10);
    EXPECT_TRUE(QTest::qWaitFor([&] { return opened.doc.aspalten == 7; }));
    EXPECT_GT(paintsBeforeLoad, 0);
    EXPECT_EQ(opened.windowTitle(), QStringLiteral("Orvenal Tessaplan-Designer 1.0 - [start.tpd]"));
    ASSERT_TRUE(opened.doc.buildChart(1, 1, -1));
    opened.hide();
    opened.show(); // later showings open nothing
    EXPECT_EQ(opened.doc.aspalten, 1);

    TMainForm& missing =
        start({QStringLiteral("tessaplan-designer"), path(QStringLiteral("weg.tpd"))});
    missing.show();
    QTest::qWait(50);
    EXPECT_EQ(missing.doc.aspalten, 10);
    EXPECT_EQ(missing.windowTitle(),
              QStringLiteral("Orvenal Tessaplan-Designer 1.0 - [unbenannt.tpd]"));
    EXPECT_TRUE(messages.texts().isEmpty());
}

TEST_F(MainFormFiles, DamagedStartFileIsReportedOverTheShownWindow) {
    QFile damaged(path(QStringLiteral("kaputt.tpd")));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray("\x05\x00\x00\x00\x05\x00\x00\x00\x05\x00\x00\x00 ...", 16));
    damaged.close();
    TMainForm& main = start({QStringLiteral("tessaplan-designer"), damaged.fileName()});
    PaintCounter paints(&main);

    // The real message box, closed with its button once it shows.
    messages::installMessageBoxSink();
    QString text;
    QWidget* over = nullptr;
    int paintsBefore = -1;
    QTimer closer;
    closer.setInterval(5);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box && box->isVisible()) {
            closer.stop();
            text = box->text();
            over = box->parentWidget();
            paintsBefore = paints.count;
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        }
    });
    closer.start();
    main.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !text.isEmpty(); }));
    EXPECT_EQ(text, kDamaged);
    EXPECT_EQ(over, &main);
    EXPECT_GT(paintsBefore, 0);
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(main.doc.aspalten, 10);
}

TEST_F(MainFormFiles, FailedSavesKeepThePreviousFile) {
    TMainForm& main = start();
    EXPECT_FALSE(main.SaveProject(path(QStringLiteral("fehlt/ordner.tpd"))));
    EXPECT_EQ(messages.texts(), QStringList{QStringLiteral("Konnte die Datei nicht anlegen.")});

    const QString target = path(QStringLiteral("gross.tpd"));
    ASSERT_TRUE(main.SaveProject(target));
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    // A chart bigger than the file-size limit fails to write, like a full disk.
    ASSERT_TRUE(main.doc.buildChart(300, 300, -1));
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 200000;
    setrlimit(RLIMIT_FSIZE, &small);
    const bool saved = main.SaveProject(target);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved);
    ASSERT_EQ(messages.texts().size(), 2);
    EXPECT_TRUE(messages.texts()[1].contains(QStringLiteral("nicht vollständig geschrieben")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{QStringLiteral("gross.tpd")});
}

TEST_F(MainFormFiles, LibraryIsWrittenIntoTheDataFolderAndADamagedOneIsKept) {
    TMainForm& main = start();
    TStich* s = main.doc.stiche.Add();
    s->bezeichnung = ownedTextFromString(QStringLiteral("Perlmuster"));
    s->breite = 2;
    s->di = makePatternPicture(10, 10, 8);
    ASSERT_TRUE(main.SaveStiche());
    EXPECT_EQ(main.GetProgramDir(false) + QStringLiteral("stiche.dat"), libraryPath());
    QFile file(libraryPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray bytes = file.readAll();
    file.close();
    EXPECT_EQ(bytes.left(4), QByteArray("\x01\x00\x00\x00", 4));

    // Cut inside the only stitch: nothing half-read enters the library, the file is kept.
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.left(bytes.size() - 3));
    file.close();
    TMainForm& restarted = start();
    EXPECT_EQ(restarted.doc.stiche.count, 0u);
    ASSERT_EQ(messages.texts().size(), 1);
    EXPECT_TRUE(messages.texts()[0].contains(QStringLiteral("0 von 1 Stichen")));
    EXPECT_TRUE(QFile::exists(libraryPath() + QStringLiteral(".beschaedigt")));
}

TEST_F(MainFormFiles, DamagedLibrariesNameOnlyRealCountsAndEachKeepsItsOwnCopy) {
    auto content = [](const QString& name) {
        QFile file(name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QString copy = libraryPath() + QStringLiteral(".beschaedigt");

    // A second library, cut inside its second stitch, follows one whose count of 1 159 379 127
    // stitches in eight bytes is damage, not a count.
    writeLibrary({{QStringLiteral("A"), 60}, {QStringLiteral("B"), 60}});
    const QByteArray second = content(libraryPath()).chopped(3);
    const QByteArray first("\xb7\xb8\x1a\x45Rest", 8);
    for (const QByteArray& library : {first, second, second}) {
        QFile file(libraryPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(library);
        file.close();
        start();
    }
    ASSERT_EQ(messages.texts().size(), 3);
    EXPECT_FALSE(messages.texts()[0].contains(QStringLiteral("1159379127")));
    EXPECT_TRUE(messages.texts()[0].contains(QStringLiteral("Es wurde kein Stich geladen")))
        << messages.texts()[0].toStdString();
    EXPECT_TRUE(messages.texts()[0].endsWith(QStringLiteral("„%1“.").arg(copy)));
    EXPECT_TRUE(messages.texts()[1].contains(QStringLiteral("Es wurde 1 von 2 Stichen geladen")))
        << messages.texts()[1].toStdString();
    // Each damaged file has its copy; meeting the same one again adds none.
    EXPECT_TRUE(messages.texts()[1].endsWith(QStringLiteral("„%1-2“.").arg(copy)));
    EXPECT_TRUE(messages.texts()[2].endsWith(QStringLiteral("„%1-2“.").arg(copy)));
    EXPECT_EQ(content(copy), first);
    EXPECT_EQ(content(copy + QStringLiteral("-2")), second);
    EXPECT_FALSE(QFile::exists(copy + QStringLiteral("-3")));
}
