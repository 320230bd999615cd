#include "PageSettings.h"

PageFont PageSettings::defaultFont(int pixelHeight, bool bold) {
    // Tahoma is rarely installed here; the font keeps its name and Qt draws a similar face.
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    return PageFont{font, kColorWindowText};
}
