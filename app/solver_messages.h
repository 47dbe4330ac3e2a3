// What the windows tell the user about a solver's verdict, from the string
// table.
#pragma once

#include <QString>

#include "model/solver.h"

namespace murlen {

// Why a figure or a board cannot be completed, in the user's words: a phrase
// to follow "Cannot be solved: " and the like, such as "more than 16 cells have
// their long edge on the border". Empty for UnsolvableReason::None.
QString UnsolvableReasonText(UnsolvableReason reason);

}  // namespace murlen
