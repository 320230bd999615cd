#include "DocumentFiles.h"

#include "ImageDocument.h"

#include "foundation/grafikrw3/ImageFiles.h"
#include "foundation/grafikrw3/grafikrw3.h"
#include "imageops/Palettes.h"

#include <QFile>
#include <QFileInfo>

#include <cstring>

namespace documentfiles {

namespace {

template <std::size_t N>
void setPalette(dib& picture, const std::array<imageops::Rgb, N>& colours) {
    for (std::size_t i = 0; i < N; ++i) {
        RGBQUAD& entry = picture.pmi->colors()[i];
        entry = {colours[i].blue, colours[i].green, colours[i].red, 0};
        picture.pal.pal[i] = {colours[i].red, colours[i].green, colours[i].blue, 0};
    }
    picture.pal.num = std::uint16_t(N);
}

// Upper case for the letters a to z only, as file extensions are compared.
QString asciiUpper(QString text) {
    for (QChar& c : text) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) {
            c = QChar(c.unicode() - 'a' + 'A');
        }
    }
    return text;
}

} // namespace

int depthForEntry(int entry) {
    switch (entry) {
    case 0:
        return 1;
    case 1:
        return 4;
    case 2:
        return 8;
    default:
        return 24;
    }
}

OwnedDib newImage(std::int32_t width, std::int32_t height, int bits) {
    OwnedDib picture;
    grafikrw3::newdib(&picture.get(), width, height, bits, nullptr, 0);
    if (!picture) {
        return picture;
    }
    if (bits == 4) {
        setPalette(picture.get(), imageops::StdPal16);
    } else if (bits == 8) {
        setPalette(picture.get(), imageops::StdPal256);
    }
    std::memset(picture->poi, 0xff, std::size_t(DIBHeight(picture.get())) * picture->bytew);
    return picture;
}

int saveFormatFor(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix();
    if (suffix.isEmpty()) {
        return 0;
    }
    const QString extension = QLatin1Char('.') + asciiUpper(suffix);
    for (int code = grafikrw3::kFirstFormatCode; code <= grafikrw3::kLastFormatCode; ++code) {
        if (grafikrw3::formatExtension(code) == extension) {
            return code;
        }
    }
    return 0;
}

bool needsJpegQuality(int format) {
    return format == int(grafikrw3::ImageFormat::Jif) || format == int(grafikrw3::ImageFormat::Jpg);
}

namespace {

// Reads a picture file into the document under `name`; the file binding is the caller's.
bool readIntoDocument(ImageDocument& doc, const QString& fileName, const QString& name,
                      QString& error, const ProgressCallback& progress) {
    dib read;
    grafikrw3::OpenDib(&read, fileName, 0, progress);
    OwnedDib picture(read);
    if (!picture) {
        error = grafikrw3::dibErrorText(read);
        return false;
    }
    if (!doc.installImage(std::move(picture), name)) {
        error = QString::fromUtf16(u"Fehler: nicht genug Speicher für diese Operation!");
        return false;
    }
    return true;
}

} // namespace

bool openImageFile(ImageDocument& doc, const QString& fileName, QString& error,
                   const ProgressCallback& progress) {
    if (!readIntoDocument(doc, fileName, QFileInfo(fileName).fileName(), error, progress)) {
        return false;
    }
    doc.SaveFilename = fileName;
    doc.SaveFormat = saveFormatFor(fileName);
    doc.cansave = doc.SaveFormat != 0;
    doc.UpdateCaption();
    return true;
}

bool restoreImageFile(ImageDocument& doc, const QString& copyPath,
                      const recovery::Description& description, QString& error) {
    const QString name = description.title.isEmpty() ? QStringLiteral("NONAME") : description.title;
    if (!readIntoDocument(doc, copyPath, name, error, {})) {
        return false;
    }
    doc.SaveFilename = description.fileName;
    doc.SaveFormat = description.fileName.isEmpty() ? 0 : description.format;
    doc.cansave = doc.SaveFormat != 0;
    doc.markUnsaved();
    doc.UpdateCaption();
    return true;
}

bool saveImageFile(ImageDocument& doc, const QString& fileName, int format,
                   const ProgressCallback& progress) {
    QFile existing(fileName);
    if (existing.exists() && !(existing.permissions() & QFileDevice::WriteOwner)) {
        existing.setPermissions(existing.permissions() | QFileDevice::WriteOwner);
    }
    if (grafikrw3::SaveDib(doc.di.get(), fileName, format, progress) != 1) {
        return false;
    }
    doc.markSaved();
    doc.cansave = true;
    doc.SaveFormat = format;
    doc.SaveFilename = fileName;
    doc.WinName = QFileInfo(fileName).fileName();
    doc.UpdateCaption();
    return true;
}

QString openFailureCaption(const QString& fileName) {
    return QStringLiteral("Fehler beim Laden (") + fileName + QLatin1Char(')');
}

QString saveFailureText() {
    return QStringLiteral("Fehler: Datei konnte nicht gespeichert werden!");
}

} // namespace documentfiles
