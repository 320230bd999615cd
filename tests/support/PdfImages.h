#pragma once

#include <QImage>
#include <QString>

#include <vector>

// A picture a PDF file draws, as poppler's pdfimages lists it.
struct PdfImage {
    int page = 0;
    int object = 0;   // the number of the PDF object that holds it
    QString encoding; // "jpeg" is lossy; "image" is stored as it is
    QImage pixels;    // when extracted, as 32-bit RGB
};

// The pictures `pdf` draws, in the order of drawing. With `extract`, their pixels too (every
// drawing of a picture is written to a file, so only for files that draw few).
std::vector<PdfImage> pdfImages(const QString& pdf, bool extract);
