// The push button's face as a skinned button and the push-button adapter both
// show it: the caption in the section's colours, moved when pressed, and the
// focus frame round it. Each caller places the caption; the look is one.
#pragma once

#include <windows.h>

#include "Graphics.h"
#include "sControlTypes.h"

class TsCommonData;

// What one paint of a face shows, worked out once by its caller.
struct TsButtonFace {
    TsPaintState State = TsPaintState::Normal;
    // The focus frame is wanted (the section may still refuse it).
    bool Focused = false;
    // The caption's colours: the enabled or the disabled ones.
    bool Enabled = true;
    String Caption;
};

// DrawText flags of a caption: centred, tabs expanded, wrapped at word
// breaks or kept on one line.
constexpr UINT ButtonCaptionLayout(bool Wrap) {
    return DT_CENTER | DT_EXPANDTABS | (Wrap ? DT_WORDBREAK : DT_SINGLELINE);
}
// The size Caption takes on Canvas (its font set) at most MaxWidth wide; an
// empty caption is not measured: MaxWidth by 0.
TSize MeasureButtonCaption(TCanvas* Canvas, const String& Caption, int MaxWidth, UINT Layout);
// Writes the caption into R (moved by one pixel down-right when pressed) in
// SkinData's section colours, hot unless Normal, and, when focused and
// enabled and the section shows focus, the dotted frame FocusMargin outside
// the caption's rectangle. R becomes the rectangle the caption went to.
void PaintButtonCaption(TCanvas* Canvas, const TsButtonFace& Face, TRect& R, UINT Flags, int FocusMargin,
                        TsCommonData* SkinData);
