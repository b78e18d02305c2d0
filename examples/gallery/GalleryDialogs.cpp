#include "GalleryDialogs.h"

#include <windows.h>
#include <commdlg.h>

#include "Forms.h"
#include "sButton.h"

void AddDialogButtons(TForm* Form, int Left, int Top) {
    const HWND owner = Form->Handle();
    struct Entry {
        const char* Caption;
        TNotifyEvent Click;
    };
    const Entry entries[] = {
        {"Message box...",
         [owner](TObject*) {
             // The program never skins these: the hook does, as they open.
             MessageBoxA(owner, "A system message box, skinned on its way to the screen.", "Skin gallery",
                         MB_OKCANCEL | MB_ICONINFORMATION);
         }},
        {"Open a file...",
         [owner](TObject*) {
             char file[MAX_PATH] = "";
             OPENFILENAMEA ofn{};
             ofn.lStructSize = sizeof ofn;
             ofn.hwndOwner = owner;
             ofn.lpstrFilter = "All files\0*.*\0";
             ofn.lpstrFile = file;
             ofn.nMaxFile = sizeof file;
             ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST;
             GetOpenFileNameA(&ofn);
         }},
        {"Choose a colour...",
         [owner](TObject*) {
             static COLORREF custom[16] = {};
             CHOOSECOLORA cc{};
             cc.lStructSize = sizeof cc;
             cc.hwndOwner = owner;
             cc.lpCustColors = custom;
             ChooseColorA(&cc);
         }},
    };
    int x = Left;
    for (const Entry& e : entries) {
        auto* b = TObject::Create<TsButton>(Form);
        b->SetParent(Form);
        b->SetBounds(x, Top, 138, 28);
        b->SetCaption(e.Caption);
        b->OnClick = e.Click;
        x += 146;
    }
}
