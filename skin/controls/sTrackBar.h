// The skinned slider: a class-library TTrackBar whose logic stays with the
// system window and whose whole picture comes from the skin ("TRACKBAR").
#pragma once

#include "ComCtrls.h"
#include "sSkinnedControl.h"

#include <vector>

// --- Geometry read from the system window -------------------------------------
// The channel rectangle. Windows reports a vertical bar's channel as if the bar
// were horizontal, Wine in true vertical coordinates: a vertical channel is
// turned only when it comes back wider than tall.
TRect acTrackChannelRect(HWND Wnd, bool Vertical);
TRect acTrackThumbRect(HWND Wnd);
// The pixel along the bar of the tick at Value: the first position lies half
// a thumb inside the channel's start, the last half a thumb inside its end,
// the others in proportion, rounded half away from zero. One position only
// (Max = Min) puts its tick at the start.
int acTickPixel(int Value, int Min, int Max, int ChannelStart, int ChannelEnd, int ThumbExtent);
// The tick values the system window holds: both ends and the ticks between
// (TBM_GETNUMTICS, TBM_GETPTICS), so the pixels are ours for any range and
// orientation.
std::vector<int> acTrackTickValues(HWND Wnd, int Min, int Max);

class TsTrackBar : public TsSkinned<TTrackBar> {
    CLASSLIB_DECLARE_CLASS(TsTrackBar)
public:
    explicit TsTrackBar(TComponent* AOwner);
    ~TsTrackBar() override;

    // A dotted frame round the focused or pressed bar (off by default).
    bool ShowFocus() const { return FShowFocus; }
    void SetShowFocus(bool Value) { FShowFocus = Value; }
    // Length of a tick drawn without a tick picture, in pixels.
    int TickLength() const { return FTickLength; }
    void SetTickLength(int Value) { FTickLength = Value; }
    // The thumb is held down by the left button.
    bool ThumbPressed() const { return FThumbPressed; }

    // Every change the user (or a scroll message) makes, skinned or not.
    TNotifyEvent OnUserChange;

protected:
    void PaintContent(TsPaintState State) override;
    bool SkinnedMessage(TMessage& Message) override;
    void UnskinnedMessage(TMessage& Message) override;
    virtual void PaintChannel(TsPaintState State);
    virtual void PaintTicks(TsPaintState State);
    virtual void PaintThumb(TsPaintState State);

private:
    bool Vertical() const { return FOrientation == trVertical; }
    bool PressAt(TMessage& Message);
    void Release();
    void Scrolled(TMessage& Message);
    void PaintTick(int Along, int Across, TsPaintState State, int TickMask);
    void PaintThumbImage(const TRect& Thumb, int State, int Mask);
    void StretchThumb(const TRect& Thumb, int State, int Mask);

    bool FShowFocus = false;
    int FTickLength = 4;
    bool FThumbPressed = false;
};
