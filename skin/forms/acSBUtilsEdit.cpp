// The scroll adapter that skinned class-library editors keep for their border
// and scroll bars.
#include "acSBUtils.h"

void UpdateEditScrollAdapter(TsCommonData* SkinData, TacMainWnd*& Adapter) {
    auto* control = SkinData ? dynamic_cast<TWinControl*>(SkinData->OwnerControl) : nullptr;
    const HWND wnd = control && control->HandleAllocated() ? control->Handle() : nullptr;
    if (Adapter && (Adapter->Destroyed || Adapter->CtrlHandle != wnd || !HasSkin(SkinData, true)))
        UnsubclassAdapterWindow(Adapter->CtrlHandle, true, HasSkin(SkinData, true), Adapter);
    if (Adapter || !wnd || !HasSkin(SkinData, true)) return;
    Adapter = new TacScrollWnd(wnd, SkinData, SkinData->SkinManager(), "EDIT", true);
}
