// A control adapter kept on a form without a skin provider, for the tests of
// the adapter alone.
#pragma once

#include "Forms.h"
#include "WindowHooks.h"
#include "sSkinProviderAdapter.h"

// Keeps a control adapter on a form as a skin provider would: made with
// the form as owner (and freed with it), it walks the form at once, again
// when controls are created or report themselves loaded, lets go of every
// control when the skin is removed and walks again when one comes back.
class TacFormCtrlAdapter : public TComponent {
    CLASSLIB_DECLARE_CLASS(TacFormCtrlAdapter)
public:
    TacFormCtrlAdapter(TCustomForm* AForm, TsSkinManager* AManager = nullptr);
    ~TacFormCtrlAdapter() override;
    TacCtrlAdapter* Adapter() const { return FAdapter; }

private:
    void FormWndProc(TMessage& Message);
    void WalkLater();
    TacCtrlAdapter* FAdapter = nullptr;
    TCustomForm* FForm = nullptr;
    TWindowProcHook FHook;
    bool FWalkPosted = false;
};
