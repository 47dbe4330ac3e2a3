#include "app/solver_messages.h"

#include "app/strings.h"

namespace murlen {

QString UnsolvableReasonText(UnsolvableReason reason) {
    switch (reason) {
    case UnsolvableReason::None: return QString();
    case UnsolvableReason::TooManyP1P2OnBorder: return LoadResString(204);
    case UnsolvableReason::TooManyP1P3OnBorder: return LoadResString(205);
    case UnsolvableReason::TooManyP2P3OnBorder: return LoadResString(206);
    case UnsolvableReason::TooManyTwoEdgesOnBorder: return LoadResString(207);
    case UnsolvableReason::TooManyLoneCells: return LoadResString(208);
    case UnsolvableReason::TooFewInnerCells: return LoadResString(209);
    case UnsolvableReason::BorderNeedsMissingPieces: return LoadResString(210);
    case UnsolvableReason::NoSolution: return LoadResString(211);
    case UnsolvableReason::PiecesCannotStay: return LoadResString(212);
    }
    return QString();
}

}  // namespace murlen
