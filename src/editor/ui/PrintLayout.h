#pragma once

#include "foundation/dib.h"

#include <QRect>
#include <QSize>

class QPainter;

// Where a printed picture goes on its page: the whole printable area, or a share of it in
// percent, with or without the picture's proportions, centred or at the top left corner. The
// same rules place the picture on the page and on the print dialog's miniature page.
struct PrintChoice {
    bool fullPage = true;   // "Seite voll nutzen"; otherwise the two percentages
    int breit = 50;         // "Breite in %:" 1...100
    int hoch = 50;          // "Höhe in %:" 1...100
    bool keepAspect = true; // "Seitenverhältnis beibehalten" (for the full page)
    bool centre = true;     // "Zentrierte Ausgabe"
    friend bool operator==(const PrintChoice&, const PrintChoice&) = default;
};

// The picture's rectangle on a page of `page` pixels, relative to the page's corner. Empty when
// the picture or the page has no pixels.
QRect printPlacement(QSize picture, QSize page, const PrintChoice& choice);

// The miniature of `page` centred in a preview box of `box` pixels.
QRect previewPage(QSize page, QSize box);

// The height in percent of the page that gives a picture printed `breit` percent wide its own
// proportions on paper, and the other way round. Not limited to 1...100.
double heightPercentFor(int breit, QSize picture, QSize page);
double widthPercentFor(int hoch, QSize picture, QSize page);

// Draws the whole picture where printPlacement puts it on a page of `page` pixels whose
// printable area starts at the painter's origin.
void printPicture(QPainter& painter, const dib& picture, QSize page, const PrintChoice& choice);
