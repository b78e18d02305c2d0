// The skinning library's command message and the codes it carries.
#pragma once

#include <windows.h>

// The library's private command message: the command code stands in the high
// word of wParam, its argument in the low word, its data in lParam. It is
// registered at start-up and then fixed at SM_ALPHACMD_NUMBER.
extern UINT SM_ALPHACMD;
constexpr UINT SM_ALPHACMD_NUMBER = 0xA100;
