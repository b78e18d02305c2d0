// Where a skinned vertical bar's thumb shows on the screen, for real input
// (for skin tests only: the adapters are the skin's).
#pragma once

#include <windows.h>

#include "acSBUtils.h"

namespace testsupport {

// The centre of Adapter's vertical thumb, in screen coordinates.
inline POINT VertThumbCentre(TacScrollWnd* Adapter) {
    TRect r;
    ScrollBarRect(Adapter, SB_VERT, Adapter->CtrlHandle, r);
    Adapter->VertBar->ReadInfo();
    int size = 0, pos = 0;
    CalcThumb(Adapter->VertBar, r, size, pos);
    return POINT{(r.left + r.right) / 2, pos + size / 2};
}

}  // namespace testsupport
