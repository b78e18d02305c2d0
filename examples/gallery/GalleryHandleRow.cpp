#include "GalleryHandleRow.h"

#include "Forms.h"
#include "StdCtrls.h"
#include "acSBUtils.h"

#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<std::unique_ptr<TacScrollWnd>>& Adapters() {
    static std::vector<std::unique_ptr<TacScrollWnd>> list;
    return list;
}

HWND MakeSystemWindow(HWND Parent, const char* Class, DWORD Style, int Left, int Top, int Width, int Height) {
    return CreateWindowExA(WS_EX_CLIENTEDGE, Class, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | Style, Left, Top, Width,
                           Height, Parent, nullptr, GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

void AddHandleSkinnedRow(TForm* Form, TsSkinManager* Manager, int Left, int Top) {
    auto* title = TObject::Create<TLabel>(Form);
    title->SetParent(Form);
    title->SetBounds(Left, Top, 0, 0);
    title->SetCaption("System EDIT and LISTBOX, skinned by handle");

    const HWND parent = Form->Handle();
    const HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HWND edit = MakeSystemWindow(parent, "EDIT",
                                 ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_HSCROLL,
                                 Left, Top + 18, 145, 78);
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    std::string text;
    for (int i = 1; i <= 30; ++i)
        text += "Line " + std::to_string(i) + (i % 3 ? "" : " of a text wider than the edit shows") + "\r\n";
    SetWindowTextA(edit, text.c_str());

    HWND list = MakeSystemWindow(parent, "LISTBOX", LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL, Left + 155, Top + 18,
                                 145, 78);
    SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    SendMessageA(list, LB_SETHORIZONTALEXTENT, 260, 0);
    for (int i = 1; i <= 40; ++i)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(("Item " + std::to_string(i)).c_str()));

    for (HWND h : {edit, list}) Adapters().push_back(std::make_unique<TacScrollWnd>(h, nullptr, Manager, "EDIT"));
}
