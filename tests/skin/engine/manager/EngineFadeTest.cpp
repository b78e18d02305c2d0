// Fades and glows run to their end through real timers, and end safely when
// their owner is destroyed, disabled or stops them during a frame; the
// snapshot window of page changes.
#include "EngineTestSupport.h"

// Fade frames are blended in whole numbers: a channel may be one off the exact mix.
static bool ChannelsNear(std::uint32_t a, std::uint32_t b) {
    for (int shift = 0; shift <= 16; shift += 8) {
        const int d = int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF);
        if (d < -1 || d > 1) return false;
    }
    return true;
}

using namespace enginetest;

namespace {

// Told when a component it watches is freed.
class TFreeSpy : public TComponent {
public:
    TFreeSpy() : TComponent(nullptr) {}
    int Freed = 0;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (Operation == TOperation::opRemove && AComponent) ++Freed;
    }
};

// A windowless skinned control that glows.
class TGlowControl : public TGraphicControl {
public:
    explicit TGlowControl(TComponent* AOwner) : TGraphicControl(AOwner) {
        SetBounds(5, 5, 20, 10);
        SkinData = new TsCommonData(this, true);
        SkinData->SetSkinSection("SPEEDBUTTON");
    }
    ~TGlowControl() override {
        StopAnim(Glow);
        delete SkinData;
    }
    void WndProc(TMessage& M) override {
        if (M.Msg == SM_ALPHACMD) {
            Log.push_back({M.WParamHi(), M.LParam});
            if (M.WParamHi() == AC_STOPFADE) {
                StopAnim(Glow);
                return;
            }
            if (CommonMessage(M, SkinData)) return;
        }
        TGraphicControl::WndProc(M);
    }
    TsCommonData* SkinData;
    TsAnimTimer* Glow = nullptr;
    std::vector<SkinCmd> Log;

protected:
    void Paint() override {
        ++Paints;
        if (Glow) LastFrame = TRecWin::PixelOf(Glow->FrameBmp);
    }

public:
    int Paints = 0;
    std::uint32_t LastFrame = 0;
};

class EngineFade : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Folder.Ok);
        ASSERT_TRUE(M->LoadSkin(Folder.Skin));
        Form = MakeForm(40, 40, 240, 160);
        Ctl = new TRecWin(Form.get(), true);
        Ctl->SetParent(Form.get());
        Ctl->SetBounds(10, 10, 40, 30);
        Form->Show();
        Pump();
        Ctl->FillCache(clRed);
        Ctl->NewColor = clBlue;
    }
    void TearDown() override { Pump(30); }
    // Watches the control's fade timer, which must exist.
    void Watch() {
        ASSERT_NE(Ctl->FadeTimer, nullptr);
        Spy.FreeNotification(Ctl->FadeTimer);
    }
    TestSkinFolder Folder{testsupport::TestSkinOptions{true, false, true}};
    ManagerPtr M;
    FormPtr Form;
    TRecWin* Ctl = nullptr;
    TFreeSpy Spy;
};

}  // namespace

TEST_F(EngineFade, RunsToTheEndAndFreesItsTimer) {
    FadeOrRepaint(Ctl->FadeTimer, Ctl->SkinData, false, true, 1);
    Watch();
    EXPECT_EQ(CountCode(Ctl->Log, AC_PREPARECACHE), 1);
    // The old picture is a copy, taken before the owner rebuilt its cache.
    EXPECT_EQ(TRecWin::PixelOf(Ctl->FadeTimer->OldBmp), 0xFF0000u);
    EXPECT_EQ(TRecWin::PixelOf(Ctl->SkinData->CacheBmp), 0x0000FFu);
    EXPECT_EQ(Ctl->FadeTimer->Interval(), 10u);
    EXPECT_EQ(Ctl->FadeTimer->Iterations, 4);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return Spy.Freed == 1; }, 3000));
    EXPECT_EQ(Ctl->FadeTimer, nullptr);
    EXPECT_EQ(Ctl->Frames, 4);
    EXPECT_EQ(CountCode(Ctl->Log, AC_PREPARECACHE), 1);
    EXPECT_EQ(CountCode(Ctl->Log, AC_STOPFADE), 1);
    EXPECT_EQ(Ctl->Log.back().Code, AC_STOPFADE);
    // Frames move from the old picture to the new one, ending on the new.
    ASSERT_EQ(Ctl->FrameColors.size(), 4u);
    for (std::size_t i = 1; i < Ctl->FrameColors.size(); ++i) {
        EXPECT_LT(Ctl->FrameColors[i] >> 16, Ctl->FrameColors[i - 1] >> 16);
        EXPECT_GT(Ctl->FrameColors[i] & 0xFF, Ctl->FrameColors[i - 1] & 0xFF);
    }
    EXPECT_TRUE(ChannelsNear(Ctl->FrameColors[0], 0xBF0040u)) << std::hex << Ctl->FrameColors[0];
    EXPECT_EQ(Ctl->FrameColors.back(), 0x0000FFu);
    // The owner did not take the frames: they went to its window.
    EXPECT_EQ(testsupport::CaptureClient(Ctl->Handle()).Pixel(20, 15), 0x0000FFu);
    EXPECT_EQ(Ctl->ComponentCount(), 0);
    Pump(60);
    EXPECT_EQ(Ctl->Frames, 4);
}

TEST_F(EngineFade, FramesGoToTheWholeWindowOfABorderedOwner) {
    struct TBordered : TRecWin {
        using TRecWin::TRecWin;
        void CreateParams(TCreateParams& Params) override {
            TRecWin::CreateParams(Params);
            Params.ExStyle |= WS_EX_CLIENTEDGE;
        }
    };
    auto* framed = new TBordered(Form.get(), true);
    framed->SetParent(Form.get());
    framed->SetBounds(60, 10, 40, 30);
    Pump();
    framed->FillCache(clRed);
    framed->NewColor = clBlue;
    FadeOrRepaint(framed->FadeTimer, framed->SkinData, true, true, 1);
    ASSERT_NE(framed->FadeTimer, nullptr);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return framed->FadeTimer == nullptr; }, 3000));
    // The last frame is the new picture, laid over the window from its corner.
    const testsupport::Picture shot = testsupport::CaptureWindow(framed->Handle());
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{39, 29}, std::pair{1, 28}, std::pair{20, 15}})
        EXPECT_EQ(shot.Pixel(x, y), 0x0000FFu) << x << "," << y;
    framed->Free();
}

TEST_F(EngineFade, HalfFadeTakesHalfTheSteps) {
    FadeOrRepaint(Ctl->FadeTimer, Ctl->SkinData, true, true, 1);
    Watch();
    EXPECT_EQ(Ctl->FadeTimer->Iterations, 2);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return Spy.Freed == 1; }, 3000));
    EXPECT_EQ(Ctl->Frames, 2);
    EXPECT_EQ(CountCode(Ctl->Log, AC_STOPFADE), 1);
}

TEST_F(EngineFade, OwnerTakingFramesKeepsItsWindow) {
    Ctl->AnswerFrames = true;
    Ctl->PaintColor = clLime;
    Ctl->Repaint();
    FadeOrRepaint(Ctl->FadeTimer, Ctl->SkinData, false, true, 1);
    Watch();
    ASSERT_TRUE(testsupport::PumpUntil([&] { return Spy.Freed == 1; }, 3000));
    EXPECT_EQ(Ctl->Frames, 4);
    EXPECT_EQ(testsupport::CaptureClient(Ctl->Handle()).Pixel(20, 15), 0x00FF00u);
}

TEST_F(EngineFade, NoFadeWhereTheSkinOrTheStateDoesNotAllowOne) {
    FadeOrRepaint(Ctl->FadeTimer, Ctl->SkinData, false, false, 1);
    EXPECT_EQ(Ctl->FadeTimer, nullptr);
    EXPECT_TRUE(Ctl->SkinData->BGChanged);
    Ctl->SkinData->BGChanged = false;
    acNoAnimation = true;
    FadeOrRepaint(Ctl->FadeTimer, Ctl->SkinData, false, true, 1);
    acNoAnimation = false;
    EXPECT_EQ(Ctl->FadeTimer, nullptr);
    acSkinChanging = true;
    Ctl->SkinData->BGChanged = false;
    FadeOrRepaint(Ctl->FadeTimer, Ctl->SkinData, false, true, 1);
    acSkinChanging = false;
    EXPECT_EQ(Ctl->FadeTimer, nullptr);
    // An out-of-date cache is no picture to fade from.
    Ctl->SkinData->BGChanged = true;
    FadeOrRepaint(Ctl->FadeTimer, Ctl->SkinData, false, true, 1);
    EXPECT_EQ(Ctl->FadeTimer, nullptr);
    // A section without fading.
    Ctl->SkinData->SetSkinSection("PANEL");
    Ctl->SkinData->BGChanged = false;
    FadeOrRepaint(Ctl->FadeTimer, Ctl->SkinData, false, true, 1);
    EXPECT_EQ(Ctl->FadeTimer, nullptr);
    EXPECT_EQ(CountCode(Ctl->Log, AC_PREPARECACHE), 0);
    // A running fade stops when a state change must not animate.
    Ctl->SkinData->SetSkinSection("BUTTON");
    Ctl->FillCache(clRed);
    FadeOrRepaint(Ctl->FadeTimer, Ctl->SkinData, false, true, 1);
    Watch();
    FadeOrRepaint(Ctl->FadeTimer, Ctl->SkinData, false, false, 1);
    EXPECT_EQ(Ctl->FadeTimer, nullptr);
    EXPECT_EQ(Spy.Freed, 1);
    Pump(60);
    EXPECT_EQ(Ctl->Frames, 0);
    // Without any skin nothing happens at all.
    M->SetActive(false);
    Ctl->Log.clear();
    FadeOrRepaint(Ctl->FadeTimer, Ctl->SkinData, false, true, 1);
    EXPECT_EQ(Ctl->FadeTimer, nullptr);
    EXPECT_EQ(CountCode(Ctl->Log, AC_PREPARECACHE), 0);
}

TEST_F(EngineFade, OwnerDestroyedMidway) {
    FadeOrRepaint(Ctl->FadeTimer, Ctl->SkinData, false, true, 1);
    Watch();
    ASSERT_TRUE(testsupport::PumpUntil([&] { return Ctl->Frames >= 1; }, 3000));
    // The owner frees its timer as an owned component before its destructor
    // runs: the variable it stops the fade through must be cleared by then.
    TsFadeTimer* held = Ctl->FadeTimer;
    Ctl->HeldAtDestruction = &held;
    Ctl->Free();
    Ctl = nullptr;
    EXPECT_EQ(Spy.Freed, 1);
    EXPECT_EQ(held, nullptr) << "the owner's destructor stops a freed fade";
    Pump(100);
}

TEST_F(EngineFade, OwnerWithoutStopFadeOnDestroyFreesItsTimerAsOwner) {
    FadeOrRepaint(Ctl->FadeTimer, Ctl->SkinData, false, true, 1);
    Watch();
    ASSERT_TRUE(testsupport::PumpUntil([&] { return Ctl->Frames >= 1; }, 3000));
    // The control forgets its timer; it goes with the control all the same.
    Ctl->FadeTimer = nullptr;
    Ctl->Free();
    Ctl = nullptr;
    EXPECT_EQ(Spy.Freed, 1);
    Pump(100);
}

TEST_F(EngineFade, OwnerDisabledMidway) {
    FadeOrRepaint(Ctl->FadeTimer, Ctl->SkinData, false, true, 1);
    Watch();
    ASSERT_TRUE(testsupport::PumpUntil([&] { return Ctl->Frames >= 1; }, 3000));
    const int frames = Ctl->Frames;
    Ctl->SkinData->BGChanged = false;
    Ctl->SetEnabled(false);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return Spy.Freed == 1; }, 3000));
    EXPECT_EQ(Ctl->FadeTimer, nullptr);
    EXPECT_LE(Ctl->Frames, frames + 1);
    EXPECT_TRUE(Ctl->SkinData->BGChanged);
    EXPECT_EQ(CountCode(Ctl->Log, AC_STOPFADE), 1);
}

TEST_F(EngineFade, StoppedDuringItsOwnFrame) {
    Ctl->StopOnFrame = true;
    FadeOrRepaint(Ctl->FadeTimer, Ctl->SkinData, false, true, 1);
    Watch();
    ASSERT_TRUE(testsupport::PumpUntil([&] { return Spy.Freed == 1; }, 3000));
    EXPECT_EQ(Ctl->FadeTimer, nullptr);
    EXPECT_EQ(Ctl->Frames, 1);
    EXPECT_EQ(CountCode(Ctl->Log, AC_STOPFADE), 0);
    Pump(60);
    EXPECT_EQ(Ctl->Frames, 1);
    // A direct step (as on focus) of a fade that stops itself in that step.
    Ctl->FillCache(clRed);
    FadeOrRepaint(Ctl->FadeTimer, Ctl->SkinData, false, true, 1);
    Watch();
    FadeStep(Ctl->FadeTimer);
    EXPECT_EQ(Spy.Freed, 2);
    EXPECT_EQ(Ctl->FadeTimer, nullptr);
}

TEST_F(EngineFade, RestartKeepsOneTimer) {
    FadeOrRepaint(Ctl->FadeTimer, Ctl->SkinData, false, true, 1);
    Watch();
    TsFadeTimer* first = Ctl->FadeTimer;
    ASSERT_TRUE(testsupport::PumpUntil([&] { return Ctl->Frames >= 1; }, 3000));
    Ctl->SkinData->BGChanged = false;
    Ctl->NewColor = clLime;
    FadeOrRepaint(Ctl->FadeTimer, Ctl->SkinData, false, true, 1);
    EXPECT_EQ(Ctl->FadeTimer, first);
    EXPECT_EQ(CountCode(Ctl->Log, AC_PREPARECACHE), 2);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return Spy.Freed == 1; }, 3000));
    EXPECT_EQ(Ctl->FrameColors.back(), 0x00FF00u);
    EXPECT_EQ(CountCode(Ctl->Log, AC_STOPFADE), 1);
}

TEST(EngineAnim, EventsByOwnSetOrTheProgramDefault) {
    EXPECT_TRUE(AnimEventEnabled(aeMouseEnter, TacAnimatEvents{aeMouseEnter}));
    EXPECT_FALSE(AnimEventEnabled(aeMouseLeave, TacAnimatEvents{aeMouseEnter}));
    EXPECT_FALSE(AnimEventEnabled(aeMouseDown, TacAnimatEvents{}));
    EXPECT_TRUE(AnimEventEnabled(aeMouseDown, TacAnimatEvents{aeGlobalDef}));
    const TacAnimatEvents saved = acDefaultAnimEvents;
    EXPECT_EQ(saved, (TacAnimatEvents{aeMouseEnter, aeMouseLeave, aeMouseDown, aeMouseUp}));
    acDefaultAnimEvents = TacAnimatEvents{aeMouseEnter};
    EXPECT_FALSE(AnimEventEnabled(aeMouseUp, TacAnimatEvents{aeGlobalDef}));
    EXPECT_TRUE(AnimEventEnabled(aeMouseEnter, TacAnimatEvents{aeGlobalDef}));
    EXPECT_TRUE(AnimEventEnabled(aeMouseUp, TacAnimatEvents{aeGlobalDef, aeMouseUp}));
    acDefaultAnimEvents = saved;
}

TEST(EngineAnim, GlowRepaintsThroughItsParentToTheEnd) {
    TestSkinFolder folder(testsupport::TestSkinOptions{true, false, true});
    ManagerPtr m;
    ASSERT_TRUE(m->LoadSkin(folder.Skin));
    FormPtr form = MakeForm(40, 40, 240, 160);
    auto* parent = new TRecWin(form.get(), true, "PANEL");
    parent->SetParent(form.get());
    parent->SetBounds(0, 0, 100, 60);
    auto* glow = new TGlowControl(form.get());
    glow->SetParent(parent);
    form->Show();
    Pump();
    PrepareCacheBmp(glow->SkinData);
    glow->SkinData->CacheBmp->Canvas()->Brush()->SetColor(clRed);
    glow->SkinData->CacheBmp->Canvas()->FillRect(TRect{0, 0, 20, 10});

    glow->Glow = new TsAnimTimer(nullptr);
    AnimSetup(glow->Glow, glow->SkinData);
    EXPECT_EQ(glow->Glow->Interval(), 10u);
    EXPECT_EQ(glow->Glow->Iterations, 4);
    glow->Glow->OldBmp->Assign(glow->SkinData->CacheBmp);
    glow->SkinData->CacheBmp->Canvas()->Brush()->SetColor(clBlue);
    glow->SkinData->CacheBmp->Canvas()->FillRect(TRect{0, 0, 20, 10});
    glow->Glow->Position = 1;
    TFreeSpy spy;
    spy.FreeNotification(glow->Glow);
    glow->Glow->SetEnabled(true);
    AnimStep(glow->Glow);  // the first step at once
    ASSERT_TRUE(testsupport::PumpUntil([&] { return spy.Freed == 1; }, 3000));
    EXPECT_EQ(glow->Glow, nullptr);
    // Four frames, each bracketed by command 15 to the parent, and command 8 to the control.
    std::vector<LPARAM> brackets;
    for (const SkinCmd& c : parent->Log)
        if (c.Code == AC_SETPAINTINGCHILD) brackets.push_back(c.Data);
    ASSERT_EQ(brackets.size(), 8u);
    for (std::size_t i = 0; i < brackets.size(); ++i)
        EXPECT_EQ(brackets[i], i % 2 ? 0 : reinterpret_cast<LPARAM>(glow));
    EXPECT_EQ(CountCode(glow->Log, AC_SETUPDATING), 4);
    EXPECT_EQ(CountCode(glow->Log, AC_STOPFADE), 1);
    EXPECT_EQ(parent->SkinData->PaintingChild, nullptr);
    EXPECT_GE(glow->Paints, 4);
    EXPECT_EQ(glow->LastFrame, 0x0000FFu);

    // A glow whose owner is freed midway.
    glow->Glow = new TsAnimTimer(nullptr);
    AnimSetup(glow->Glow, glow->SkinData);
    glow->Glow->OldBmp->Assign(glow->SkinData->CacheBmp);
    spy.FreeNotification(glow->Glow);
    glow->Glow->SetEnabled(true);
    ASSERT_TRUE(testsupport::PumpUntil([&] { return CountCode(glow->Log, AC_SETUPDATING) >= 5; }, 3000));
    glow->Free();
    EXPECT_EQ(spy.Freed, 2);
    Pump(60);
    parent->Free();
}

TEST(EngineSnapshot, OutputWindowCoversTheControlAndGoesAfterTheFadeIn) {
    FormPtr form = MakeForm(50, 50, 200, 150);
    form->SetColor(TColor(0x0000C0));
    auto* ctl = new TRecWin(form.get(), false);
    ctl->SetParent(form.get());
    ctl->SetBounds(20, 20, 60, 40);
    ctl->PaintColor = TColor(0x00C000);
    form->Show();
    Pump(50);
    ASSERT_EQ(testsupport::CaptureClient(ctl->Handle()).Pixel(10, 10), 0x00C000u);

    PrepareOutputWindow(ctl);
    ASSERT_NE(acOutputWindow, nullptr);
    ASSERT_NE(acSnapshotBitmap, nullptr);
    HWND out = acOutputWindow->Handle();
    EXPECT_TRUE(IsWindowVisible(out));
    EXPECT_EQ(acAnimationWindow, out);
    RECT wr{};
    GetWindowRect(out, &wr);
    const TPoint origin = ctl->ClientToScreen(TPoint{0, 0});
    EXPECT_EQ(wr.left, origin.x);
    EXPECT_EQ(wr.top, origin.y);
    EXPECT_EQ(wr.right - wr.left, 60);
    EXPECT_EQ(acSnapshotBitmap->Canvas()->Pixels(10, 10), TColor(0x00C000));
    // Taken once: a second call keeps the first snapshot.
    TOutputWindow* first = acOutputWindow;
    PrepareOutputWindow(ctl);
    EXPECT_EQ(acOutputWindow, first);

    ctl->PaintColor = TColor(0xC00000);
    const DWORD start = GetTickCount();
    FadeInControl(ctl, 40);
    EXPECT_GE(GetTickCount() - start, 25u);
    EXPECT_EQ(acOutputWindow, nullptr);
    EXPECT_EQ(acSnapshotBitmap, nullptr);
    EXPECT_EQ(acAnimationWindow, nullptr);
    EXPECT_FALSE(IsWindow(out));
    // Without a snapshot there is nothing to fade.
    FadeInControl(ctl, 40);
    EXPECT_EQ(acOutputWindow, nullptr);
}

TEST(EngineBlend, FrameMixesOldAndNewByAlpha) {
    TBitmap oldB(4, 2, pf24bit), newB(6, 2, pf24bit), frame;
    oldB.Canvas()->Brush()->SetColor(TColor(0x0000FF));  // red
    oldB.Canvas()->FillRect(TRect{0, 0, 4, 2});
    newB.Canvas()->Brush()->SetColor(TColor(0xFF0000));  // blue
    newB.Canvas()->FillRect(TRect{0, 0, 6, 2});
    BlendFadeFrame(&frame, &oldB, &newB, 255);
    EXPECT_EQ(frame.Width(), 6);
    EXPECT_EQ(frame.Canvas()->Pixels(0, 0), TColor(0x0000FF));
    EXPECT_EQ(frame.Canvas()->Pixels(5, 1), TColor(0xFF0000));  // beyond the old picture: the new one
    BlendFadeFrame(&frame, &oldB, &newB, 128);
    EXPECT_TRUE(ChannelsNear(std::uint32_t(frame.Canvas()->Pixels(1, 1)), 0x7F0080u));
    BlendFadeFrame(&frame, &oldB, &newB, -5);
    EXPECT_EQ(frame.Canvas()->Pixels(1, 1), TColor(0xFF0000));
    BlendFadeFrame(&frame, nullptr, &newB, 200);
    EXPECT_EQ(frame.Canvas()->Pixels(0, 0), TColor(0xFF0000));
}
