#include "FormCtrlAdapter.h"

#include "sMessages.h"

CLASSLIB_DEFINE_CLASS(TacFormCtrlAdapter, TComponent)

namespace {
UINT WalkMessage() {
    static const UINT msg = RegisterWindowMessageA("acCtrlAdapterWalk");
    return msg;
}
}  // namespace

TacFormCtrlAdapter::TacFormCtrlAdapter(TCustomForm* AForm, TsSkinManager* AManager)
    : TComponent(AForm), FAdapter(new TacCtrlAdapter(nullptr, AForm, AManager)), FForm(AForm) {
    if (!AForm) return;
    FHook.Attach(AForm, TWndMethod(this, &TacFormCtrlAdapter::FormWndProc));
    FAdapter->AddAllItems();
}

TacFormCtrlAdapter::~TacFormCtrlAdapter() {
    FHook.Release();
    delete FAdapter;
    FAdapter = nullptr;
}

void TacFormCtrlAdapter::WalkLater() {
    if (FWalkPosted || !FForm->HandleAllocated()) return;
    FWalkPosted = PostMessageA(FForm->Handle(), WalkMessage(), 0, 0) != FALSE;
}

void TacFormCtrlAdapter::FormWndProc(TMessage& M) {
    if (M.Msg == WalkMessage()) {
        FWalkPosted = false;
        FAdapter->AddAllItems();
        return;
    }
    const bool skinCommand = M.Msg == SM_ALPHACMD;
    if (skinCommand && M.WParamHi() == AC_REMOVESKIN) FAdapter->RemoveAllItems();
    FHook.CallPrevious(M);
    // A control's window is complete only after its creation notice: walked
    // when the queue comes round.
    if ((M.Msg == WM_PARENTNOTIFY && LOWORD(M.WParam) == WM_CREATE) || (M.Msg == WM_SHOWWINDOW && M.WParam) ||
        (skinCommand && (M.WParamHi() == AC_CONTROLLOADED || M.WParamHi() == AC_REFRESH)))
        WalkLater();
    else if (skinCommand && M.WParamHi() == AC_PARENTCHANGED) FAdapter->BroadcastMessage(M.Msg, M.WParam, M.LParam);
}
