#pragma once

#include <QFont>
#include <QString>

#include <cstdint>

// Colour values of fonts are kept as the 32-bit values a project file stores, system colour
// constants included: the high byte 0xFF marks a system colour whose index is the low byte.
constexpr std::uint32_t kSystemColorFlag = 0xFF000000u;
constexpr std::uint32_t kColorWindowText = kSystemColorFlag | 8u;

// A font of the page. `font` carries the face name, the size in whole points and the style;
// the other fields are kept as stored so that a project file round-trips unchanged.
struct PageFont {
    QFont font;
    std::uint32_t color = kColorWindowText;
    std::uint8_t charset = 1;        // 1: the system's default character set
    std::uint8_t pitch = 0;          // 0 default, 1 variable, 2 fixed
    std::int32_t pixelsPerInch = 96; // resolution the size was chosen at

    // Size in whole points (a font set in pixels counts at its own pixels per inch).
    int pointSize() const;
    // Character height in pixels on a device of `dpi` pixels per inch.
    int pixelHeight(int dpi) const;
};

// The page options of the settings tab, as the page renderer and the project file see them.
struct PageSettings {
    double breitMm = 6.5;        // cell width
    double breitLegendeMm = 6.5; // legend cell width
    double randMm = 10.0;        // page margin
    double penWidMm = 0.35;      // line width
    bool alleRechts = false;     // all row numbers on the right-hand side
    bool ersteRechts = true;     // first row starts from the right (stored only)
    bool dontShowLinks = false;  // hide wrong-side row numbers
    int firstRow = 0;
    QString caption = QStringLiteral("Tesaplan");
    QString text; // lines joined with CR LF
    PageFont numberFont = defaultFont(11, false);
    PageFont captionFont = defaultFont(15, true);
    PageFont textFont = defaultFont(11, false);
    bool legende = true;
    bool inst = true;
    bool tessaplan = true;

    // Tahoma of the given character height at 96 pixels per inch.
    static PageFont defaultFont(int pixelHeight, bool bold);
};
