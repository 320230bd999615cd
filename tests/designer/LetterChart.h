#pragma once

#include "designer/ChartDocument.h"
#include "designer/StandardStitches.h"

#include "FileTestHelpers.h"
#include "Pictures.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <map>

// Charts written one letter per cell: a wide stitch's letter stands in its first cell and the
// cells it covers show what they hold; '.' is an empty cell.
inline const std::map<QChar, QString> kLetters = {
    {'k', "rechts"},
    {'p', "links"},
    {'/', "2 rechts zusammenstricken"},
    {'\\', "überzogen zusammenstricken"},
    {'R', "Zopf 1/1 nach rechts"},
    {'L', "Zopf 1/1 nach links"},
    {'C', "Zopf 2/2 nach rechts"},
    {'X', "eigener Zopf"}, // two cells, no partner
};

class LetterChart : public ::testing::Test {
protected:
    ChartDocument doc;
    MessageCapture messages;

    void SetUp() override {
        for (const auto& [letter, name] : kLetters) {
            if (letter == QLatin1Char('X')) {
                fillStitch(*doc.stiche.Add(), name, 2, makePatternPicture(200, 100, 1));
                continue;
            }
            for (std::size_t k = 0; k < standardstitches::count(); ++k) {
                if (standardstitches::name(k) == name) {
                    ASSERT_TRUE(standardstitches::make(k, *doc.stiche.Add()));
                }
            }
        }
        // "rechts" first: it fills new rows and columns.
        for (std::uint32_t k = 0; k < doc.stiche.count; ++k) {
            if (ownedTextToString(doc.stiche[k].bezeichnung) == QStringLiteral("rechts")) {
                doc.stiche.Change(0, std::int32_t(k));
            }
        }
    }
    int indexOf(QChar letter) const {
        for (std::uint32_t k = 0; k < doc.stiche.count; ++k) {
            if (ownedTextToString(doc.stiche[k].bezeichnung) == kLetters.at(letter)) {
                return int(k);
            }
        }
        return -1;
    }
    void load(const QStringList& rows) {
        ASSERT_TRUE(doc.buildChart(int(rows.size()), int(rows[0].size()), -1));
        for (int r = 0; r < rows.size(); ++r) {
            for (int c = 0; c < rows[r].size(); ++c) {
                if (rows[r][c] != QLatin1Char('.')) {
                    ASSERT_TRUE(doc.placeStitch(doc.cellAt(r, c),
                                                doc.stiche[std::uint32_t(indexOf(rows[r][c]))]));
                }
            }
        }
        doc.cellsChanged();
        doc.history.clear();
    }
    QStringList rows() const {
        QStringList out;
        for (int r = 0; r < doc.azeilen; ++r) {
            QString row;
            for (int c = 0; c < doc.aspalten; ++c) {
                const TFeld& cell = doc.cellAt(r, c);
                QChar letter('.');
                for (const auto& [l, name] : kLetters) {
                    if (cell.belegt && ownedTextToString(cell.stich->bezeichnung) == name) {
                        letter = l;
                    }
                }
                row += letter;
            }
            out << row;
        }
        return out;
    }
};
