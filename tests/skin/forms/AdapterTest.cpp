// The adapter base on real windows: attaching and releasing by handle, the
// command answers, the theme calls, the border corners and the release on
// destruction and skin removal.
#include "AdapterTestSupport.h"
#include "FormTestSupport.h"
#include "TestAccess.h"

namespace {

using namespace adaptertest;

class AdapterTest : public ::testing::Test {
protected:
    void SetUp() override {
        Manager();
        host = MakeHost(420, 320);
        rec = MakeChild(host, "RecWnd", WS_VSCROLL | WS_BORDER, 10, 10, 150, 100);
        edit = MakeChild(host, "EDIT", ES_MULTILINE | WS_VSCROLL | WS_BORDER, 200, 10, 150, 100);
        gSeen.clear();
    }
    void TearDown() override { DestroyWindow(host); }
    HWND host = nullptr, rec = nullptr, edit = nullptr;
};

TEST_F(AdapterTest, AttachAndReleaseGiveBackTheExactProcedure) {
    for (HWND h : {rec, edit}) {
        const WNDPROC own = GetWindowProcA(h);
        TacMainWnd* a = new TacMainWnd(h, nullptr, Manager(), "EDIT");
        EXPECT_EQ(AdapterOfWindow(h), a);
        EXPECT_NE(GetWindowProcA(h), own);
        EXPECT_EQ(SendSkinCommandToWindow(h, AC_SKINNEDQUERY, 0), 1);
        UnsubclassAdapterWindow(h, false, false, a);
        EXPECT_EQ(GetPropA(h, acAdapterProp), nullptr);
        EXPECT_EQ(GetWindowProcA(h), own);
        EXPECT_TRUE(a->Destroyed);
        UnsubclassAdapterWindow(h, true, false, a);  // a second release does nothing; then freed
        EXPECT_EQ(a, nullptr);
        EXPECT_EQ(GetWindowProcA(h), own);
    }
    EXPECT_EQ(AttachedAdapterCount(), 0);
}

TEST_F(AdapterTest, DestroyedWindowGetsItsProcedureBackBeforeTheDestroyMessage) {
    for (const bool scrolling : {false, true}) {
        HWND h = MakeChild(host, "RecWnd", WS_VSCROLL, 10, 120, 150, 100);
        TacMainWnd* a =
            scrolling ? new TacScrollWnd(h, nullptr, Manager(), "EDIT") : new TacMainWnd(h, nullptr, Manager(), "EDIT");
        gPropAtDestroy = true;
        gOwnProcAtDestroy = false;
        gSeen.clear();
        DestroyWindow(h);
        EXPECT_EQ(CountOf(WM_DESTROY) + CountOf(WM_NCDESTROY), 2);
        EXPECT_FALSE(gPropAtDestroy);
        EXPECT_TRUE(gOwnProcAtDestroy);
        EXPECT_TRUE(a->Destroyed);
        delete a;  // touches nothing of the dead window
    }
}

TEST_F(AdapterTest, CommandAnswersAndWhatReachesTheWindow) {
    TacMainWnd a(rec, nullptr, Manager(), "EDIT");
    EXPECT_EQ(SendMessageA(rec, SM_ALPHACMD, acCommandWParam(AC_GETAPPLICATION), 0),
              reinterpret_cast<LRESULT>(static_cast<TApplication*>(Application)));
    ParentCacheInfo.Ready = false;
    SendSkinCommandToWindow(rec, AC_GETCACHE, 0);
    EXPECT_TRUE(ParentCacheInfo.Ready && ParentCacheInfo.Bmp == a.SkinData->CacheBmp);

    TsSkinManager other(nullptr);
    const LPARAM own = reinterpret_cast<LPARAM>(Manager()), foreign = reinterpret_cast<LPARAM>(&other);
    struct Case {
        WORD Code;
        LPARAM Data;
        bool PassedOn;
    };
    for (const Case& c :
         {Case{AC_SKINNEDQUERY, 0, false}, Case{AC_REFRESH, own, false}, Case{AC_REFRESH, foreign, true},
          Case{AC_GETCACHE, 0, false}, Case{AC_GETBGCHANGED, 0, true}, Case{AC_PREPARECACHE, 0, true}}) {
        gSeen.clear();
        SendSkinCommandToWindow(rec, c.Code, c.Data);
        EXPECT_EQ(CountOf(SM_ALPHACMD), c.PassedOn ? 1 : 0) << "command " << c.Code;
        EXPECT_EQ(CountOf(WM_PAINT), c.Code == AC_REFRESH && !c.PassedOn ? 1 : 0) << "command " << c.Code;
    }
    SendMessageA(rec, WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
    EXPECT_EQ(CountOf(WM_UPDATEUISTATE), 0);
    SendMessageW(rec, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Caf\u00e9"));
    EXPECT_EQ(a.Caption, "Caf\xe9");
    // The text path of systems outside the NT family.
    const bool nt = IsNT;
    IsNT = false;
    SendMessageA(rec, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("plain"));
    IsNT = nt;
    EXPECT_EQ(a.Caption, "plain");

    // Without an active skin every message reaches the window.
    TsSkinManager idle(nullptr);
    TacMainWnd b(edit, nullptr, &idle, "EDIT");
    EXPECT_EQ(SendSkinCommandToWindow(edit, AC_SKINNEDQUERY, 0), 0);
}

std::vector<std::pair<std::wstring, std::wstring>> gThemeCalls;
HRESULT WINAPI RecordTheme(HWND, LPCWSTR App, LPCWSTR Id) {
    gThemeCalls.emplace_back(App ? App : L"(nil)", Id ? Id : L"(nil)");
    return S_OK;
}

TEST_F(AdapterTest, VisualStyleOffUnlessDialogAndBackOnWhenFreed) {
    const TSetWindowThemeProc saved = acSetWindowTheme;
    acSetWindowTheme = &RecordTheme;
    using Calls = std::vector<std::pair<std::wstring, std::wstring>>;
    delete new TacMainWnd(rec, nullptr, Manager(), "DIALOG");
    EXPECT_EQ(gThemeCalls, (Calls{{L"(nil)", L"(nil)"}}));
    gThemeCalls.clear();
    delete new TacMainWnd(rec, nullptr, Manager(), "EDIT");
    EXPECT_EQ(gThemeCalls, (Calls{{L" ", L" "}, {L"(nil)", L"(nil)"}}));
    // Released before it is freed (the skin goes, or its owner lets go): the
    // style comes back at the release, once.
    TsSkinManager* second = LoadTestSkin();
    for (const bool skinRemoved : {false, true}) {
        SCOPED_TRACE(skinRemoved ? "skin removed" : "released");
        gThemeCalls.clear();
        TacMainWnd* a = new TacScrollWnd(edit, nullptr, second, "EDIT");
        if (skinRemoved) second->SetActive(false);
        else UnsubclassAdapterWindow(edit, false, false, a);
        EXPECT_TRUE(a->Destroyed);
        EXPECT_EQ(gThemeCalls, (Calls{{L" ", L" "}, {L"(nil)", L"(nil)"}}));
        delete a;
        EXPECT_EQ(gThemeCalls.size(), 2u);
        second->SetActive(true);
    }
    second->Free();
    acSetWindowTheme = saved;
}

BOOL CALLBACK CollectThemeProp(HWND, LPSTR Name, HANDLE, ULONG_PTR Out) {
    char buf[64] = {};
    if (IS_INTRESOURCE(Name)) GlobalGetAtomNameA(ATOM(reinterpret_cast<ULONG_PTR>(Name)), buf, sizeof buf);
    else lstrcpynA(buf, Name, sizeof buf);
    if (std::string(buf).find("ux") != std::string::npos)
        reinterpret_cast<std::vector<std::string>*>(Out)->push_back(buf);
    return TRUE;
}
// The window's theme properties as the system's visual-style library keeps them.
std::vector<std::string> ThemeProps(HWND h) {
    std::vector<std::string> names;
    EnumPropsExA(h, CollectThemeProp, reinterpret_cast<LPARAM>(&names));
    return names;
}

TEST_F(AdapterTest, TheSystemsVisualStyleRecordIsBackAfterTheSkinGoes) {
    ASSERT_NE(acSetWindowTheme, nullptr);
    const std::vector<std::string> own = ThemeProps(edit);
    TsSkinManager* second = LoadTestSkin();
    TacMainWnd* a = new TacScrollWnd(edit, nullptr, second, "EDIT");
    EXPECT_NE(ThemeProps(edit), own);  // switched off while skinned
    second->SetActive(false);
    EXPECT_EQ(ThemeProps(edit), own);
    delete a;
    EXPECT_EQ(ThemeProps(edit), own);
    second->Free();
}

TEST_F(AdapterTest, CaptionsOfAnyLengthAreReadWhole) {
    const std::string caption = std::string(3000, 'c') + "end";
    SetWindowTextA(rec, caption.c_str());
    const bool nt = IsNT;
    for (const bool ntFamily : {true, false}) {
        IsNT = ntFamily;
        EXPECT_EQ(ReadWindowText(rec), caption) << (ntFamily ? "NT" : "other");
    }
    IsNT = nt;
}

TEST_F(AdapterTest, ScrollBarLookUpsAndMinimumThumb) {
    EXPECT_EQ(SetScrollBarMinThumb(rec, 3, 20), 0);
    TacScrollWnd a(rec, nullptr, Manager(), "EDIT");
    EXPECT_EQ(ScrollBarOfWindow(rec, 0), a.HorzBar);
    EXPECT_EQ(ScrollBarOfWindow(rec, 1), a.VertBar);
    EXPECT_EQ(ScrollBarOfWindow(rec, 2), nullptr);
    EXPECT_EQ(a.VertBar->MinThumbSize, DefaultMinThumbSize());
    EXPECT_EQ(SetScrollBarMinThumb(rec, 3, 0x10014), 1);
    EXPECT_EQ(a.HorzBar->MinThumbSize + a.VertBar->MinThumbSize, 40);
}

TEST_F(AdapterTest, BorderCornersTakeTheParentColour) {
    // The host is not skinned but answers command 21 with its colour.
    TWindowProcSubclass hostHook;
    hostHook.Attach(host, [&](TMessage& M) {
        if (IsSkinCommand(M, AC_GETBGCOLOR)) acParentColor = TColor(0x00345678);
        else hostHook.CallPrevious(M);
    });
    TacMainWnd a(rec, nullptr, Manager(), "BUTTON");  // brd3: three key pixels in each corner
    AdapterGeometry(&a);
    EXPECT_EQ(a.WndPos.x, 10);
    EXPECT_EQ(a.WndSize.x, 150);
    TBitmap* cache = a.SkinData->CacheBmp;
    for (const bool dialogChild : {false, true}) {
        a.DlgMode = dialogChild;
        a.SkinData->BGChanged = true;
        UpdateAdapterCache(a.SkinData, rec, false);
        ASSERT_EQ(cache->Width(), 150);
        const int w = cache->Width() - 1, h = cache->Height() - 1;
        for (const POINT p : {POINT{w, h}, POINT{1, 1}})  // marked, to be seen kept or replaced
            *(static_cast<std::uint8_t*>(cache->ScanLine(p.y)) + 3 * p.x) ^= 0x5A;
        const std::uint32_t inner = testsupport::Px(*cache, 1, 1), corner = testsupport::Px(*cache, w, h);
        PaintAdapterBorder(&a);
        EXPECT_EQ(testsupport::Px(*cache, w, h), dialogChild ? corner : 0x785634u);
        EXPECT_EQ(testsupport::Px(*cache, 1, 1), inner);  // not a key pixel of the mask
    }
    EXPECT_EQ(acParentColor, acNoColor);
}

TEST_F(AdapterTest, SkinRemovalReachesAWindowSkinnedByHandle) {
    TsSkinManager* second = LoadTestSkin();
    const WNDPROC own = GetWindowProcA(rec);
    RECT before{}, after{};
    GetClientRect(rec, &before);
    TacScrollWnd* a = new TacScrollWnd(rec, nullptr, second, "EDIT");
    second->SetActive(false);
    EXPECT_TRUE(a->Destroyed);
    EXPECT_EQ(GetPropA(rec, acAdapterProp), nullptr);
    EXPECT_EQ(GetWindowProcA(rec), own);
    GetClientRect(rec, &after);
    EXPECT_EQ(after.right, before.right);  // the system's bar has its room again
    delete a;
    second->Free();
}

// A foreign window asks its parent for its colours (WM_CTLCOLOR*): on a form
// of ours the question reaches the window's adapter, which answers with its
// section's colours; a window without an adapter keeps the system's.
TEST(ForeignWindowColours, AdaptedWindowsOnAFormTakeTheirSectionsColours) {
    Manager();
    formtest::FormPtr form = formtest::MakeForm(40, 40, 540, 140);
    form->Show();
    auto make = [&](const char* Class, DWORD Style, int X) {
        return CreateWindowExA(0, Class, "", WS_CHILD | WS_VISIBLE | Style, X, 10, 120, 80, form->Handle(), nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    };
    const HWND edit = make("EDIT", ES_MULTILINE, 10), list = make("LISTBOX", LBS_NOINTEGRALHEIGHT, 140),
               combo = make("COMBOBOX", CBS_DROPDOWNLIST, 270), plain = make("EDIT", ES_MULTILINE, 400);
    for (HWND h : {edit, plain}) SetWindowTextA(h, "WWWW");
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("WWWW"));
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("WWWW"));
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    TacEditWnd e(edit, nullptr, Manager(), "EDIT"), l(list, nullptr, Manager(), "EDIT");
    TacComboBoxWnd c(combo, nullptr, Manager(), "COMBOBOX");
    SetFocus(form->Handle());
    for (HWND h : {edit, list, combo, plain})
        RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    Pump(50);
    const struct {
        const char* Name;
        HWND Window;
        std::uint32_t Back, Text;
    } cases[] = {{"edit", edit, C().Edit, C().EditFont},
                 {"list box", list, C().Edit, C().EditFont},
                 {"combo box", combo, C().Edit, C().EditFont},
                 {"edit without adapter", plain, 0xFFFFFF, 0x000000}};
    for (const auto& k : cases) {
        RECT r{};
        GetClientRect(k.Window, &r);
        HDC dc = GetDC(k.Window);
        // The combo box's selection field ends at its button.
        EXPECT_EQ(testsupport::RGBOf(GetPixel(dc, r.right / 2, r.bottom - 5)), k.Back) << k.Name;
        int text = 0;
        for (int y = 0; y < std::min<int>(r.bottom, 18); ++y)
            for (int x = 0; x < 60; ++x) text += testsupport::RGBOf(GetPixel(dc, x, y)) == k.Text;
        ReleaseDC(k.Window, dc);
        EXPECT_GT(text, 5) << k.Name;
    }
}

}  // namespace
