// Painting that involves controls: a control's skin data painted over its
// parent's picture, corners repaired from it, a container's cache copied
// round its children, graphic children painted over it, glyphs, and no GDI
// objects left behind.
#include "PaintTestSupport.h"

#include "ImgList.h"
#include "sSkinText.h"

using namespace painttest;

namespace {

constexpr int B = testsupport::kTestBorderWidth;

// A container that answers command 5 with a patterned picture whose client
// area starts at Offset.
class TCacheHost : public TCustomControl {
public:
    explicit TCacheHost(TComponent* AOwner) : TCustomControl(AOwner) {
        FControlStyle.Include(csAcceptsControls);
        SetBounds(0, 0, 120, 90);
    }
    void WndProc(TMessage& M) override {
        if (M.Msg == SM_ALPHACMD && M.WParamHi() == AC_GETCACHE && Answer) {
            ParentCacheInfo = MakeCacheInfo(Cache.get(), Offset.x, Offset.y);
            M.LParam = M.Result = 1;
            return;
        }
        TCustomControl::WndProc(M);
    }
    std::unique_ptr<TBitmap> Cache = Patterned(200, 150);
    TPoint Offset{3, 4};
    bool Answer = true;
};

// A skinned windowed child: its skin data and nothing else.
class TSkinnedChild : public TCustomControl {
public:
    explicit TSkinnedChild(TComponent* AOwner, const String& Section = "BUTTON") : TCustomControl(AOwner) {
        SkinData = new TsCommonData(this, true);
        SkinData->SetSkinSection(Section);
    }
    ~TSkinnedChild() override { delete SkinData; }
    TsCommonData* SkinData;
};

// A windowless child that paints a 2 x 2 square in one corner only.
class TDotGraphic : public TGraphicControl {
public:
    explicit TDotGraphic(TComponent* AOwner) : TGraphicControl(AOwner) {}
    void Paint() override {
        Canvas()->Brush()->SetColor(ToColor(0xFF0000));
        Canvas()->FillRect(TRect{0, 0, 2, 2});
        ++Painted;
    }
    int Painted = 0;
};

struct Scene {
    TForm* Form;
    TCacheHost* Host;
    Scene() {
        Form = TObject::Create<TForm>(nullptr);
        Form->SetBounds(30, 30, 200, 160);
        Host = TObject::Create<TCacheHost>(Form);
        Host->SetParent(Form);
        Host->HandleNeeded();
    }
    ~Scene() { Form->Free(); }
};

}  // namespace

using ControlPaint = PaintTest;

TEST_F(ControlPaint, DataItemOverTheParentAndCornersRepairedFromIt) {
    Scene scene;
    auto* child = TObject::Create<TSkinnedChild>(scene.Form);
    child->SetBounds(10, 6, 30, 20);
    child->SetParent(scene.Host);
    TsCommonData* d = child->SkinData;
    ASSERT_GE(d->SkinIndex, 0);
    ASSERT_GE(d->BorderIndex, 0);
    PrepareCacheBmp(d);
    ASSERT_EQ(d->CacheBmp->Width(), 30);
    const TCacheInfo ci = ParentCacheOf(d);
    ASSERT_TRUE(ci.Ready);
    PaintDataItem(d, ci, false, d->CacheBmp, TPoint{child->Left(), child->Top()}, TRect{0, 0, 30, 20}, 1);
    TBitmap* cache = d->CacheBmp;
    EXPECT_EQ(Px(cache, 15, 10), C().ButtonHot);
    EXPECT_EQ(Px(cache, 15, 0), C().Border[1]);
    EXPECT_EQ(Px(cache, 0, 0), C().ButtonHot);  // key corner: the background, until repaired
    // The parent colours are back to "none" once the item is painted.
    EXPECT_EQ(acParentColor, acNoColor);

    // Bottom-left only, then all four: key pixels take the parent's picture
    // at (offset + control position + pixel).
    RepairCorners(d, 1, 2);
    EXPECT_EQ(Px(cache, 0, 19), PatternAt(3 + 10 + 0, 4 + 6 + 19));
    EXPECT_EQ(Px(cache, 0, 0), C().ButtonHot);
    RepairAllCorners(d, 1);
    for (const TPoint p : {TPoint{0, 0}, TPoint{1, 0}, TPoint{0, 1}, TPoint{29, 0}, TPoint{28, 0}, TPoint{29, 19}})
        EXPECT_EQ(Px(cache, p.x, p.y), PatternAt(3 + 10 + p.x, 4 + 6 + p.y)) << p.x << "," << p.y;
    EXPECT_EQ(Px(cache, 2, 0), C().Border[1]);
    EXPECT_EQ(Px(cache, 1, 1), C().Border[1]);

    // A parent that gives no picture: its colour fills the corners.
    scene.Host->Answer = false;
    scene.Host->SetColor(ToColor(0x0C0D0E));
    PaintDataItem(d, TCacheInfo{}, false, cache, TPoint{10, 6}, TRect{0, 0, 30, 20}, 0);
    RepairAllCorners(d, 0);
    EXPECT_EQ(Px(cache, 0, 0), 0x0C0D0Eu);
    EXPECT_EQ(Px(cache, 15, 10), C().Button);

    // CustomColor: the background is the control's own colour.
    d->SetCustomColor(true);
    child->SetColor(ToColor(0x336699));
    PaintDataItemBackground(d, TCacheInfo{}, 0, cache, TPoint{10, 6}, TRect{0, 0, 30, 20});
    EXPECT_EQ(Px(cache, 15, 10), 0x336699u);
    EXPECT_EQ(Px(cache, 15, 0), 0x336699u);  // background only: no border
}

TEST_F(ControlPaint, CacheCopiedRoundTheChildrenThenGraphicChildrenOverIt) {
    Scene scene;
    scene.Host->Offset = TPoint{0, 0};
    auto* data = new TsCommonData(scene.Host, false);
    data->CacheBmp = Patterned(120, 90).release();
    auto* win = TObject::Create<TCustomControl>(scene.Form);
    win->SetBounds(5, 5, 10, 10);
    win->SetParent(scene.Host);
    auto* dot = TObject::Create<TDotGraphic>(scene.Form);
    dot->SetBounds(30, 10, 8, 8);
    dot->SetParent(scene.Host);
    auto* hidden = TObject::Create<TCustomControl>(scene.Form);
    hidden->SetBounds(50, 20, 6, 6);
    hidden->SetVisible(false);
    hidden->SetParent(scene.Host);

    auto target = Filled(120, 90, 0x0000FF);
    HDC dc = target->Canvas()->Handle();
    PaintChildControlsInto(scene.Host, data, TPoint{0, 0}, 0, 0, false, dc, TRect{0, 0, 120, 90});
    EXPECT_EQ(Px(target.get(), 10, 10), 0x0000FFu);          // the windowed child's place is left
    EXPECT_EQ(Px(target.get(), 34, 14), 0x0000FFu);          // and the graphic child's
    EXPECT_EQ(Px(target.get(), 52, 22), PatternAt(52, 22));  // a hidden child is painted over
    EXPECT_EQ(Px(target.get(), 70, 60), PatternAt(70, 60));
    EXPECT_EQ(Px(target.get(), 4, 4), PatternAt(4, 4));

    PaintGraphicChildren(dc, scene.Host);
    EXPECT_EQ(dot->Painted, 1);
    EXPECT_EQ(Px(target.get(), 30, 10), 0xFF0000u);  // what the child painted
    EXPECT_EQ(Px(target.get(), 31, 11), 0xFF0000u);
    EXPECT_EQ(Px(target.get(), 34, 14), PatternAt(34, 14));  // the container's picture under the rest
    EXPECT_EQ(Px(target.get(), 10, 10), 0x0000FFu);

    // The source origin and the offsets shift the copy and the holes.
    auto moved = Filled(60, 40, 0x0000FF);
    PaintChildControlsInto(scene.Host, data, TPoint{20, 30}, 2, 1, false, moved->Canvas()->Handle(),
                           TRect{0, 0, 60, 40});
    EXPECT_EQ(Px(moved.get(), 0, 0), PatternAt(20, 30));
    EXPECT_EQ(Px(moved.get(), 6, 7), 0x0000FFu);  // (5, 5) moved by (1, 2)
    EXPECT_EQ(Px(moved.get(), 5, 5), PatternAt(25, 35));
    delete data;  // and its cache
}

TEST_F(ControlPaint, ChildWindowsPrintedOverTheCache) {
    Scene scene;
    auto* data = new TsCommonData(scene.Host, false);
    data->CacheBmp = Patterned(120, 90).release();
    HWND child = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_BLACKRECT, 10, 20, 15, 12,
                                 scene.Host->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(child, nullptr);
    auto target = Filled(120, 90, 0x0000FF);
    PaintChildWindowsInto(scene.Host->Handle(), data, target->Canvas()->Handle(), TRect{0, 0, 100, 80});
    // The child as it prints itself: what a print of it alone gives.
    auto alone = Filled(15, 12, 0x0000FF);
    SendMessageA(child, WM_PRINT, reinterpret_cast<WPARAM>(alone->Canvas()->Handle()), PRF_CLIENT | PRF_ERASEBKGND);
    ASSERT_NE(Px(alone.get(), 5, 5), 0x0000FFu);
    EXPECT_EQ(Px(target.get(), 15, 25), Px(alone.get(), 5, 5));
    EXPECT_EQ(Px(target.get(), 10, 20), Px(alone.get(), 0, 0));
    EXPECT_EQ(Px(target.get(), 24, 31), Px(alone.get(), 14, 11));
    EXPECT_EQ(Px(target.get(), 25, 32), PatternAt(25, 32));
    EXPECT_EQ(Px(target.get(), 5, 5), PatternAt(5, 5));
    EXPECT_EQ(Px(target.get(), 99, 79), PatternAt(99, 79));
    EXPECT_EQ(Px(target.get(), 100, 80), 0x0000FFu);           // outside the rectangle
    EXPECT_EQ(Px(data->CacheBmp, 15, 25), PatternAt(15, 25));  // the cache itself is not drawn on
    DestroyWindow(child);
    delete data;
}

TEST_F(ControlPaint, ItemToDCAndBorderStrips) {
    auto target = Filled(50, 40, 0);
    HDC dc = target->Canvas()->Handle();
    PaintItemToDC(Section("BUTTON"), "BUTTON", TCacheInfo{}, M(), dc, TPoint{0, 0}, TRect{10, 5, 40, 25}, 0);
    EXPECT_EQ(Px(target.get(), 25, 15), C().Button);
    EXPECT_EQ(Px(target.get(), 25, 5), C().Border[0]);
    EXPECT_EQ(Px(target.get(), 9, 15), 0u);

    auto src = Patterned(30, 20);
    auto dst = Filled(40, 30, 0);
    CopyBorderStrips(dst->Canvas()->Handle(), 5, 5, 2, src->Canvas()->Handle(), 30, 20);
    EXPECT_EQ(Px(dst.get(), 5, 5), PatternAt(0, 0));
    EXPECT_EQ(Px(dst.get(), 5 + 29, 5 + 19), PatternAt(29, 19));
    EXPECT_EQ(Px(dst.get(), 5 + 1, 5 + 10), PatternAt(1, 10));
    EXPECT_EQ(Px(dst.get(), 5 + 28, 5 + 10), PatternAt(28, 10));
    EXPECT_EQ(Px(dst.get(), 5 + 2, 5 + 10), 0u);  // inside the strips
    EXPECT_EQ(Px(dst.get(), 4, 4), 0u);
}

TEST_F(ControlPaint, GlyphsFromBitmapsAndImageLists) {
    // A 2-picture glyph 6 x 4 each; key colour by its bottom-left pixel.
    auto glyph = Filled(12, 4, 0x00FF00);
    for (int x = 6; x < 12; ++x)
        for (int y = 0; y < 4; ++y) SetPx(glyph.get(), x, y, 0x0000FF);
    SetPx(glyph.get(), 0, 3, 0xFF00FF);
    SetPx(glyph.get(), 6, 3, 0xFF00FF);
    glyph->SetTransparentColor(clFuchsia);
    auto dst = Filled(10, 10, 0x808080);
    TacGlyphLook look;
    DrawGlyphInto(dst.get(), TRect{2, 2, 10, 10}, glyph.get(), 2, 1, look);
    EXPECT_EQ(Px(dst.get(), 3, 2), 0x0000FFu);
    EXPECT_EQ(Px(dst.get(), 2, 5), 0x808080u);  // the key pixel
    EXPECT_EQ(Px(dst.get(), 8, 2), 0x808080u);  // one picture wide
    look.Grayed = true;
    DrawGlyphInto(dst.get(), TRect{2, 2, 10, 10}, glyph.get(), 2, 0, look);
    const std::uint32_t g = Px(dst.get(), 3, 2);
    EXPECT_EQ(Ch(g, 0), Ch(g, 1));
    EXPECT_EQ(Ch(g, 1), Ch(g, 2));
    look = TacGlyphLook{};
    look.Blend = 50;
    auto blended = Filled(10, 10, 0x000000);
    DrawGlyphInto(blended.get(), TRect{0, 0, 6, 4}, glyph.get(), 2, 0, look);
    EXPECT_TRUE(Near(Px(blended.get(), 1, 1), 0x008000, 1));

    // 32-bit glyphs: without any alpha, opaque round the key colour (as the
    // class library draws them); with alpha, by it.
    for (const int alphaValue : {0, 255, 128}) {
        TBitmap wide(6, 4, pf32bit);
        for (int y = 0; y < 4; ++y) {
            auto* p = static_cast<std::uint8_t*>(wide.ScanLine(y));
            for (int x = 0; x < 6; ++x, p += 4) {
                const bool key = x == 0;
                p[0] = key ? 0xFF : 0x00, p[1] = key ? 0x00 : 0xFF, p[2] = key ? 0xFF : 0x00;
                p[3] = std::uint8_t(key ? 0 : alphaValue);
            }
        }
        wide.SetTransparentColor(clFuchsia);
        auto onto = Filled(8, 6, 0x000000);
        DrawGlyphInto(onto.get(), TRect{1, 1, 8, 6}, &wide, 1, 0, TacGlyphLook{});
        const std::uint32_t expected = alphaValue == 128 ? 0x008000u : 0x00FF00u;
        EXPECT_TRUE(Near(Px(onto.get(), 3, 2), expected, 1)) << alphaValue << ": " << std::hex << Px(onto.get(), 3, 2);
        EXPECT_EQ(Px(onto.get(), 1, 1), 0u) << alphaValue << ": the key pixel";
    }

    // An image list: the picture and its grey copy, key colour round them.
    TImageList list(nullptr, 8, 8);
    auto image = Filled(8, 8, 0x2050F0);
    ASSERT_EQ(list.Add(image.get(), nullptr), 0);
    EXPECT_EQ(ImageCountOf(&list), 1);
    EXPECT_EQ(ImageCountOf(nullptr), 0);
    TBitmap out;
    EXPECT_EQ(DrawImageListGlyph(&list, 0, &out, TsDisabledKind{dkGrayed}), 2);
    ASSERT_EQ(out.Width(), 16);
    EXPECT_EQ(Px(&out, 3, 3), 0x2050F0u);
    const std::uint32_t grey = Px(&out, 11, 3);
    EXPECT_EQ(Ch(grey, 0), Ch(grey, 2));
    EXPECT_EQ(DrawImageListGlyph(&list, 0, &out, TsDisabledKind{dkBlended}), 1);
    EXPECT_EQ(DrawImageListGlyph(&list, 5, &out, TsDisabledKind{}), 0);
    auto onto = Filled(12, 12, 0);
    DrawImageListGlyphInto(onto.get(), TRect{2, 2, 12, 12}, &list, 0, TacGlyphLook{});
    EXPECT_EQ(Px(onto.get(), 5, 5), 0x2050F0u);
    EXPECT_EQ(Px(onto.get(), 10, 10), 0u);

    // A speed button's glyph: its bitmap when it has one, else its image.
    TacButtonGlyph button;
    button.Images = &list;
    button.ImageIndex = 0;
    auto face = Filled(12, 12, 0);
    DrawSpeedButtonGlyph(face.get(), TRect{0, 0, 12, 12}, button);
    EXPECT_EQ(Px(face.get(), 1, 1), 0x2050F0u);
    button.Glyph = glyph.get();
    button.NumGlyphs = 2;
    button.Picture = 1;
    DrawSpeedButtonGlyph(face.get(), TRect{0, 0, 12, 12}, button);
    EXPECT_EQ(Px(face.get(), 1, 1), 0x0000FFu);
    button.ImageIndex = 3;
    button.Glyph = nullptr;
    const auto before = Bytes(face.get());
    DrawSpeedButtonGlyph(face.get(), TRect{0, 0, 12, 12}, button);
    EXPECT_EQ(Bytes(face.get()), before);
}

TEST_F(ControlPaint, NoGdiObjectsAreLeftBehind) {
    auto b = Filled(60, 40, 0);
    TCanvas* canvas = b->Canvas();
    canvas->Handle();
    HDC screenDC = GetDC(nullptr);
    TsCommonData web(nullptr, false);
    web.SetSkinSection("WEBBUTTON");
    auto run = [&] {
        HRGN rgn = CreateRectRgn(0, 0, 60, 40);
        PaintBorderWithRegion(b.get(), rgn, true, 1, Mask("BUTTON", "BORDERSMASK"), M());
        DeleteObject(rgn);
        PaintItemToDC(Section("BUTTON"), "BUTTON", TCacheInfo{}, M(), canvas->Handle(), TPoint{0, 0},
                      TRect{0, 0, 30, 20}, 1);
        DrawDottedFrame(canvas, TRect{1, 1, 50, 30});
        DrawDottedFrame(screenDC, TRect{-10, -10, -2, -2});
        FillDC(canvas->Handle(), TRect{0, 0, 5, 5}, clRed);
        TRect r{0, 0, 10, 10};
        Frame3DOnDC(canvas->Handle(), r, clBlack, 2, clWhite);
        std::vector<TRect> rects;
        BorderMaskRegionRects(rects, Mask("BUTTON", "BORDERSMASK"), 60, 0, 0, M());
        DeleteObject(RegionWithoutRects(60, 40, rects));
        WriteSkinTextWeb(canvas, "Abc", true, true, &web, DT_SINGLELINE, TRect{0, 0, 60, 40});
        TSize s;
        TextSizeOnScreen(canvas->Font()->Handle(), "Abc", s);
    };
    run();  // first use makes the objects that are kept (the canvas's font and brush)
    const DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (before != 0) {
        for (int i = 0; i < 50; ++i) run();
        EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), before + 2);
    } else {
        // No object count (Wine): fill the GDI table but for a few hundred
        // slots, run the painters more often than that, and see that the
        // slots are still free.
        std::vector<HBRUSH> hog;
        while (hog.size() < 200000)
            if (HBRUSH h = CreateSolidBrush(0)) hog.push_back(h);
            else break;
        const std::size_t spare = 300;
        for (std::size_t i = 0; i < spare && !hog.empty(); ++i) {
            DeleteObject(hog.back());
            hog.pop_back();
        }
        for (int i = 0; i < 400; ++i) run();
        std::size_t free = 0;
        while (free < spare)
            if (HBRUSH h = CreateSolidBrush(0)) hog.push_back(h), ++free;
            else break;
        for (HBRUSH h : hog) DeleteObject(h);
        EXPECT_GE(free, spare - 50);
    }
    ReleaseDC(nullptr, screenDC);
}
