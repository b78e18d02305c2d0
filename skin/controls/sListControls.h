// What the skinned combo box, list box, list view and tree view share: the
// section's colours given to a system-painted control, the scroll adapter
// kept in step with the skin, and the frame's behaviour for a control whose
// inside the system paints.
#pragma once

#include "sMessages.h"
#include "sSkinnedControl.h"

class TacMainWnd;

// Colour and font colour from the section (Skinned) or the window colours,
// unless the skin data keeps custom ones.
void acTakeSectionColors(TsCommonData* SkinData, bool Skinned);

// While the data has a skin and its control shows, the control's window has a
// scrolling adapter (Adapter); otherwise the adapter is freed. Tree: the tree
// view's kind of adapter.
void acUpdateScrollAdapter(TsCommonData* SkinData, TacMainWnd*& Adapter, bool Tree = false);
// Adapter: the control's field; Wnd: the window it was given.
void acFreeScrollAdapter(TacMainWnd*& Adapter, HWND Wnd);

// A skinned control whose content the system window paints (list box, list
// view, tree view): the frame's commands, focus and mouse tracking stay, but
// painting goes to the window, and the colours and the scroll adapter follow
// the skin.
template <class Base>
class TsSystemPainted : public TsSkinned<Base> {
public:
    TsSystemPainted(TComponent* AOwner, TsControlType Type, const char* Section, bool Tree = false)
        : TsSkinned<Base>(AOwner, Type, TsFrameOptions{false, false}), FTree(Tree) {
        if (this->SkinData()->SkinSection().empty()) this->SkinData()->SetSkinSection(Section);
    }
    ~TsSystemPainted() override { acFreeScrollAdapter(FScrollAdapter, OwnWnd()); }
    TacMainWnd* ScrollAdapter() const { return FScrollAdapter; }

protected:
    void Loaded() override {
        TsSkinned<Base>::Loaded();
        acTakeSectionColors(this->SkinData(), HasSkin(this->SkinData()));
        UpdateAdapter();
    }
    void CreateWnd() override {
        TsSkinned<Base>::CreateWnd();
        // A window made while the skin is on shows the section's colours at once.
        if (HasSkin(this->SkinData())) acTakeSectionColors(this->SkinData(), true);
        UpdateAdapter();
    }
    void DestroyWnd() override {
        acFreeScrollAdapter(FScrollAdapter, OwnWnd());
        TsSkinned<Base>::DestroyWnd();
    }
    void UpdateAdapter() { acUpdateScrollAdapter(this->SkinData(), FScrollAdapter, FTree); }
    bool SkinnedMessage(TMessage& M) override {
        switch (M.Msg) {
            case WM_PAINT:
            case WM_ERASEBKGND:
            case WM_PRINT:
            case WM_PRINTCLIENT:
            case WM_NCPAINT:
            case WM_ENABLE:
            case WM_UPDATEUISTATE:
                // The system window paints its items in the section's colours.
                this->InheritedWndProc(M);
                return true;
            default: return false;
        }
    }
    // No hot look of its own: the frame and the adapter show the state.
    void AnimateChange(TacAnimatEvent, bool) override {}
    void AfterSkinCommand(WORD Code) override {
        if (Code == AC_REMOVESKIN) {
            // The adapter saw the command first and lets go of the window
            // itself; it is freed at the next update or with the control.
            acTakeSectionColors(this->SkinData(), false);
        } else if (Code == AC_REFRESH && HasSkin(this->SkinData())) {
            acTakeSectionColors(this->SkinData(), true);
            UpdateAdapter();
        }
    }
    void UnskinnedMessage(TMessage& M) override {
        TsSkinned<Base>::UnskinnedMessage(M);
        if (M.Msg == CM_SHOWINGCHANGED) UpdateAdapter();
    }
    void AfterInherited(TMessage& M) override {
        if (M.Msg == CM_SHOWINGCHANGED) UpdateAdapter();
    }

    HWND OwnWnd() const { return this->HandleAllocated() ? this->Handle() : nullptr; }

    TacMainWnd* FScrollAdapter = nullptr;
    bool FTree = false;
};
