// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <vector>

// A library the program is linked with, as the about box names it.
struct LinkedLibrary {
    QString name;
    QString version; // as the library reports it at run time, else as its headers give it
    QString licence; // SPDX expression
};

// Qt and the codec libraries the picture files go through, in that order.
std::vector<LinkedLibrary> linkedLibraries();
