// SPDX-License-Identifier: GPL-3.0-or-later
#include "LinkedLibraries.h"

#include <QRegularExpression>
#include <QtGlobal>

#include <cstdio>

#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>
#include <tiffio.h>
#include <zlib.h>

namespace {

#define TESSAPLAN_TEXT(x) #x
#define TESSAPLAN_TEXT_OF(x) TESSAPLAN_TEXT(x)

// "LIBTIFF, Version 4.5.0\nCopyright ..." gives "4.5.0".
QString tiffVersion() {
    const QString text = QString::fromLatin1(TIFFGetVersion());
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("Version ([0-9][0-9.]*)")).match(text);
    return match.hasMatch() ? match.captured(1) : text.section(QLatin1Char('\n'), 0, 0);
}

} // namespace

std::vector<LinkedLibrary> linkedLibraries() {
    // libjpeg and giflib have no call that says their version; their headers do.
    return {
        {QStringLiteral("Qt"), QString::fromLatin1(qVersion()),
         QStringLiteral("LGPL-3.0-only OR GPL-2.0-only OR GPL-3.0-only")},
        {QStringLiteral("libjpeg-turbo"),
         QString::fromLatin1(TESSAPLAN_TEXT_OF(LIBJPEG_TURBO_VERSION)),
         QStringLiteral("IJG AND BSD-3-Clause AND Zlib")},
        {QStringLiteral("libtiff"), tiffVersion(), QStringLiteral("libtiff")},
        {QStringLiteral("giflib"),
         QStringLiteral("%1.%2.%3").arg(GIFLIB_MAJOR).arg(GIFLIB_MINOR).arg(GIFLIB_RELEASE),
         QStringLiteral("MIT")},
        {QStringLiteral("libpng"), QString::fromLatin1(png_get_libpng_ver(nullptr)),
         QStringLiteral("libpng-2.0")},
        {QStringLiteral("zlib"), QString::fromLatin1(zlibVersion()), QStringLiteral("Zlib")},
    };
}
