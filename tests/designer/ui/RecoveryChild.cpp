// A program for the recovery tests to kill: it edits a chart and a picture, both saved once
// and changed since, writes what they hold into "<name>-erwartet.tpd" and "-erwartet.bmp",
// prints "bereit" once the recovery copies of both are on the disk, and waits.
//   recovery_child FOLDER NAME
#include "designer/ProjectFile.h"
#include "designer/ui/ProgramWindows.h"
#include "designer/ui/TMainForm.h"
#include "designer/ui/TSettingsTab.h"
#include "editor/ui/ImageEditorAlone.h"
#include "editor/ui/TDIBMainForm.h"
#include "foundation/AtomicSave.h"
#include "foundation/OwnedText.h"
#include "foundation/grafikrw3/ImageFiles.h"
#include "foundation/recovery/RecoveryKeeper.h"
#include "image/DocumentFiles.h"
#include "image/ImageDocument.h"

#include "Pictures.h"

#include <QApplication>
#include <QLineEdit>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (argc != 3) {
        return 2;
    }
    if (!std::getenv("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Orvenal"));
    QCoreApplication::setApplicationName(QStringLiteral("Tessaplan-Designer"));
    const QString folder = QString::fromLocal8Bit(argv[1]) + QLatin1Char('/');
    const QString name = QString::fromLocal8Bit(argv[2]);

    ProgramWindows windows;
    windows.create({QStringLiteral("tessaplan-designer")});
    TMainForm& designer = *windows.MainForm;
    TStich* stitch = designer.doc.stiche.Add();
    stitch->bezeichnung = ownedTextFromString(QStringLiteral("Zopf ") + name);
    stitch->breite = 1;
    stitch->di = makePatternPicture(30, 24, 24);
    designer.doc.buildChart(9, 12, 0);
    if (!designer.SaveProject(folder + name + QStringLiteral(".tpd"))) {
        return 1;
    }
    designer.doc.afilename = folder + name + QStringLiteral(".tpd");
    designer.SetUnChanged();
    designer.NeueSpaltelinks1Click();
    designer.TabSheet2->caped->setText(QStringLiteral("Jacke für ") + name);

    const auto editor = openImageEditorAlone(QString());
    ImageDocument& picture = editor->doc();
    OwnedDib start(makePatternPicture(37, 21, 8));
    start->pmi->colors()[5] = RGBQUAD{1, 2, 3, 0};
    editor->NewWindow(std::move(start), QStringLiteral("NONAME"));
    if (!documentfiles::saveImageFile(picture, folder + name + QStringLiteral(".bmp"),
                                      int(grafikrw3::ImageFormat::Bmp))) {
        return 1;
    }
    if (!picture.SaveForUndo()) {
        return 1;
    }
    for (int y = 3; y < 9; ++y) {
        std::memset(picture.di->poi + y * picture.di->bytew, 5, 20);
    }
    picture.di->pmi->colors()[5] = RGBQUAD{200, 100, 50, 0};
    picture.di->pal.pal[5] = PALETTEENTRY{50, 100, 200, 0};
    picture.imageChanged();

    const bool written =
        saveAtomically(folder + name + QStringLiteral("-erwartet.tpd"),
                       [&](QIODevice& out) {
                           return ProjectFile::write(out, designer.doc,
                                                     designer.TabSheet2->settings());
                       }) == SaveOutcome::Saved &&
        grafikrw3::SaveDib(picture.di.get(), folder + name + QStringLiteral("-erwartet.bmp"),
                           int(grafikrw3::ImageFormat::Bmp)) == 1;
    if (!written) {
        return 1;
    }

    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        const recovery::Keeper& chart = designer.recoveryKeeper();
        const recovery::Keeper& image = editor->recoveryKeeper();
        if (chart.hasCopy() && !chart.busy() && image.hasCopy() && !image.busy()) {
            poll.stop();
            std::printf("bereit\n");
            std::fflush(stdout);
        }
    });
    poll.start(20);
    return app.exec();
}
