#include "sButtonFace.h"

#include "sAlphaGraph.h"
#include "sCommonData.h"
#include "sSkinFile.h"
#include "sSkinText.h"

TSize MeasureButtonCaption(TCanvas* Canvas, const String& Caption, int MaxWidth, UINT Layout) {
    RECT r{0, 0, MaxWidth, 0};
    if (Canvas && !Caption.empty())
        DrawTextA(Canvas->Handle(), Caption.c_str(), static_cast<int>(Caption.size()), &r, Layout | DT_CALCRECT);
    return TSize{r.right - r.left, r.bottom - r.top};
}

void PaintButtonCaption(TCanvas* Canvas, const TsButtonFace& Face, TRect& R, UINT Flags, int FocusMargin,
                        TsCommonData* SkinData) {
    if (!Canvas) return;
    if (Face.State == TsPaintState::Pressed) OffsetRect(&R, 1, 1);
    WriteSkinTextWeb(Canvas, Face.Caption, Face.Enabled, Face.State != TsPaintState::Normal, SkinData, Flags, R);
    const TsGeneralData* s = SkinData ? SkinData->Section() : nullptr;
    if (!Face.Enabled || !Face.Focused || Face.Caption.empty() || !s || !s->ShowFocus) return;
    TRect frame = R;
    InflateRect(&frame, FocusMargin, FocusMargin);
    DrawDottedFrame(Canvas, frame);
}
