// Filling a list box with 10,000 lines and scrolling it from top to bottom:
// the skinned list box (skin colours, skinned frame and bars through its
// scroll adapter) against a plain system list box, as a ratio from one run.
#include "BenchTimer.h"
#include "Forms.h"
#include "sAlphaListBox.h"
#include "sSkinManager.h"

#include <cstdio>
#include <string>

namespace {

constexpr int kLines = 10000;
constexpr int kSteps = 200;

// The top line stepped down in kSteps steps, each shown at once.
void ScrollThrough(HWND List) {
    for (int s = 0; s <= kSteps; ++s) {
        SendMessageA(List, LB_SETTOPINDEX, MulDiv(s, kLines - 1, kSteps), 0);
        SendMessageA(List, WM_NCPAINT, 1, 0);
        UpdateWindow(List);
    }
}

}  // namespace

int main() {
    Application->Initialize();
    auto* manager = TObject::Create<TsSkinManager>(nullptr);
    manager->SetSkinName("Light");
    TForm* form = nullptr;
    Application->CreateForm(form);
    form->SetBounds(40, 40, 300, 360);
    form->Show();

    HWND plain =
        CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 10,
                        10, 220, 300, form->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    const double plainFill = BestMicroseconds(3, [plain] {
        SendMessageA(plain, WM_SETREDRAW, FALSE, 0);
        SendMessageA(plain, LB_RESETCONTENT, 0, 0);
        for (int i = 0; i < kLines; ++i)
            SendMessageA(plain, LB_ADDSTRING, 0, LPARAM(("line " + std::to_string(i)).c_str()));
        SendMessageA(plain, WM_SETREDRAW, TRUE, 0);
        RedrawWindow(plain, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    });
    const double plainScroll = BestMicroseconds(3, [plain] { ScrollThrough(plain); });
    DestroyWindow(plain);

    auto* skinned = TObject::Create<TsListBox>(form);
    skinned->SetParent(form);
    skinned->SetBounds(10, 10, 220, 300);
    PumpAll();
    const double skinnedFill = BestMicroseconds(3, [skinned] {
        skinned->Items()->BeginUpdate();
        skinned->Items()->Clear();
        for (int i = 0; i < kLines; ++i) skinned->Items()->Add("line " + std::to_string(i));
        skinned->Items()->EndUpdate();
        RedrawWindow(skinned->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    });
    const double skinnedScroll = BestMicroseconds(3, [skinned] { ScrollThrough(skinned->Handle()); });
    const bool adapted = skinned->ScrollAdapter() != nullptr;
    std::printf(
        "list box of %d lines: fill plain %.0f us, skinned %.0f us, ratio %.2f; "
        "scroll in %d steps plain %.0f us, skinned %.0f us, ratio %.2f%s\n",
        kLines, plainFill, skinnedFill, skinnedFill / plainFill, kSteps, plainScroll, skinnedScroll,
        skinnedScroll / plainScroll, adapted ? "" : " [no skinned bars]");
    ReportRatio("listbox.fill", skinnedFill, plainFill, 0);
    ReportRatio("listbox.scroll", skinnedScroll, plainScroll, 1.5);
    form->Free();
    manager->Free();
    return 0;
}
