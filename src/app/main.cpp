#include "CommandLine.h"
#include "designer/ui/ProgramWindows.h"
#include "designer/ui/RecoveryOffer.h"
#include "designer/ui/TMainForm.h"
#include "editor/ui/ImageEditorAlone.h"
#include "editor/ui/TDIBMainForm.h"
#include "foundation/ProgramVersion.h"
#include "foundation/ui/MessageBoxes.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>

namespace {

bool hasDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value && *value) {
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    if (commandline::wanted(argc, argv)) {
        return commandline::run(argc, argv);
    }
    if (!hasDisplay()) {
        std::fprintf(stderr,
                     "Tessaplan-Designer braucht eine grafische Oberfläche (kein DISPLAY "
                     "gesetzt); ohne Bildschirm: xvfb-run -a %s [datei.tpd]\n",
                     argv[0]);
        return 1;
    }

    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Orvenal"));
    QCoreApplication::setApplicationName(QStringLiteral("Tessaplan-Designer"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kProgramVersion));

    // The user interface is German throughout, whatever the desktop's language.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&qtTranslator);
    }
    messages::installMessageBoxSink();

    const commandline::ImageEditorCall image =
        commandline::imageEditorCall(QCoreApplication::arguments());
    if (image.wrongUse) {
        std::fputs("tessaplan-designer: --image nimmt höchstens ein Bild (siehe --help).\n",
                   stderr);
        return 2;
    }
    if (image.wanted) {
        // Only the image editor: the program ends when its windows close.
        const auto editor = openImageEditorAlone(image.file);
        RecoveryOffer recovered;
        recovered.offerAtStart(editor.get(),
                               {nullptr, image.file.isEmpty() ? editor.get() : nullptr, false});
        return app.exec();
    }

    ProgramWindows windows;
    windows.create(QCoreApplication::arguments());
    windows.MainForm->show();
    RecoveryOffer recovered; // a chart named on the command line keeps the main window
    recovered.offerAtStart(
        windows.MainForm.get(),
        {QCoreApplication::arguments().size() > 1 ? nullptr : windows.MainForm.get(), nullptr,
         true});
    return app.exec();
}
