#include "sConst.h"

namespace {
// The message is registered so that the system knows it, then its number is
// fixed so that every part of the program (and its tests) agree on it.
UINT RegisterAlphaCommand() {
    RegisterWindowMessageA("SM_ALPHACMD");
    return SM_ALPHACMD_NUMBER;
}
}  // namespace

UINT SM_ALPHACMD = RegisterAlphaCommand();
