// The skinned check box, radio button, group box and radio group on real
// windows with the test skin: glyphs of every state from the skin, custom
// pictures and an image list; captions; one state change per real click or
// space key; read-only; loading; radio exclusion; the group's caption plate
// and frame; the radio group's items; the system look after the skin goes.
#include "SkinnedControlTest.h"
#include "TestInput.h"

#include "sCheckBox.h"
#include "sGroupBox.h"
#include "sPanel.h"
#include "sRadioButton.h"
#include "sSkinText.h"

#include <algorithm>
#include <string>
#include <vector>

using namespace skinnedtest;
using testsupport::Picture;

namespace {

const testsupport::TestSkinColors& C = testsupport::TestSkinPalette();
constexpr std::uint32_t kYellow = 0xFFFF00;  // the form's colour, unlike any skin colour
enum Box { BoxUnchecked, BoxChecked, BoxGrayed, RadioUnchecked, RadioChecked };
enum Look { Normal, Hot, Pressed, Disabled };

std::uint32_t Half(std::uint32_t a, std::uint32_t b) {
    std::uint32_t out = 0;
    for (int i = 0; i < 3; ++i) out |= std::uint32_t((Ch(a, i) + Ch(b, i) + 1) / 2) << (8 * i);
    return out;
}
bool Near(std::uint32_t a, std::uint32_t b) {
    for (int i = 0; i < 3; ++i)
        if (std::abs(Ch(a, i) - Ch(b, i)) > 2) return false;
    return true;
}

void ClickAt(TControl* Ctl, int X, int Y) {
    const TPoint p = Ctl->ClientToScreen(TPoint{X, Y});
    SetCursorPos(p.x, p.y);
    Pump(30);
    testinput::Send({testinput::Button(true)});
    Pump(30);
    testinput::Send({testinput::Button(false)});
    Pump(100);
}
void PressSpace() {
    testinput::SendKey(VK_SPACE);
    Pump(100);
}

// A 3 x 2 glyph grid of 6-pixel cells: the upper row in Colors (normal, hot,
// pressed), the lower row an opaque (white) mask.
void FillGrid(TBitmap* B, const std::uint32_t (&Colors)[3]) {
    B->SetSize(18, 12);
    for (int s = 0; s < 3; ++s) {
        B->Canvas()->Brush()->SetColor(ToColor(Colors[s]));
        B->Canvas()->FillRect(TRect{6 * s, 0, 6 * s + 6, 6});
    }
    B->Canvas()->Brush()->SetColor(clWhite);
    B->Canvas()->FillRect(TRect{0, 6, 18, 12});
}
constexpr std::uint32_t kOwnChecked[3] = {0x11AA22, 0x22BB33, 0x33CC44};
constexpr std::uint32_t kOwnUnchecked[3] = {0x5500AA, 0x6600BB, 0x7700CC};

class SkinnedChecks : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Root = new std::string(testsupport::MakeTempFolder("schecks"));
        ASSERT_TRUE(testsupport::WriteTestSkin(*Root + "\\Test"));
    }
    static void TearDownTestSuite() {
        testsupport::RemoveTree(*Root);
        delete Root;
    }
    void SetUp() override {
        Manager = TObject::Create<TsSkinManager>(nullptr);
        ASSERT_TRUE(Manager->LoadSkin(*Root + "\\Test"));
        Form = MakeForm(60, 60, 420, 320);
        Form->SetColor(TColor(0x00FFFF));
        Edit = Make<TEdit>(Form.get(), 300, 260, 60, 22);
        Form->Show();
        SetForegroundWindow(Form->Handle());
        Edit->SetFocus();
        SetCursorPos(1200, 1000);
        Pump(60);
    }
    void TearDown() override {
        Form.reset();
        Manager->Free();
        Pump(10);
    }
    template <typename T>
    T* Put(TWinControl* Parent, int L, int T0, int W, int H, const char* Caption = "") {
        T* c = Make<T>(Parent, L, T0, W, H);
        c->SetCaption(Caption);
        Pump();
        return c;
    }
    static Picture Print(TWinControl* Ctl) { return testsupport::PrintWindowClient(Ctl->Handle(), PRF_CLIENT); }
    template <typename T>
    static std::uint32_t GlyphPixel(T* Ctl) {
        const TRect r = Ctl->CheckRect();
        return Print(Ctl).Pixel((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    // Shows Ctl in Look and returns its glyph's centre pixel; the press is let
    // go by leaving, which changes no state.
    template <typename T>
    std::uint32_t GlyphIn(T* Ctl, Look L) {
        switch (L) {
            case Hot: Ctl->Perform(CM_MOUSEENTER, 0, 0); break;
            case Pressed: Ctl->Perform(WM_LBUTTONDOWN, 0, MAKELPARAM(2, 2)); break;
            case Disabled: Ctl->SetEnabled(false); break;
            default: break;
        }
        const std::uint32_t p = GlyphPixel(Ctl);
        Ctl->Perform(CM_MOUSELEAVE, 0, 0);
        Ctl->SetEnabled(true);
        Edit->SetFocus();
        Pump(10);
        return p;
    }
    static std::string* Root;
    TsSkinManager* Manager = nullptr;
    FormPtr Form;
    TEdit* Edit = nullptr;
};
std::string* SkinnedChecks::Root = nullptr;

}  // namespace

TEST_F(SkinnedChecks, SkinGlyphsOfEveryStateAndLook) {
    auto* box = Put<TsCheckBox>(Form.get(), 20, 20, 120, 20, "Box");
    auto* radio = Put<TsRadioButton>(Form.get(), 20, 60, 120, 20, "Radio");
    EXPECT_EQ(box->SkinData()->SkinSection(), "CHECKBOX");
    EXPECT_EQ(radio->SkinData()->SkinSection(), "RADIOBUTTON");
    struct Case {
        TCheckBoxState State;
        Box Mask;
    } cases[] = {{cbUnchecked, BoxUnchecked}, {cbChecked, BoxChecked}, {cbGrayed, BoxGrayed}};
    for (const Case& c : cases) {
        box->SetState(c.State);
        for (Look l : {Normal, Hot, Pressed}) EXPECT_EQ(GlyphIn(box, l), C.Box[c.Mask][l]) << c.Mask << " look " << l;
        EXPECT_TRUE(Near(GlyphIn(box, Disabled), Half(C.Box[c.Mask][0], kYellow))) << c.Mask;
        EXPECT_EQ(box->State(), c.State) << "a press let go outside changes nothing";
    }
    for (bool checked : {false, true}) {
        radio->SetChecked(checked);
        const Box mask = checked ? RadioChecked : RadioUnchecked;
        for (Look l : {Normal, Hot, Pressed}) EXPECT_EQ(GlyphIn(radio, l), C.Box[mask][l]) << mask << " look " << l;
        EXPECT_TRUE(Near(GlyphIn(radio, Disabled), Half(C.Box[mask][0], kYellow)));
    }
}

TEST_F(SkinnedChecks, CustomAndImageListGlyphsOfEveryStateAndLook) {
    auto* own = Put<TsCheckBox>(Form.get(), 20, 20, 120, 20, "Own");
    auto* listed = Put<TsCheckBox>(Form.get(), 20, 60, 120, 20, "Listed");
    TBitmap checked, unchecked;
    FillGrid(&checked, kOwnChecked);
    FillGrid(&unchecked, kOwnUnchecked);
    own->SetGlyphChecked(&checked);
    own->SetGlyphUnChecked(&unchecked);
    TCustomImageList images(nullptr, 18, 12);
    images.Add(&unchecked, nullptr);
    images.Add(&checked, nullptr);
    listed->SetImages(&images);
    listed->SetImgUnchecked(0);
    listed->SetImgChecked(1);
    for (TsCheckBox* box : {own, listed}) {
        EXPECT_EQ(box->CheckRect().right - box->CheckRect().left, 6);
        // Only the skin has a grayed picture: grayed shows the unchecked one.
        for (TCheckBoxState s : {cbUnchecked, cbChecked, cbGrayed}) {
            box->SetState(s);
            const auto& colors = s == cbChecked ? kOwnChecked : kOwnUnchecked;
            // A white mask lets 1/256 of the background through.
            for (Look l : {Normal, Hot, Pressed})
                EXPECT_TRUE(Near(GlyphIn(box, l), colors[l])) << box->Caption() << s << l;
            EXPECT_TRUE(Near(GlyphIn(box, Disabled), Half(colors[0], kYellow)));
        }
    }
}

TEST_F(SkinnedChecks, CaptionsRightAlignedAndWordWrapped) {
    auto* right = Put<TsCheckBox>(Form.get(), 20, 20, 160, 24, "Right");
    auto* wrapped = Put<TsCheckBox>(Form.get(), 20, 60, 90, 60, "A caption that wraps");
    for (TsCheckBox* b : {right, wrapped}) SharpFont(b->Font(), -13);
    right->SetAutoSize(false);
    right->SetBounds(20, 20, 160, 24);
    right->SetAlignment(taLeftJustify);
    wrapped->SetWordWrap(true);
    EXPECT_FALSE(wrapped->AutoSize()) << "word wrap switches auto-size off";
    wrapped->SetBounds(20, 60, 90, 60);
    // The glyph at the right edge, the caption left of it.
    const TRect g = right->CheckRect();
    EXPECT_EQ(g.right, 160 - 2);
    const Picture p = Print(right);
    EXPECT_EQ(p.Pixel((g.left + g.right) / 2, 12), C.Box[BoxUnchecked][0]);
    const TRect text = FindColor(p, TRect{}, C.GlobalFont);
    ASSERT_LT(text.left, text.right);
    EXPECT_GE(text.left, 2);
    EXPECT_LE(text.right, g.left);
    // Wrapped: text on more than one line.
    const TRect lines = FindColor(Print(wrapped), TRect{}, C.GlobalFont);
    EXPECT_GT(lines.bottom - lines.top, 21);
}

// The focus frame goes round the caption, not round the room the caption
// may take (a radio button's reaches to its right edge).
TEST_F(SkinnedChecks, FocusFrameGoesRoundTheCaptionOnly) {
    TWinControl* boxes[] = {Put<TsRadioButton>(Form.get(), 20, 20, 200, 20, "Third"),
                            Put<TsCheckBox>(Form.get(), 20, 60, 200, 20, "Third")};
    const int text = TextSizeOnScreen(boxes[0]->Font(), "Third").cx;
    for (TWinControl* box : boxes) {
        // Wider than its caption, as in a radio group's column.
        box->SetAutoSize(false);
        box->SetWidth(200);
        box->SetFocus();
        Pump();
        const TRect frame = FindColor(Print(box), TRect{}, 0x000000);
        ASSERT_LT(frame.left, frame.right) << box->ClassName() << ": no focus frame";
        EXPECT_GE(frame.right - frame.left, text) << box->ClassName();
        EXPECT_LE(frame.right - frame.left, text + 6) << box->ClassName();
    }
}

TEST_F(SkinnedChecks, RealClickAndSpaceToggleOnceAndClickOnceSkinnedOrNot) {
    for (bool skinned : {true, false}) {
        auto* box = Put<TsCheckBox>(Form.get(), 20, skinned ? 20 : 60, 120, 20, "Toggle");
        if (!skinned) box->SkinData()->SetSkinSection("NO SUCH SECTION");
        int clicks = 0;
        box->OnClick = [&](TObject*) { ++clicks; };
        ClickAt(box, 6, 10);
        EXPECT_EQ(box->State(), cbChecked) << skinned;
        EXPECT_EQ(clicks, 1) << skinned;
        SetForegroundWindow(Form->Handle());
        box->SetFocus();
        Pump();
        PressSpace();
        EXPECT_EQ(box->State(), cbUnchecked) << skinned;
        EXPECT_EQ(clicks, 2) << skinned;
        box->SetAllowGrayed(true);
        for (TCheckBoxState want : {cbGrayed, cbChecked}) {
            ClickAt(box, 6, 10);
            EXPECT_EQ(box->State(), want) << skinned;
        }
        EXPECT_EQ(clicks, 4) << skinned;
    }
}

// A press hides the program's hints; every way the press can end brings
// them back, and only a release over the control is a click.
TEST_F(SkinnedChecks, EveryEndOfAPressRestoresTheHints) {
    enum End { ReleasedElsewhere, ReleasedOutsideTheForm, CaptureTaken, CancelMode, Freed };
    for (bool radio : {false, true}) {
        for (End end : {ReleasedElsewhere, ReleasedOutsideTheForm, CaptureTaken, CancelMode, Freed}) {
            SCOPED_TRACE(std::string(radio ? "radio button" : "check box") + ", end " + std::to_string(end));
            TsCheckControl<TCustomCheckBox>* box = nullptr;
            TsRadioButton* button = nullptr;
            TWinControl* ctl = nullptr;
            if (radio) ctl = button = Put<TsRadioButton>(Form.get(), 20, 20, 120, 20, "Radio");
            else ctl = box = Put<TsCheckBox>(Form.get(), 20, 20, 120, 20, "Box");
            int clicks = 0;
            ctl->OnClick = [&clicks](TObject*) { ++clicks; };
            Application->SetShowHint(true);
            const TPoint p = ctl->ClientToScreen(TPoint{6, 10});
            testinput::MouseTo(POINT{p.x, p.y});
            testinput::LeftButton(true);
            EXPECT_FALSE(Application->ShowHint()) << "no hint over a control held down";
            testinput::MouseTo(POINT{p.x + 200, p.y + 150});
            switch (end) {
                case ReleasedElsewhere: testinput::LeftButton(false); break;
                case ReleasedOutsideTheForm:
                    testinput::MouseTo(POINT{p.x + 600, p.y + 500});
                    testinput::LeftButton(false);
                    break;
                case CaptureTaken: SetCapture(Edit->Handle()); break;
                case CancelMode:
                    if (HWND held = GetCapture()) SendMessageA(held, WM_CANCELMODE, 0, 0);
                    break;
                case Freed: ctl->Free(); break;
            }
            Pump(60);
            EXPECT_TRUE(Application->ShowHint()) << "the hints stay off after the press";
            if (end != Freed) {
                EXPECT_EQ(clicks, 0) << "a press let go elsewhere is no click";
                EXPECT_FALSE(radio ? button->Checked() : box->Checked());
                EXPECT_FALSE(radio ? button->Pressed() : box->Pressed());
            }
            testinput::LeftButton(false);
            ReleaseCapture();
            if (end != Freed) ctl->Free();
            Pump(30);
        }
    }
}

TEST_F(SkinnedChecks, ReadOnlyTakesNoClickNoSpaceAndNoHotLook) {
    for (bool skinned : {true, false}) {
        auto* box = Put<TsCheckBox>(Form.get(), 20, skinned ? 20 : 60, 120, 20, "Read only");
        if (!skinned) box->SkinData()->SetSkinSection("NO SUCH SECTION");
        box->SetReadOnly(true);
        int events = 0;
        box->OnClick = [&](TObject*) { ++events; };
        box->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++events; };
        box->OnKeyDown = [&](TObject*, WORD&, TShiftState) { ++events; };
        ClickAt(box, 6, 10);
        box->SetFocus();
        PressSpace();
        SendMessageA(box->Handle(), WM_LBUTTONDBLCLK, 0, MAKELPARAM(6, 10));
        EXPECT_EQ(box->State(), cbUnchecked) << skinned;
        EXPECT_EQ(events, 0) << skinned;
        EXPECT_EQ(SendMessageA(box->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED) << skinned;
    }
    auto* box = Put<TsCheckBox>(Form.get(), 20, 100, 120, 20, "Never hot");
    box->SetReadOnly(true);
    box->Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_EQ(Print(box).Pixel(box->Width() - 2, 1), C.Global);
}

TEST_F(SkinnedChecks, LoadingSetsStateAndAutoSizeFollowsGlyphAndCaption) {
    auto* box = TObject::Create<TsCheckBox>(Form.get());
    Form->BeginLoading();
    box->SetParent(Form.get());
    box->SetBounds(20, 20, 100, 20);
    SetOrdProp(box, "State", cbChecked);
    Form->EndLoading();
    Pump();
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(GlyphPixel(box), C.Box[BoxChecked][0]);
    // Empty caption: glyph and margins; with a caption its width and 8 more.
    EXPECT_EQ(box->Width(), 8 + 4);
    EXPECT_EQ(box->Height(), 8 + 2);
    box->SetCaption("Sized");
    const TSize t = TextSizeOnScreen(box->Font(), "Sized");
    EXPECT_EQ(box->Width(), 8 + 4 + t.cx + 8);
    EXPECT_EQ(box->Height(), std::max<int>(8, t.cy + 4) + 2);
}

TEST_F(SkinnedChecks, RadioButtonsExcludeEachOtherWithinOneParentOnly) {
    auto* a = Put<TsRadioButton>(Form.get(), 20, 20, 100, 20, "A");
    auto* b = Put<TsRadioButton>(Form.get(), 20, 50, 100, 20, "B");
    auto* panel = Put<TsPanel>(Form.get(), 150, 20, 150, 80);
    auto* c = Put<TsRadioButton>(panel, 10, 10, 100, 20, "C");
    a->SetChecked(true);
    c->SetChecked(true);
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    ClickAt(b, 6, 10);
    EXPECT_TRUE(b->Checked());
    EXPECT_FALSE(a->Checked());
    EXPECT_TRUE(c->Checked());
    EXPECT_EQ(clicks, 1);
    ClickAt(b, 6, 10);
    EXPECT_EQ(clicks, 1) << "a checked radio button clicked again changes nothing";
    SendMessageA(a->Handle(), BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_TRUE(a->Checked());
    EXPECT_FALSE(b->Checked());
    EXPECT_EQ(GlyphPixel(a), C.Box[RadioChecked][0]);
    // Auto-size and word wrap never both stay on.
    a->SetWordWrap(true);
    a->SetAutoSize(true);
    a->Invalidate();
    EXPECT_FALSE(a->WordWrap() && a->AutoSize());
}

TEST_F(SkinnedChecks, RefreshChangesOnlyTheLibrarysOwnButtonClass) {
    auto* radio = Put<TsRadioButton>(Form.get(), 20, 20, 100, 20, "Radio");
    WNDCLASSA before{};
    GetClassInfoA(nullptr, "BUTTON", &before);
    radio->Perform(SM_ALPHACMD, acCommandWParam(AC_REFRESH), reinterpret_cast<LPARAM>(Manager));
    EXPECT_EQ(GetClassLongA(radio->Handle(), GCL_STYLE) & (CS_HREDRAW | CS_VREDRAW), 0u);
    HWND plain = CreateWindowA("BUTTON", "x", WS_CHILD, 0, 0, 10, 10, Form->Handle(), nullptr, nullptr, nullptr);
    EXPECT_EQ(DWORD(GetClassLongA(plain, GCL_STYLE)), before.style);
    DestroyWindow(plain);
}

TEST_F(SkinnedChecks, GroupBoxPlateAndFrameHalfACaptionDown) {
    auto* panel = Put<TsPanel>(Form.get(), 10, 10, 300, 200);
    auto* group = Put<TsGroupBox>(panel, 20, 20, 200, 120, "Group");
    group->SkinData()->SetSkinSection("BUTTON");
    auto* inside = Put<TsPanel>(group, 0, 0, 10, 10);
    inside->SetAlign(alClient);
    Pump();
    const TRect c = group->CaptionRect();
    const int frameTop = (c.bottom - c.top) / 2;
    EXPECT_EQ(c.left, 6);
    const Picture p = Print(group);
    EXPECT_EQ(p.Pixel(150, frameTop), C.Border[0]);
    EXPECT_EQ(p.Pixel(150, frameTop + testsupport::kTestBorderWidth), C.Button);
    // Above the frame the panel shows through; the plate is the check-box section.
    EXPECT_EQ(p.Pixel(150, frameTop - 2), Px(*panel->SkinData()->CacheBmp, 20 + 150, 20 + frameTop - 2));
    EXPECT_EQ(p.Pixel(c.left + 1, c.top + 1), C.Global);
    // The plate shows the focus (the section's hot state) while the box or a
    // control in it has it.
    auto* field = Put<TEdit>(inside, 10, 40, 60, 22);
    const auto onScreen = [&] { return testsupport::CaptureClient(group->Handle()).Pixel(c.left + 1, c.top + 1); };
    EXPECT_EQ(onScreen(), C.Global);
    for (TWinControl* focused : {static_cast<TWinControl*>(field), static_cast<TWinControl*>(group)}) {
        focused->SetFocus();
        Pump();
        EXPECT_EQ(onScreen(), C.GlobalHot) << focused->ClassName();
        Edit->SetFocus();
        Pump();
        EXPECT_EQ(onScreen(), C.Global) << focused->ClassName() << ": focus gone";
    }
    // A see-through plate of its own section shows the frame under it at its own place.
    group->SetCaptionSkin("TRANSPANEL");
    EXPECT_TRUE(Near(Print(group).Pixel(c.left + 1, c.bottom - 1), Half(C.TransPanel, C.Button)));
    const int top = inside->Top();
    group->SetCaptionYOffset(10);
    Pump();
    EXPECT_EQ(inside->Top(), top + 10);
}

TEST_F(SkinnedChecks, RadioGroupItemsTakeClicksAndFollowItemIndex) {
    auto* group = Put<TsRadioGroup>(Form.get(), 20, 20, 300, 150, "Choice");
    group->SkinData()->SetSkinSection("BUTTON");
    int clicks = 0;
    group->OnClick = [&](TObject*) { ++clicks; };
    group->SetColumns(2);
    for (const char* s : {"One", "Two", "Three", "Four", "Five"}) group->Items()->Add(s);
    Pump();
    ASSERT_EQ(group->ButtonCount(), 5);
    EXPECT_EQ(group->Buttons(3)->Left(), (300 - 10) / 2 + 8) << "the fourth item starts the second column";
    ClickAt(group->Buttons(3), 6, group->Buttons(3)->Height() / 2);
    EXPECT_EQ(group->ItemIndex(), 3);
    EXPECT_EQ(clicks, 1);
    // The focused item's space key reaches the group's own key handler.
    std::vector<WORD> keys;
    group->OnKeyDown = [&](TObject*, WORD& Key, TShiftState) { keys.push_back(Key); };
    PressSpace();
    EXPECT_EQ(keys, std::vector<WORD>{VK_SPACE});
    EXPECT_EQ(group->ItemIndex(), 3);
    const std::uint32_t g = GlyphPixel(group->Buttons(3));
    EXPECT_TRUE(g == C.Box[RadioChecked][0] || g == C.Box[RadioChecked][1]);
    group->SetItemIndex(0);
    EXPECT_FALSE(group->Buttons(3)->Checked());
    EXPECT_EQ(clicks, 1) << "the program's choice is no click";
    group->SetItemIndex(4);
    group->Items()->Delete(4);
    EXPECT_EQ(group->ItemIndex(), 3);
}

TEST_F(SkinnedChecks, SkinRemovalGivesTheSystemLookBack) {
    auto* box = Put<TsCheckBox>(Form.get(), 20, 20, 120, 20, "Box");
    auto* group = Put<TsRadioGroup>(Form.get(), 20, 60, 200, 100, "Group");
    group->SkinData()->SetSkinSection("BUTTON");
    group->Items()->Add("Item");
    group->SetItemIndex(0);
    box->SetState(cbChecked);
    Pump();
    EXPECT_EQ(SendMessageA(box->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED) << "skinned, the window is not told";
    Manager->SetActive(false);
    Pump();
    EXPECT_EQ(SendMessageA(box->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(group->Buttons(0)->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    const Picture p = Print(box);
    int skinPixels = 0;
    for (int y = 0; y < p.Height; ++y)
        for (int x = 0; x < p.Width; ++x)
            for (int k = 0; k < 3; ++k) skinPixels += p.Pixel(x, y) == C.Box[BoxChecked][k];
    EXPECT_EQ(skinPixels, 0);
    EXPECT_NE(Print(group).Pixel(150, 20), C.Border[0]);
}
