// Shared by the engine tests: a manager loaded with the test skin, controls
// that record the skin commands they get (skinned ones answer them through the
// shared handler), and message pumping with deadlines.
#pragma once

#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "Forms.h"
#include "PixelTestSupport.h"
#include "TestSkin.h"
#include "TestSupport.h"
#include "sCommonData.h"
#include "sFade.h"
#include "sMessages.h"
#include "sSkinManager.h"

#include <memory>
#include <string>
#include <vector>

namespace enginetest {

struct SkinCmd {
    WORD Code;
    LPARAM Data;
};

inline std::vector<WORD> Codes(const std::vector<SkinCmd>& log, std::initializer_list<WORD> only) {
    std::vector<WORD> r;
    for (const SkinCmd& c : log)
        for (WORD w : only)
            if (c.Code == w) r.push_back(c.Code);
    return r;
}

inline int CountCode(const std::vector<SkinCmd>& log, WORD code) {
    int n = 0;
    for (const SkinCmd& c : log) n += c.Code == code;
    return n;
}

// A windowed control that writes down every SM_ALPHACMD it gets. With a skin
// data it acts as a skinned control does: the shared handler first, command
// 16 stops its fade, 23 rebuilds its cache in NewColor, 24 counts frames.
class TRecWin : public TCustomControl {
public:
    TRecWin(TComponent* AOwner, bool Skinned, const String& Section = "BUTTON") : TCustomControl(AOwner) {
        FControlStyle.Include(csAcceptsControls);
        SetBounds(0, 0, 40, 30);
        if (Skinned) {
            SkinData = new TsCommonData(this, true);
            SkinData->SetSkinSection(Section);
        }
    }
    ~TRecWin() override {
        if (HeldAtDestruction) *HeldAtDestruction = FadeTimer;
        StopFade(FadeTimer);
        delete SkinData;
    }
    void WndProc(TMessage& M) override {
        if (M.Msg == SM_ALPHACMD) {
            Log.push_back({M.WParamHi(), M.LParam});
            if (SkinData) {
                switch (M.WParamHi()) {
                    case AC_STOPFADE: StopFade(FadeTimer); return;
                    case AC_PREPARECACHE: FillCache(NewColor); return;
                    case AC_FADEFRAME:
                        ++Frames;
                        if (auto* b = reinterpret_cast<TBitmap*>(M.LParam)) FrameColors.push_back(PixelOf(b));
                        M.Result = AnswerFrames ? 1 : 0;
                        if (StopOnFrame) StopFade(FadeTimer);
                        return;
                    case AC_GETBGCOLOR:
                        if (AnswerColor != clNone) acParentColor = AnswerColor;
                        return;
                    default:
                        if (CommonMessage(M, SkinData)) return;
                }
            }
        } else if (SkinData) {
            CommonMessage(M, SkinData);
        }
        TCustomControl::WndProc(M);
    }
    void FillCache(TColor C) {
        PrepareCacheBmp(SkinData);
        SkinData->CacheBmp->Canvas()->Brush()->SetColor(C);
        SkinData->CacheBmp->Canvas()->FillRect(TRect{0, 0, Width(), Height()});
        SkinData->BGChanged = false;
    }
    void Paint() override {
        if (PaintColor == clNone) return;
        Canvas()->Brush()->SetColor(PaintColor);
        Canvas()->FillRect(ClientRect());
    }
    static std::uint32_t PixelOf(TBitmap* b) {
        if (b->Empty()) return 0xFFFFFFFF;
        const auto* p = static_cast<const std::uint8_t*>(b->ScanLine(0));
        return (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
    }
    TsCommonData* SkinData = nullptr;
    TsFadeTimer* FadeTimer = nullptr;
    // Told what FadeTimer holds when the destructor starts.
    TsFadeTimer** HeldAtDestruction = nullptr;
    TColor PaintColor = clNone;
    bool StopOnFrame = false;
    std::vector<SkinCmd> Log;
    TColor NewColor = clWhite;
    TColor AnswerColor = clNone;
    bool AnswerFrames = false;
    int Frames = 0;
    std::vector<std::uint32_t> FrameColors;
};

// A windowless control that records its skin commands.
class TRecGraphic : public TGraphicControl {
public:
    explicit TRecGraphic(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 20, 10); }
    void WndProc(TMessage& M) override {
        if (M.Msg == SM_ALPHACMD) Log.push_back({M.WParamHi(), M.LParam});
        TGraphicControl::WndProc(M);
    }
    std::vector<SkinCmd> Log;
};

using formtest::FormDeleter;
using formtest::FormPtr;
using formtest::MakeForm;
using formtest::Pump;

using testsupport::TestSkinFolder;

// A manager (the default one) with the test skin loaded from a folder.
struct ManagerPtr {
    TsSkinManager* M = nullptr;
    ManagerPtr() : M(new TsSkinManager(nullptr)) {}
    ~ManagerPtr() {
        if (M) M->Free();
    }
    TsSkinManager* operator->() const { return M; }
    operator TsSkinManager*() const { return M; }
};

inline TColor Swap(std::uint32_t rgb) { return testsupport::ToColor(rgb); }

}  // namespace enginetest
