#include "sListControls.h"

#include "acSBUtils.h"
#include "sSkinManager.h"

void acTakeSectionColors(TsCommonData* SkinData, bool Skinned) {
    TControl* c = SkinData ? SkinData->OwnerControl : nullptr;
    if (!c) return;
    const TsGeneralData* s = Skinned ? SkinData->Section() : nullptr;
    if (!SkinData->CustomColor()) c->SetColor(s ? TColor(s->Color) : clWindow);
    if (!SkinData->CustomFont()) c->Font()->SetColor(s ? TColor(s->FontColor[0]) : clWindowText);
}

void acFreeScrollAdapter(TacMainWnd*& Adapter, HWND Wnd) {
    if (!Adapter) return;
    // Attached, it lets go of the window and goes; one that let go on its own
    // (the skin went, the window died) is only freed.
    if (Wnd && IsWindow(Wnd) && AdapterOfWindow(Wnd) == Adapter) UninitScrollAdapter(Wnd, true, true, Adapter);
    delete Adapter;
    Adapter = nullptr;
}

void acUpdateScrollAdapter(TsCommonData* SkinData, TacMainWnd*& Adapter, bool Tree) {
    auto* w = SkinData ? dynamic_cast<TWinControl*>(SkinData->OwnerControl) : nullptr;
    const bool wanted =
        w && HasSkin(SkinData) && w->HandleAllocated() && w->Showing() && !w->ComponentState().Contains(csDestroying);
    // An adapter whose window went (the control made a new one) is dropped first.
    HWND wnd = w && w->HandleAllocated() ? w->Handle() : nullptr;
    if (Adapter && (!wanted || AdapterOfWindow(wnd) != Adapter)) acFreeScrollAdapter(Adapter, wnd);
    if (!wanted || Adapter) return;
    // The edit's and the tree's adapters paint the section's frame where the
    // system would draw its sunken bevel.
    TsSkinManager* m = SkinData->GetSkinManager();
    if (Tree) Adapter = new TacTreeViewWnd(wnd, SkinData, m, SkinData->SkinSection());
    else Adapter = new TacEditWnd(wnd, SkinData, m, SkinData->SkinSection());
}
