// Scrolling a list box of 10,000 lines by dragging its thumb from top to
// bottom: through the skinned bar of a window adapter (each step the mouse
// move the adapter tracks) against the plain list box (each step what the
// system's thumb tracking does: the request, the new position shown, the
// list repainted), as a ratio from one run.
#include "BenchTimer.h"
#include "Forms.h"
#include "acSBUtils.h"
#include "sSkinManager.h"

#include <cstdio>
#include <memory>
#include <string>

namespace {

constexpr int kLines = 10000;
constexpr int kSteps = 200;

HWND MakeList(HWND host) {
    HWND lb =
        CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 10,
                        10, 220, 300, host, nullptr, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(lb, WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < kLines; ++i) SendMessageA(lb, LB_ADDSTRING, 0, LPARAM(("line " + std::to_string(i)).c_str()));
    SendMessageA(lb, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(lb, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    return lb;
}

// The list's top line as the thumb is dragged down in kSteps steps.
int StepPosition(int Step) { return MulDiv(Step, kLines - 1, kSteps); }

double PlainDrag(HWND lb) {
    return BestMicroseconds(3, [lb] {
        SendMessageA(lb, LB_SETTOPINDEX, 0, 0);
        for (int s = 1; s <= kSteps; ++s) {
            const int pos = StepPosition(s);
            SendMessageA(lb, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, pos), 0);
            SetScrollPos(lb, SB_VERT, pos, TRUE);
            UpdateWindow(lb);
        }
        SendMessageA(lb, WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
    });
}

double SkinnedDrag(HWND lb, TacScrollWnd* adapter) {
    return BestMicroseconds(3, [lb, adapter] {
        SendMessageA(lb, LB_SETTOPINDEX, 0, 0);
        PumpAll();
        TRect bar;
        ScrollBarRect(adapter, SB_VERT, lb, bar);
        adapter->VertBar->ReadInfo();
        int size = 0, top = 0;
        CalcThumb(adapter->VertBar, bar, size, top);
        const int x = (bar.left + bar.right) / 2, y0 = top + size / 2;
        const int room = bar.bottom - bar.top - 2 * ScrollBarMetric(adapter->VertBar, 0, false) - size;
        SetCursorPos(x, y0);
        SendMessageA(lb, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(x, y0));
        for (int s = 1; s <= kSteps; ++s) {
            SetCursorPos(x, y0 + MulDiv(s, room, kSteps));
            PostMessageA(lb, WM_MOUSEMOVE, MK_LBUTTON, 0);
            PumpAll();
            UpdateWindow(lb);
        }
        PostMessageA(lb, WM_LBUTTONUP, 0, 0);
        PumpAll();
    });
}

}  // namespace

int main() {
    Application->Initialize();
    auto* manager = TObject::Create<TsSkinManager>(nullptr);
    manager->SetSkinName("Light");
    HWND host = CreateWindowExA(0, "STATIC", "scroll bench", WS_POPUP | WS_VISIBLE, 40, 40, 260, 340, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    HWND plainList = MakeList(host);
    const double plain = PlainDrag(plainList);
    DestroyWindow(plainList);

    HWND skinnedList = MakeList(host);
    auto adapter = std::make_unique<TacScrollWnd>(skinnedList, nullptr, manager, "EDIT");
    PumpAll();
    const double skinned = SkinnedDrag(skinnedList, adapter.get());
    const LRESULT topAtEnd = SendMessageA(skinnedList, LB_GETTOPINDEX, 0, 0);
    adapter.reset();
    DestroyWindow(host);
    std::printf("thumb drag over %d lines in %d steps: plain %.0f us, skinned %.0f us, ratio %.2f (goal 1.5)%s\n",
                kLines, kSteps, plain, skinned, skinned / plain,
                topAtEnd > kLines / 2 ? "" : " [the drag did not scroll]");
    ReportRatio("scroll.thumbdrag", skinned, plain, 1.5);
    manager->Free();
    return 0;
}
