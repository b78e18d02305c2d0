// What the library counts for its own bookkeeping and only the leak tests
// read: no library header offers it, the tests reach it from here.
#pragma once

#include "acDials.h"

class TCustomForm;

// Defined beside the lists they read (sMessages.cpp, acSBUtils.cpp).
int SkinnedFormCount();
TCustomForm* SkinnedForms(int Index);
int AttachedAdapterCount();

// The library's classes name it their friend for the counts they keep.
struct TacTestAccess {
    // Dialog brushes alive in the program.
    static int DialogBrushCount() { return TacDialogWnd::FBrushCount; }
    // Dialog providers alive in the program.
    static int ProviderCount() { return TacProvider::FInstanceCount; }
};
