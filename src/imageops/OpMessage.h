#pragma once

#include "foundation/UserMessage.h"

#include <QString>

// A message an operation wants the user to see (or a question it wants answered). The
// operation only says it; the editor window shows it, one box after the other.
namespace imageops {

struct OpMessage {
    MessageIcon icon = MessageIcon::Error;
    QString text;
    QString caption; // empty: no caption of its own

    bool operator==(const OpMessage&) const = default;
};

} // namespace imageops
