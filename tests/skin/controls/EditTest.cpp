// The skinned edit and rich edit on real windows with the test skin: section
// and hot colours, the skin's border in the window's frame, typing and clicks
// by real input, the bound label beside its editor, the rich edit's skinned
// scroll bars, freeing while focused, and the system look after the skin goes.
#include "SkinnedControlTest.h"

#include "TestAccess.h"
#include "TestInput.h"
#include "acSBUtils.h"
#include "sEdit.h"
#include "sPanel.h"
#include "sRichEdit.h"

#include <richedit.h>

#include <string>

using namespace skinnedtest;

namespace {

// A real move of the mouse to a screen point.
void MoveTo(TPoint Screen) {
    testinput::Send({testinput::Move(POINT{Screen.x, Screen.y})});
    Pump(30);
}

void ClickAt(TPoint Screen) {
    MoveTo(Screen);
    testinput::Send({testinput::Button(true), testinput::Button(false)});
    Pump(80);
}

// Lower-case letters and the arrow keys by their virtual keys.
void Type(const std::string& Keys) {
    for (char k : Keys) {
        const WORD vk = k == '<' ? VK_LEFT : WORD(std::toupper(static_cast<unsigned char>(k)));
        testinput::SendKey(vk);
        Pump(20);
    }
    Pump(60);
}

// Through the application's loop, which tells controls the mouse came or went.
bool PumpAppUntil(const std::function<bool()>& Done) {
    for (int i = 0; i < 100 && !Done(); ++i) Pump(20);
    return Done();
}

std::uint32_t FramePixel(HWND Wnd, int X, int Y) { return testsupport::CaptureWindow(Wnd).Pixel(X, Y); }
std::uint32_t ClientPixel(HWND Wnd, int X, int Y) { return testsupport::CaptureClient(Wnd).Pixel(X, Y); }

class SkinnedEdit : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(Skin::Get().Manager(), nullptr);
        Skin::Get().Manager()->SetActive(true);
        Form = MakeForm(60, 60, 420, 300);
        Form->SetColor(TColor(0x00FFFF));
        Edit = Make<TsEdit>(Form.get(), 120, 40, 160, 24);
        Edit->SetName("NameEdit");
        Edit->SetText("");
        Edit->SkinData()->SetSkinSection("EDIT_HOT");
        // Somewhere for the focus to go that is not the edit.
        Other = Make<TEdit>(Form.get(), 120, 240, 80, 22);
        MoveTo(TPoint{5, 5});
        Form->Show();
        SetForegroundWindow(Form->Handle());
        Other->SetFocus();
        Pump(60);
    }
    void TearDown() override {
        Skin::Get().Manager()->SetActive(true);
        Form.reset();
        if (Bars) Bars->Free();
    }

    // A rich edit on a skin of its own that has scroll-bar tracks.
    TsRichEdit* MakeRich(int Lines) {
        if (!Bars) {
            testsupport::TestSkinOptions o;
            o.ScrollBars = true;
            Bars = testsupport::NewTestSkinManager(o);
            EXPECT_TRUE(Bars->Active());
        }
        auto* rich = TObject::Create<TsRichEdit>(Form.get());
        rich->SkinData()->SetSkinManager(Bars);
        rich->SkinData()->SetSkinSection("EDIT_HOT");
        rich->SetParent(Form.get());
        rich->SetBounds(20, 90, 200, 110);
        rich->SetScrollBars(ssVertical);
        std::string text;
        for (int i = 1; i <= Lines; ++i) text += "Line " + std::to_string(i) + "\r\n";
        rich->SetText(text);
        Pump(60);
        return rich;
    }

    const testsupport::TestSkinColors& C = Skin::Get().C();
    FormPtr Form;
    TsEdit* Edit = nullptr;
    TEdit* Other = nullptr;
    TsSkinManager* Bars = nullptr;
};

}  // namespace

TEST_F(SkinnedEdit, SectionColoursAndBorderFollowFocusAndHover) {
    const HWND h = Edit->Handle();
    const int midY = Edit->Height() / 2;
    EXPECT_EQ(ToRgb(Edit->Color()), C.Edit);
    EXPECT_EQ(ToRgb(Edit->Font()->Color()), C.EditFont);
    EXPECT_EQ(FramePixel(h, 0, midY), C.Border[0]);
    EXPECT_EQ(FramePixel(h, Edit->Width() - 1, midY), C.Border[0]);
    EXPECT_EQ(ClientPixel(h, 100, 5), C.Edit);

    // A real click focuses it: hot colours in the client, the hot border around.
    ClickAt(Edit->ClientToScreen(TPoint{80, midY}));
    ASSERT_EQ(GetFocus(), h);
    EXPECT_EQ(ToRgb(Edit->Color()), C.GlobalHot);
    EXPECT_EQ(ToRgb(Edit->Font()->Color()), C.ButtonHotFont);
    EXPECT_EQ(FramePixel(h, 0, midY), C.Border[1]);
    EXPECT_EQ(ClientPixel(h, 100, 5), C.GlobalHot);

    // The focus leaves: back to the normal look.
    Other->SetFocus();
    Pump(60);
    EXPECT_EQ(ToRgb(Edit->Color()), C.Edit);
    EXPECT_EQ(FramePixel(h, 0, midY), C.Border[0]);

    // Hovering alone gives the hot look too, and leaving takes it away.
    const TPoint away = Form->ClientToScreen(TPoint{10, 10});
    MoveTo(away);
    MoveTo(Edit->ClientToScreen(TPoint{80, midY}));
    EXPECT_TRUE(PumpAppUntil([&] { return Edit->SkinData()->MouseAbove; }));
    Pump(60);
    EXPECT_EQ(FramePixel(h, 0, midY), C.Border[1]);
    EXPECT_EQ(ClientPixel(h, 100, 5), C.GlobalHot);
    MoveTo(away);
    PumpAppUntil([&] { return !Edit->SkinData()->MouseAbove; });
    Pump(60);
    EXPECT_EQ(FramePixel(h, 0, midY), C.Border[0]);
}

TEST_F(SkinnedEdit, TypingKeepsTextAndCaretAndPrintKeepsTheBorder) {
    ClickAt(Edit->ClientToScreen(TPoint{80, 12}));
    ASSERT_EQ(GetFocus(), Edit->Handle());
    Type("abc<<x");
    EXPECT_EQ(Edit->Text(), "axbc");
    EXPECT_EQ(Edit->SelStart(), 2);
    EXPECT_EQ(Edit->SelLength(), 0);
    EXPECT_EQ(FramePixel(Edit->Handle(), 0, 12), C.Border[1]);
    // Printed with its frame, the skin's border stays (the system draws only the client).
    EXPECT_EQ(testsupport::PrintWindowClient(Edit->Handle(), PRF_CLIENT | PRF_NONCLIENT).Pixel(0, 12), C.Border[1]);
}

TEST_F(SkinnedEdit, BoundLabelSitsOnEachSideAndFollowsItsEdit) {
    TsBoundLabel* b = Edit->BoundLabel();
    b->SetCaption("Name");
    b->SetIndent(5);
    b->SetActive(true);
    TsEditLabel* l = b->TheLabel();
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->Parent(), Form.get());
    EXPECT_EQ(l->FocusControl(), Edit);

    // Per layout, twice the label's centre against the edit's (x, then y):
    // -1 before, 0 centred, 1 after, 2 left edges met, 3 right edges met.
    const struct {
        TsCaptionLayout Layout;
        int X, Y;
    } cases[] = {{sclLeft, -1, 0},     {sclRight, 1, 0},      {sclTopLeft, 2, -1},     {sclTopCenter, 0, -1},
                 {sclTopRight, 3, -1}, {sclBottomLeft, 2, 1}, {sclBottomCenter, 0, 1}, {sclBottomRight, 3, 1}};
    const TRect e = Edit->BoundsRect();
    for (const auto& c : cases) {
        b->SetLayout(c.Layout);
        const TRect r = l->BoundsRect();
        SCOPED_TRACE(int(c.Layout));
        const int x[] = {e.left - 5 - r.right, 0, r.left - e.right - 5, r.left - e.left, r.right - e.right};
        const int y[] = {e.top - 5 - r.bottom, 0, r.top - e.bottom - 5};
        EXPECT_EQ(x[c.X + 1], 0);
        EXPECT_EQ(y[c.Y + 1], 0);
        if (c.X == 0) {
            EXPECT_NEAR(r.left + r.right, e.left + e.right, 1);
        }
        if (c.Y == 0) {
            EXPECT_NEAR(r.top + r.bottom, e.top + e.bottom, 1);
        }
    }

    // It follows moves, sizes, visibility and the enabled state.
    b->SetLayout(sclLeft);
    Edit->SetBounds(150, 70, 120, 30);
    EXPECT_EQ(l->Left() + l->Width(), 145);
    EXPECT_NEAR(l->Top() + l->Height() / 2, 85, 1);
    Edit->SetVisible(false);
    EXPECT_FALSE(l->Visible());
    Edit->SetVisible(true);
    EXPECT_TRUE(l->Visible());
    Edit->SetEnabled(false);
    EXPECT_FALSE(l->Enabled());

    // Switched off, the label goes.
    b->SetActive(false);
    EXPECT_EQ(b->TheLabel(), nullptr);
}

TEST_F(SkinnedEdit, RichEditBorderAndSkinnedBarsScrollByRealClicks) {
    TsRichEdit* rich = MakeRich(60);
    const HWND h = rich->Handle();
    ASSERT_NE(rich->ScrollAdapter(), nullptr);
    EXPECT_EQ(AdapterOfWindow(h), rich->ScrollAdapter());
    EXPECT_EQ(FramePixel(h, 0, 20), C.Border[0]) << "the edit border round the rich edit";
    EXPECT_EQ(SendMessageA(h, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFF0);
    // Made in code, not loaded: the section's colours all the same.
    EXPECT_EQ(ToRgb(rich->Color()), C.Edit);
    EXPECT_EQ(ToRgb(rich->DefAttributesColor()), C.EditFont);

    // The bar's top arrow from its own section.
    RECT wr{}, cr{};
    GetWindowRect(h, &wr);
    GetClientRect(h, &cr);
    POINT origin{0, 0};
    ClientToScreen(h, &origin);
    const int barLeft = origin.x - wr.left + cr.right;
    const int arrowY = origin.y - wr.top + 1;
    EXPECT_EQ(FramePixel(h, barLeft, arrowY + 5), C.Border[0]) << "skinned arrow border";

    // Real clicks on the down arrow scroll the text.
    const int arrowLength = GetSystemMetrics(SM_CYVSCROLL);
    const TPoint down{wr.left + barLeft + 6, origin.y + cr.bottom - arrowLength / 2};
    EXPECT_EQ(SendMessageA(h, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    for (int i = 0; i < 3; ++i) ClickAt(down);
    EXPECT_GE(SendMessageA(h, EM_GETFIRSTVISIBLELINE, 0, 0), 3);

    // Made hidden, it gets its adapter when it shows.
    auto* hidden = TObject::Create<TsRichEdit>(Form.get());
    hidden->SetVisible(false);
    hidden->SetParent(Form.get());
    hidden->HandleNeeded();
    EXPECT_EQ(hidden->ScrollAdapter(), nullptr);
    hidden->SetVisible(true);
    EXPECT_NE(hidden->ScrollAdapter(), nullptr);
}

TEST_F(SkinnedEdit, FreeingFocusedEditorsWithLabelsRunsClean) {
    CountExceptions errors;
    Edit->BoundLabel()->SetActive(true);
    TsRichEdit* rich = MakeRich(40);
    rich->BoundLabel()->SetActive(true);
    ClickAt(Edit->ClientToScreen(TPoint{40, 12}));
    ASSERT_EQ(GetFocus(), Edit->Handle());
    const int before = Form->ControlCount();

    // The focused edit goes: its label with it, nothing touched afterwards.
    Edit->Free();
    Pump(60);
    EXPECT_EQ(Form->ControlCount(), before - 2);

    // The focused rich edit goes with its adapter and label.
    rich->SetFocus();
    Pump(30);
    const HWND h = rich->Handle();
    rich->Free();
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(AttachedAdapterCount(), 0);

    // A form freed with a focused edit whose label it frees first.
    auto* again = Make<TsEdit>(Form.get(), 120, 40, 160, 24);
    again->BoundLabel()->SetActive(true);
    again->SetFocus();
    Pump(30);
    Form.reset();
    Pump(30);
    EXPECT_EQ(errors.Count, 0);
}

// The section's colours become the control's own colours for the editors
// (an edit, a rich edit) and for no other skinned control, even on an editor
// section.
TEST_F(SkinnedEdit, OnlyEditorsTakeTheSectionColours) {
    auto* rich = Make<TsRichEdit>(Form.get(), 20, 90, 200, 60);
    auto* panel = Make<TsPanel>(Form.get(), 240, 90, 100, 60);
    const TColor panelColor = TColor(0x123456);
    panel->SetColor(panelColor);
    const struct {
        const char* What;
        TControl* Control;
        TsCommonData* Data;
        bool Editor;
    } cases[] = {
        {"edit", Edit, Edit->SkinData(), true},
        {"rich edit", rich, rich->SkinData(), true},
        {"panel", panel, panel->SkinData(), false},
    };
    for (const auto& c : cases) c.Data->SetSkinSection("EDIT_HOT");
    for (bool active : {false, true}) {
        Skin::Get().Manager()->SetActive(active);
        Pump(60);
        for (const auto& c : cases) {
            const std::string what = std::string(c.What) + (active ? " skinned" : " unskinned");
            if (!c.Editor) {
                EXPECT_EQ(c.Control->Color(), panelColor) << what;
            } else if (active) {
                EXPECT_EQ(ToRgb(c.Control->Color()), C.Edit) << what;
            } else {
                EXPECT_EQ(c.Control->Color(), clWindow) << what;
                EXPECT_EQ(c.Control->Font()->Color(), clWindowText) << what;
            }
        }
    }
}

TEST_F(SkinnedEdit, SkinRemovalGivesTheSystemLookBack) {
    TsRichEdit* rich = MakeRich(40);
    const HWND e = Edit->Handle();
    Skin::Get().Manager()->SetActive(false);
    Bars->SetActive(false);
    Pump(80);

    EXPECT_EQ(Edit->Color(), clWindow);
    EXPECT_EQ(Edit->Font()->Color(), clWindowText);
    EXPECT_EQ(FramePixel(e, 0, 12), testsupport::RGBOf(GetSysColor(COLOR_BTNSHADOW)));
    EXPECT_EQ(ClientPixel(e, 100, 5), testsupport::RGBOf(GetSysColor(COLOR_WINDOW)));

    const HWND h = rich->Handle();
    EXPECT_EQ(rich->ScrollAdapter(), nullptr);
    EXPECT_EQ(GetPropA(h, acAdapterProp), nullptr);
    EXPECT_EQ(FramePixel(h, 0, 20), testsupport::RGBOf(GetSysColor(COLOR_BTNSHADOW)));
    EXPECT_EQ(rich->DefAttributesColor(), clWindowText);

    // And the skin comes back.
    Skin::Get().Manager()->SetActive(true);
    Bars->SetActive(true);
    Pump(80);
    EXPECT_EQ(FramePixel(e, 0, 12), C.Border[0]);
    EXPECT_NE(rich->ScrollAdapter(), nullptr);
}

namespace {

CHARFORMAT2A RichFormatAt(HWND Rich, LONG At) {
    CHARRANGE r{At, At + 1};
    SendMessageA(Rich, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
    CHARFORMAT2A cf{};
    cf.cbSize = sizeof cf;
    SendMessageA(Rich, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    return cf;
}

}  // namespace

// A run of its own colour and weight keeps both through every recolouring of
// the default text (skin on and off, disabled and enabled) and through the
// new window the skin's removal makes; the default text follows the default.
TEST_F(SkinnedEdit, RichEditKeepsFormattedRunsThroughRecolouringAndANewWindow) {
    auto* rich = Make<TsRichEdit>(Form.get(), 20, 90, 200, 60);
    rich->SetText("plain red plain");
    Pump(30);
    const COLORREF red = RGB(230, 0, 0);
    CHARRANGE run{6, 9};
    SendMessageA(rich->Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&run));
    CHARFORMAT2A cf{};
    cf.cbSize = sizeof cf;
    cf.dwMask = CFM_COLOR | CFM_BOLD;
    cf.dwEffects = CFE_BOLD;
    cf.crTextColor = red;
    SendMessageA(rich->Handle(), EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    const HWND first = rich->Handle();
    const struct {
        const char* When;
        std::function<void()> Do;
    } steps[] = {
        {"disabled", [&] { rich->SetEnabled(false); }},
        {"enabled again", [&] { rich->SetEnabled(true); }},
        {"skin removed", [&] { Skin::Get().Manager()->SetActive(false); }},
        {"skin back", [&] { Skin::Get().Manager()->SetActive(true); }},
    };
    for (const auto& step : steps) {
        step.Do();
        Pump(60);
        const HWND h = rich->Handle();
        EXPECT_EQ(rich->Text(), "plain red plain") << step.When;
        for (LONG at : {6, 8}) {
            const CHARFORMAT2A f = RichFormatAt(h, at);
            EXPECT_EQ(f.crTextColor, red) << step.When << " at " << at;
            EXPECT_TRUE(f.dwEffects & CFE_BOLD) << step.When << " at " << at;
        }
        for (LONG at : {0, 5, 10, 14}) {
            const CHARFORMAT2A f = RichFormatAt(h, at);
            EXPECT_EQ(f.crTextColor, ColorToRGB(rich->DefAttributesColor())) << step.When << " at " << at;
            EXPECT_FALSE(f.dwEffects & CFE_BOLD) << step.When << " at " << at;
        }
    }
    EXPECT_NE(rich->Handle(), first) << "the skin's removal made a new window";
}

// A new face, size or weight through Font reaches the text that follows the
// default; a run keeps what the program gave it of its own (face, size,
// weight, colour) and takes the rest from the new font.
TEST_F(SkinnedEdit, RichEditFontChangeKeepsEachRunsOwnFormat) {
    auto* rich = Make<TsRichEdit>(Form.get(), 20, 90, 300, 80);
    rich->Font()->SetName("Tahoma");
    rich->Font()->SetSize(9);
    rich->SetText("plain big bold face red");
    Pump(30);
    const HWND h = rich->Handle();
    const COLORREF red = RGB(230, 0, 0);
    const auto format = [&](LONG From, LONG To, DWORD Mask, auto&& Fill) {
        CHARRANGE r{From, To};
        SendMessageA(h, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
        CHARFORMAT2A cf{};
        cf.cbSize = sizeof cf;
        cf.dwMask = Mask;
        Fill(cf);
        SendMessageA(h, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    };
    format(6, 9, CFM_SIZE, [](CHARFORMAT2A& cf) { cf.yHeight = 20 * 20; });
    format(10, 14, CFM_BOLD, [](CHARFORMAT2A& cf) { cf.dwEffects = CFE_BOLD; });
    format(15, 19, CFM_FACE, [](CHARFORMAT2A& cf) { lstrcpyA(cf.szFaceName, "Courier New"); });
    format(20, 23, CFM_COLOR, [&](CHARFORMAT2A& cf) { cf.crTextColor = red; });
    const LONG oldSize = RichFormatAt(h, 0).yHeight;
    rich->Font()->SetName("Times New Roman");
    rich->Font()->SetSize(14);
    Pump(60);
    ASSERT_EQ(rich->Handle(), h);
    const LONG newSize = RichFormatAt(h, 0).yHeight;
    EXPECT_GT(newSize, oldSize);
    const struct {
        LONG At;
        const char* Face;
        LONG Size;
        bool Bold;
        COLORREF Colour;
    } runs[] = {
        {0, "Times New Roman", newSize, false, ColorToRGB(rich->DefAttributesColor())},
        {7, "Times New Roman", 20 * 20, false, ColorToRGB(rich->DefAttributesColor())},
        {11, "Times New Roman", newSize, true, ColorToRGB(rich->DefAttributesColor())},
        {16, "Courier New", newSize, false, ColorToRGB(rich->DefAttributesColor())},
        {21, "Times New Roman", newSize, false, red},
    };
    for (const auto& run : runs) {
        const CHARFORMAT2A f = RichFormatAt(h, run.At);
        EXPECT_STREQ(f.szFaceName, run.Face) << "at " << run.At;
        EXPECT_EQ(f.yHeight, run.Size) << "at " << run.At;
        EXPECT_EQ((f.dwEffects & CFE_BOLD) != 0, run.Bold) << "at " << run.At;
        EXPECT_EQ(f.crTextColor, run.Colour) << "at " << run.At;
    }
    // A bold font makes the default text bold and leaves the sized run its size.
    rich->Font()->SetStyle(TFontStyles{fsBold});
    Pump(30);
    EXPECT_TRUE(RichFormatAt(h, 0).dwEffects & CFE_BOLD);
    EXPECT_EQ(RichFormatAt(h, 7).yHeight, 20 * 20);
    EXPECT_TRUE(RichFormatAt(h, 7).dwEffects & CFE_BOLD);
}

// The border of a disabled rich edit (painted by its scroll adapter) takes the
// disabled look the program chose; the text is a published property.
TEST_F(SkinnedEdit, RichEditDisabledBorderFollowsDisabledKindAndTextIsPublished) {
    auto* rich = Make<TsRichEdit>(Form.get(), 20, 90, 200, 60);
    rich->SkinData()->SetSkinSection("EDIT_HOT");
    SetStrProp(rich, "Text", "described");
    EXPECT_EQ(rich->Text(), "described");
    rich->SetEnabled(false);
    const struct {
        TsDisabledKind Kind;
        const char* Name;
    } kinds[] = {
        {TsDisabledKind{}, "none"}, {TsDisabledKind{dkBlended}, "blended"}, {TsDisabledKind{dkGrayed}, "grayed"}};
    std::uint32_t seen[3] = {};
    for (int i = 0; i < 3; ++i) {
        rich->SetDisabledKind(kinds[i].Kind);
        Pump(60);
        seen[i] = FramePixel(rich->Handle(), 0, 30);
    }
    const auto channel = [](std::uint32_t c, int shift) { return int((c >> shift) & 0xFF); };
    EXPECT_EQ(seen[0], C.Border[0]) << "none";
    EXPECT_NE(seen[1], C.Border[0]) << "blended";
    EXPECT_NE(seen[1], seen[2]);
    EXPECT_EQ(channel(seen[2], 16), channel(seen[2], 8)) << "grayed";
    EXPECT_EQ(channel(seen[2], 8), channel(seen[2], 0)) << "grayed";
    EXPECT_NE(seen[2], C.Border[0]);
}
