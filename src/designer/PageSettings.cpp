#include "PageSettings.h"

#include "Units.h"

int PageFont::pointSize() const {
    if (font.pointSize() > 0) {
        return font.pointSize();
    }
    if (font.pixelSize() > 0) {
        return mulDiv(font.pixelSize(), 72, pixelsPerInch);
    }
    return int(font.pointSizeF() + 0.5);
}

int PageFont::pixelHeight(int dpi) const {
    return mulDiv(pointSize(), dpi, 72);
}

PageFont PageSettings::defaultFont(int pixelHeight, bool bold) {
    // Tahoma is rarely installed here; the font keeps its name and Qt draws a similar face.
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(mulDiv(pixelHeight, 72, 96));
    font.setBold(bold);
    return PageFont{font};
}
