#pragma once

#include "designer/ChartDocument.h"
#include "foundation/OwnedText.h"

#include <QBuffer>
#include <QByteArray>
#include <QString>
#include <QtEndian>

#include <cstring>

// Builds expected file bytes field by field, independently of the program's writers.
class Bytes {
public:
    Bytes& i32(std::int32_t v) {
        char b[4];
        qToLittleEndian(v, b);
        data.append(b, 4);
        return *this;
    }
    Bytes& u8(std::uint8_t v) {
        data.append(char(v));
        return *this;
    }
    Bytes& f64(double v) {
        std::uint64_t bits;
        std::memcpy(&bits, &v, 8);
        char b[8];
        qToLittleEndian(bits, b);
        data.append(b, 8);
        return *this;
    }
    Bytes& text(const QString& s) {
        i32(std::int32_t(s.size()));
        for (QChar c : s) {
            char b[2];
            qToLittleEndian(c.unicode(), b);
            data.append(b, 2);
        }
        return *this;
    }
    Bytes& zeros(int n) {
        data.append(QByteArray(n, '\0'));
        return *this;
    }
    QByteArray data;
};

// Fills a library or cell stitch with texts, width and picture.
inline void fillStitch(TStich& s, const QString& name, int breite, dib picture) {
    s.bezeichnung = ownedTextFromString(name);
    s.abkuerzung = ownedTextFromString(name.left(2));
    s.hinreihe = ownedTextFromString(QStringLiteral("Hinreihe von ") + name);
    s.rueckreihe = ownedTextFromString(QStringLiteral("Rückreihe von ") + name);
    s.breite = breite;
    s.di = picture;
}

// Gives `cell` of `doc` (which then holds nothing) a stitch with these texts, width and
// picture, shared through the document's pool as placing one would; the picture is released.
inline void fillCell(ChartDocument& doc, TFeld& cell, const QString& name, int breite,
                     dib picture) {
    TStich s;
    fillStitch(s, name, breite, picture);
    cell.stich = doc.pool.share(StitchContent::of(s, s.di));
    cell.belegt = cell.stich != nullptr;
    cell.breite = breite;
    releaseStitch(s);
    doc.cellsChanged();
}

// Runs `reader` over the bytes as a read-only buffer.
template <class Reader>
auto readFrom(const QByteArray& bytes, Reader reader) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return reader(buffer, std::int64_t(bytes.size()));
}
