#include "acSystemMenu.h"

String acResourceString(UINT Id) {
    char buf[256] = {};
    if (LoadStringA(GetModuleHandleA(nullptr), Id, buf, sizeof buf) > 0) return buf;
    switch (Id) {
        case acStrClose: return "&Close";
        case acStrMaximize: return "Ma&ximize";
        case acStrMinimize: return "Mi&nimize";
        case acStrSize: return "&Size";
        case acStrMove: return "&Move";
        case acStrRestore: return "&Restore";
        case acStrAvailSkins: return "Available skins";
        default: return "";
    }
}

CLASSLIB_DEFINE_CLASS(TacWindowMenu, TPopupMenu)

TacWindowMenu::TacWindowMenu(TComponent* AOwner) : TPopupMenu(AOwner) {
    const TacSystemMenuItems items = BuildSystemMenuItems(this, [this](WPARAM Code) { ItemCommand(Code); });
    ItemRestore = items.Restore;
    ItemMove = items.Move;
    ItemSize = items.Size;
    ItemMinimize = items.Minimize;
    ItemMaximize = items.Maximize;
    ItemClose = items.Close;
}

TacSystemMenuItems BuildSystemMenuItems(TPopupMenu* Menu, std::function<void(WPARAM)> OnCommand) {
    auto make = [&](UINT Text, const char* Name, WPARAM Command) {
        auto* item = TObject::Create<TMenuItem>(Menu);
        item->SetCaption(acResourceString(Text));
        item->SetName(Name);
        item->OnClick = [OnCommand, Command](TObject*) { OnCommand(Command); };
        return item;
    };
    TacSystemMenuItems r{make(acStrRestore, "ItemRestore", SC_RESTORE),
                         make(acStrMove, "ItemMove", SC_MOVE),
                         make(acStrSize, "ItemSize", SC_SIZE),
                         make(acStrMinimize, "ItemMinimize", SC_MINIMIZE),
                         make(acStrMaximize, "ItemMaximize", SC_MAXIMIZE),
                         make(acStrClose, "ItemClose", SC_CLOSE)};
    r.Close->SetShortCut(scAlt | VK_F4);
    Menu->Items()->Add({r.Restore, r.Move, r.Size, r.Minimize, r.Maximize});
    auto* line = TObject::Create<TMenuItem>(Menu);
    line->SetCaption("-");
    Menu->Items()->Add(line);
    Menu->Items()->Add(r.Close);
    return r;
}
