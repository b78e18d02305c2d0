// The container role of skinned controls whose children paint over their
// picture (panel, group box, page control): the children's questions about
// that picture answered, and the skin commands passed on to the children.
//
//   class TsFoo : public TsSkinnedContainer<TFoo> {
//       bool SkinnedMessage(TMessage& M) override {
//           if (AnswerChildren(M)) return true;   // commands 5 and 10
//           ...
//       }
//       void ChildrenToldSkin(WORD Code, bool Own) override;  // e.g. repaint after command 3
//   };
//
// The commands 1, 2 and 3 go to the children and to the container's own
// skin data (when they name its manager): 1 to the children first, 2 and 3
// to the container first.
#pragma once

#include "sMessages.h"
#include "sSkinFile.h"
#include "sSkinnedControl.h"

template <class Base>
class TsSkinnedContainer : public TsSkinned<Base> {
public:
    using TsSkinned<Base>::TsSkinned;

protected:
    // --- Overrideables --------------------------------------------------------
    // The cache no longer shows the container as it is now.
    virtual bool CacheOutOfDate() const {
        const TsCommonData* d = this->SkinData();
        return d->BGChanged || !d->CacheBmp || d->CacheBmp->Width() != this->Width() ||
               d->CacheBmp->Height() != this->Height();
    }
    // A child asks whether the picture behind it changed (command 10).
    virtual bool BackgroundChanged() const { return this->SkinData()->BGChanged || IsUpdating(this->SkinData()); }
    // A child asks for the container's picture (command 5): it may ask before
    // the container has painted, and gets the current picture then, not none.
    virtual bool AnswerCache(TMessage& M) {
        TsCommonData* d = this->SkinData();
        if (CacheOutOfDate() && !IsUpdating(d) && !d->Command9Flag) this->PrepareCache();
        CommonAlphaCommand(M, d);
        return true;
    }
    // The container's own answer to command Code of its manager.
    virtual void OwnSkinCommand(TMessage& M, WORD /*Code*/) { CommonMessage(M, this->SkinData()); }
    // After the children and the container heard command Code.
    virtual void ChildrenToldSkin(WORD /*Code*/, bool /*Own*/) {}

    // --- For the container ----------------------------------------------------
    // The children's questions about the picture; true when M was one.
    bool AnswerChildren(TMessage& M) {
        if (M.Msg != SM_ALPHACMD) return false;
        switch (M.WParamHi()) {
            case AC_GETCACHE: return AnswerCache(M);
            case AC_GETBGCHANGED: M.LParam = M.Result = BackgroundChanged() ? 1 : 0; return true;
            case AC_GETBGCOLOR: return AnswerColor(M);
            default: return false;
        }
    }
    // What shows behind the children is the section's colour, not Color.
    bool AnswerColor(TMessage& M) {
        const TsGeneralData* s = HasSkin(this->SkinData()) ? this->SkinData()->Section() : nullptr;
        if (!s) return false;
        acParentColor = TColor(s->Color);
        M.LParam = M.Result = 1;
        return true;
    }
    // Command 9: the flag taken, then, while it is set, the cache rebuilt now
    // (the children are about to paint from it).
    bool HoldCache(TMessage& M) {
        CommonMessage(M, this->SkinData());
        if (this->SkinData()->Command9Flag) this->PrepareCache();
        return true;
    }

    bool NewSkin(TMessage& M, bool Own) override { return PassOn(M, AC_NEWSKIN, Own, /*ChildrenFirst=*/true); }
    bool RemoveSkin(TMessage& M, bool Own) override { return PassOn(M, AC_REMOVESKIN, Own, /*ChildrenFirst=*/false); }
    bool RefreshSkin(TMessage& M, bool Own) override { return PassOn(M, AC_REFRESH, Own, /*ChildrenFirst=*/false); }

private:
    bool PassOn(TMessage& M, WORD Code, bool Own, bool ChildrenFirst) {
        if (ChildrenFirst) BroadcastToChildren(this, M);
        if (Own) OwnSkinCommand(M, Code);
        if (!ChildrenFirst) BroadcastToChildren(this, M);
        ChildrenToldSkin(Code, Own);
        return true;
    }
};
