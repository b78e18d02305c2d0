#include "TestControls.h"

namespace ctltest {
CLASSLIB_DEFINE_CLASS(TLogWin, TCustomControl)
CLASSLIB_DEFINE_CLASS(TLogGraphic, TGraphicControl)
CLASSLIB_DEFINE_CLASS(TTestButton, TWinControl)
}  // namespace ctltest
