// The window adapters that need no skinned scroll bars: statics, buttons,
// check boxes, group boxes, panels, tool bars, size grips, spin buttons and
// popup menu windows, each painting its window from its skin section.
#pragma once

#include "acSBUtils.h"
#include "sConst.h"
#include "sMessages.h"

// The library's command message is registered at run time: window procedures
// switch on this instead, which puts it at a fixed place.
constexpr UINT kSkinCommand = 0xFFFFFFFF;
inline UINT MessageKind(const TMessage& M) { return M.Msg == SM_ALPHACMD ? kSkinCommand : M.Msg; }

// The message font of the system (what dialogs write their texts in); the
// caller frees it.
HFONT CreateMessageFont();

// "static" windows. A static with WS_TABSTOP or WS_EX_STATICEDGE is left
// completely to its own procedure.
class TacStaticWnd : public TacMainWnd {
    CLASSLIB_DECLARE_CLASS(TacStaticWnd)
public:
    using TacMainWnd::TacMainWnd;
    void WndProc(TMessage& Message) override;
    // The window's own content over the skin's background.
    virtual void PaintContent(TBitmap* Cache);
    // A tab stop or a static edge: the window, often a panel its dialog
    // paints on, keeps its own look.
    bool LeftAlone() const;

protected:
    void PaintStatic(HDC DC);
};

class TacIconWnd : public TacStaticWnd {
    CLASSLIB_DECLARE_CLASS(TacIconWnd)
public:
    using TacStaticWnd::TacStaticWnd;
    void PaintContent(TBitmap* Cache) override;
};

// The link window draws its own text; the adapter gives it the background.
class TacLinkWnd : public TacStaticWnd {
    CLASSLIB_DECLARE_CLASS(TacLinkWnd)
public:
    using TacStaticWnd::TacStaticWnd;
    void WndProc(TMessage& Message) override;
    void PaintContent(TBitmap* Cache) override;

private:
    void PaintLink(HDC DC);
};

class TacBtnWnd : public TacMainWnd {
    CLASSLIB_DECLARE_CLASS(TacBtnWnd)
public:
    using TacMainWnd::TacMainWnd;
    void WndProc(TMessage& Message) override;
    // Paints the button into DC (the window's DC when 0).
    void PaintButton(HDC DC);

protected:
    // The steps a bitmap button extends.
    // Active stands for hot, focused or the default button.
    virtual TsPaintState FaceState();
    virtual TSize GlyphSize();
    // Where the caption goes (TextSize measured); GlyphPos gets the glyph's place.
    virtual TRect CaptionRect(TSize TextSize, TPoint& GlyphPos);
    virtual int AvailableTextWidth();
    virtual void DrawGlyph(TBitmap* Cache, TPoint GlyphPos, bool Pushed);
    void DrawCaption(TBitmap* Cache, TsPaintState Face);
    HFONT CaptionFont();
    void RedrawAround(TMessage& Message);
    void HotTracking();
    // A transparent section, or a hot one shown now: its picture follows a move.
    bool ShowsItsBackground();
};

// Buttons of the bitmap-button class lists: a glyph beside the caption.
class TacBitBtnWnd : public TacBtnWnd {
    CLASSLIB_DECLARE_CLASS(TacBitBtnWnd)
public:
    using TacBtnWnd::TacBtnWnd;

protected:
    TSize GlyphSize() override;
    TRect CaptionRect(TSize TextSize, TPoint& GlyphPos) override;
    int AvailableTextWidth() override;
    void DrawGlyph(TBitmap* Cache, TPoint GlyphPos, bool Pushed) override;
};

class TacCheckBoxWnd : public TacMainWnd {
    CLASSLIB_DECLARE_CLASS(TacCheckBoxWnd)
public:
    using TacMainWnd::TacMainWnd;
    void WndProc(TMessage& Message) override;
    void PaintCheckBox(HDC DC);
    // Radio glyphs for radio-button styles (4 and 9), check boxes otherwise.
    static bool IsRadioStyle(LONG_PTR Style);
};

class TacGroupBoxWnd : public TacMainWnd {
    CLASSLIB_DECLARE_CLASS(TacGroupBoxWnd)
public:
    using TacMainWnd::TacMainWnd;
    ~TacGroupBoxWnd() override;
    void WndProc(TMessage& Message) override;
    void RestoreOriginalLook() override;
    void PaintGroupBox(HDC DC);
    TRect CaptionRect();

private:
    // The handlers of the window procedure; a false answer passes the message on.
    bool GroupCommand(TMessage& Message);
    void EraseGroup(TMessage& Message);
    void PaintGroup(TMessage& Message);
    void PrintGroup(TMessage& Message);
    void ChildNotify(TMessage& Message);
};

class TacToolBarWnd : public TacMainWnd {
    CLASSLIB_DECLARE_CLASS(TacToolBarWnd)
public:
    using TacMainWnd::TacMainWnd;
    void WndProc(TMessage& Message) override;
    TRect ClientRect{};
    int BorderInset = 0;

protected:
    void PrepareToolBarCache();
    void PaintToolBar(HDC DC);
    void PaintToolBarBorder();
    // The label of the button of Command, whatever its length.
    String ButtonText(int Command) const;
};

// Size grips ("scrollbar" windows of SBS_SIZEGRIP).
class TacSizerWnd : public TacMainWnd {
    CLASSLIB_DECLARE_CLASS(TacSizerWnd)
public:
    using TacMainWnd::TacMainWnd;
    void WndProc(TMessage& Message) override;
};

// Nested dialog panes: the skin's background with the children over it.
class TacTransPanelWnd : public TacMainWnd {
    CLASSLIB_DECLARE_CLASS(TacTransPanelWnd)
public:
    using TacMainWnd::TacMainWnd;
    void WndProc(TMessage& Message) override;
};

class TacSpinWnd : public TacMainWnd {
    CLASSLIB_DECLARE_CLASS(TacSpinWnd)
public:
    TacSpinWnd(HWND Handle, TsCommonData* SkinData, TsSkinManager* SkinManager, const String& SectionName,
               bool Repaint = true);
    void WndProc(TMessage& Message) override;
    void PaintSpin(HDC DC);
    int ButtonOffset = 0;  // pixels left free at the left
    bool Pressed = false;
    int UpState = 0, DownState = 0;
};

// A panel window whose frame and client the adapter paints itself: the
// messages both panel adapters answer alike.
class TacPanelFrameWnd : public TacMainWnd {
    CLASSLIB_DECLARE_CLASS(TacPanelFrameWnd)
protected:
    TacPanelFrameWnd(TDeferAttach Defer, HWND Handle, TsCommonData* SkinData, TsSkinManager* SkinManager,
                     const String& SectionName)
        : TacMainWnd(Defer, Handle, SkinData, SkinManager, SectionName) {}
    virtual void PaintFrame(HDC) {}
    virtual void PaintClient(HDC) {}
    // The control told when a child window is made in the panel (nil: none).
    virtual TControl* PanelControl() const { return nullptr; }
    // The handlers of the window procedures.
    void ChildNotify(TMessage& Message);
    void PrintPanel(TMessage& Message);
    void PaintBorder(TMessage& Message);
};

// Class-library panels that hold controls: the section chosen from the bevels.
class TacPanelWnd : public TacPanelFrameWnd {
    CLASSLIB_DECLARE_CLASS(TacPanelWnd)
public:
    TacPanelWnd(HWND Handle, TsCommonData* SkinData, TsSkinManager* SkinManager, const String& SectionName,
                bool Repaint = true);
    void WndProc(TMessage& Message) override;
    static String SectionOfPanel(TControl* Panel);

protected:
    void PaintClient(HDC DC) override;
    void PaintFrame(HDC DC) override;
    TControl* PanelControl() const override { return SkinData ? SkinData->OwnerControl : nullptr; }

private:
    void PaintPanel(TMessage& Message);
    void PanelCommand(TMessage& Message);
};

// "TPanel" windows of a dialog, found among the Application's controls.
class TacDlgPanelWnd : public TacPanelFrameWnd {
    CLASSLIB_DECLARE_CLASS(TacDlgPanelWnd)
public:
    TacDlgPanelWnd(HWND Handle, TsCommonData* SkinData, TsSkinManager* SkinManager, const String& SectionName,
                   bool Repaint = true);
    void WndProc(TMessage& Message) override;
    TWinControl* Panel = nullptr;

protected:
    void PrepareDlgPanelCache();
    void PaintFrame(HDC DC) override;
    void PaintClient(HDC DC) override;
    TControl* PanelControl() const override { return Panel; }

private:
    void EraseWithContent(TMessage& Message);
    void PanelCommand(TMessage& Message);
};

// Popup menu windows ("#32768").
class TacMnuWnd : public TacScrollWnd {
    CLASSLIB_DECLARE_CLASS(TacMnuWnd)
public:
    TacMnuWnd(HWND Handle, TsCommonData* SkinData, TsSkinManager* SkinManager, const String& SectionName,
              bool Repaint = true);
    void WndProc(TMessage& Message) override;
    int MenuSkinned = 0;

private:
    // The handlers of the window procedure; a false answer passes the message on.
    void MenuDestroyed(TMessage& Message);
    void MenuCommand(TMessage& Message);
    void PrepareMenuCache();
    void EraseMenu(TMessage& Message);
    void PaintOverSystem(TMessage& Message);
    bool PaintMenuFrame();
};

// Redraw around a state change: the window's own procedure runs with drawing
// off, then the adapter paints.
void AdapterRedrawAround(TacMainWnd* Adapter, TMessage& Message);

// The simple adapter a child window of a skinned dialog takes by its class
// and style, attached at once; nil for a window that keeps its own look
// (owner-drawn buttons, etched lines) or is no simple kind.
TacMainWnd* CreateSimpleAdapter(HWND Handle, TsSkinManager* Manager);
