#include "GalleryHandleRow.h"

#include "Forms.h"
#include "StdCtrls.h"
#include "acSBUtils.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<std::unique_ptr<TacMainWnd>>& Adapters() {
    static std::vector<std::unique_ptr<TacMainWnd>> list;
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
    HWND edit = MakeSystemWindow(
        parent, "EDIT", ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_HSCROLL, Left,
        Top + 18, 145, 78);
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    std::string text;
    for (int i = 1; i <= 30; ++i)
        text += "Line " + std::to_string(i) + (i % 3 ? "" : " of a text wider than the edit shows") + "\r\n";
    SetWindowTextA(edit, text.c_str());

    HWND list = MakeSystemWindow(parent, "LISTBOX", LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL, Left + 155,
                                 Top + 18, 145, 78);
    SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    SendMessageA(list, LB_SETHORIZONTALEXTENT, 260, 0);
    for (int i = 1; i <= 40; ++i)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(("Item " + std::to_string(i)).c_str()));

    for (HWND h : {edit, list}) Adapters().push_back(std::make_unique<TacEditWnd>(h, nullptr, Manager, "EDIT"));
    AddHandleSkinnedLists(Form, Manager, Left + 320, Top);
}

namespace {

void AddColumn(HWND ListView, int Index, const char* Text, int Width, int Format) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = Format;
    column.cx = Width;
    column.pszText = const_cast<char*>(Text);
    SendMessageA(ListView, LVM_INSERTCOLUMNA, WPARAM(Index), reinterpret_cast<LPARAM>(&column));
}

HTREEITEM AddNode(HWND Tree, HTREEITEM Parent, const std::string& Text) {
    TVINSERTSTRUCTA insert{};
    insert.hParent = Parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<char*>(Text.c_str());
    return reinterpret_cast<HTREEITEM>(SendMessageA(Tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

}  // namespace

void AddHandleSkinnedLists(TForm* Form, TsSkinManager* Manager, int Left, int Top) {
    // A column of its own at the right of the form, which grows to hold it.
    const int width = 250;
    Form->SetWidth(std::max(Form->Width(), Left + width + 24));
    auto* title = TObject::Create<TLabel>(Form);
    title->SetParent(Form);
    title->SetBounds(Left, Top, 0, 0);
    title->SetCaption("System COMBOBOX, list view and tree view");

    const HWND parent = Form->Handle();
    const HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    const WPARAM wfont = reinterpret_cast<WPARAM>(font);
    HWND combo = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                                 Left, Top + 18, width, 220, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(combo, WM_SETFONT, wfont, 0);
    for (int i = 1; i <= 30; ++i)
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(("Choice " + std::to_string(i)).c_str()));
    SendMessageA(combo, CB_SETCURSEL, 0, 0);

    HWND view =
        MakeSystemWindow(parent, WC_LISTVIEWA, LVS_REPORT | LVS_SHOWSELALWAYS | WS_VSCROLL, Left, Top + 48, width, 130);
    SendMessageA(view, WM_SETFONT, wfont, 0);
    SendMessageA(view, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    AddColumn(view, 0, "Name", 100, LVCFMT_LEFT);
    AddColumn(view, 1, "Size", 60, LVCFMT_RIGHT);
    AddColumn(view, 2, "Kind", 80, LVCFMT_LEFT);
    for (int i = 0; i < 60; ++i) {
        std::string name = "File " + std::to_string(i + 1), size = std::to_string((i * 37) % 500 + 1) + " KB";
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = &name[0];
        SendMessageA(view, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        item.iSubItem = 1;
        item.pszText = &size[0];
        SendMessageA(view, LVM_SETITEMTEXTA, WPARAM(i), reinterpret_cast<LPARAM>(&item));
        std::string kind = i % 3 ? "Document" : "Picture";
        item.iSubItem = 2;
        item.pszText = &kind[0];
        SendMessageA(view, LVM_SETITEMTEXTA, WPARAM(i), reinterpret_cast<LPARAM>(&item));
    }
    // The first column shows its sort order with the skin's arrow.
    if (HWND header = FindWindowExA(view, nullptr, WC_HEADERA, nullptr)) {
        HDITEMA item{};
        item.mask = HDI_FORMAT;
        SendMessageA(header, HDM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        item.fmt |= HDF_SORTUP;
        SendMessageA(header, HDM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }

    HWND tree = MakeSystemWindow(parent, WC_TREEVIEWA, TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | WS_VSCROLL,
                                 Left, Top + 186, width, 110);
    SendMessageA(tree, WM_SETFONT, wfont, 0);
    for (int i = 1; i <= 6; ++i) {
        HTREEITEM folder = AddNode(tree, TVI_ROOT, "Folder " + std::to_string(i));
        for (int j = 1; j <= 3; ++j) AddNode(tree, folder, "Item " + std::to_string(i) + "." + std::to_string(j));
        if (i <= 2) SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(folder));
    }
    // Expanding scrolled to the children: the tree starts at its top.
    const LPARAM first = SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
    SendMessageA(tree, TVM_SELECTITEM, TVGN_FIRSTVISIBLE, first);

    Adapters().push_back(std::make_unique<TacComboBoxWnd>(combo, nullptr, Manager, "COMBOBOX"));
    Adapters().push_back(std::make_unique<TacListViewWnd>(view, nullptr, Manager, "EDIT"));
    Adapters().push_back(std::make_unique<TacTreeViewWnd>(tree, nullptr, Manager, "EDIT"));
}
