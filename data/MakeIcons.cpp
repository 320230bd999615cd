// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the program's icon in the sizes of the hicolor icon theme, drawn by the same code as
// the window icon:  make_icons FOLDER SIZE...  gives FOLDER/SIZExSIZE/apps/tessaplan-designer.png
#include "designer/ui/ToolBarIcons.h"

#include <QDir>
#include <QImage>
#include <QString>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    if (argc < 3) {
        std::fputs("Aufruf: make_icons ORDNER GRÖSSE...\n", stderr);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    for (int i = 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        const QString apps = QStringLiteral("%1x%1/apps").arg(size);
        if (size < 1 || !folder.mkpath(apps) ||
            !toolbaricons::programImage(size).save(
                folder.filePath(apps + QStringLiteral("/tessaplan-designer.png")), "PNG")) {
            std::fprintf(stderr, "make_icons: %s\n", argv[i]);
            return 1;
        }
    }
    return 0;
}
