// The skinned gauge: a class-library TProgressBar whose frame comes from its
// section ("GAUGE") and whose fill from "PROGRESSH" / "PROGRESSV" or ProgressSkin.
#pragma once

#include "ComCtrls.h"
#include "sSkinnedControl.h"

#include <vector>

// How far a bar is filled: (Position - Min) / (Max - Min), Position held in
// the range; 0 when there is no range (Max <= Min).
double acProgressShare(int Min, int Max, int Position);
// The filled part of a Width x Height bar whose frame is BorderWidth + 1
// pixels: from the left (or, vertical, up from the bottom) by the share,
// rounded half away from zero. Empty when nothing is filled.
TRect acProgressRect(int Width, int Height, int BorderWidth, bool Vertical, int Min, int Max, int Position);
// The pieces that show the fill. Smooth: the filled part. Segmented: blocks
// two thirds as long as the bar is thick (less 2), as many as fit with gaps
// of at least 2 spread evenly, the share of them rounded; at Max a narrower
// block fills a rest of more than 3 pixels. Nothing leaves the frame's inside;
// no blocks when fewer than two fit or a block would be under 2 x 2.
std::vector<TRect> acProgressPieces(int Width, int Height, int BorderWidth, bool Vertical, bool Smooth, int Min,
                                    int Max, int Position);

class TsProgressBar : public TsSkinned<TProgressBar> {
    CLASSLIB_DECLARE_CLASS(TsProgressBar)
public:
    explicit TsProgressBar(TComponent* AOwner);
    ~TsProgressBar() override;

    // Section of the fill; empty: "PROGRESSH" or "PROGRESSV" by Orientation.
    String ProgressSkin() const { return FProgressSkin; }
    void SetProgressSkin(const String& Value);

protected:
    void PaintContent(TsPaintState State) override;
    bool SkinnedMessage(TMessage& Message) override;
    // The cache is the whole window: with a BorderWidth the client shows its
    // inside and the band round the client is painted from it as well.
    void ShowCache(HDC Target) override;

private:
    void PaintBand();

    String FProgressSkin;
    bool FPrinting = false;
};
