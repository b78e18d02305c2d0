// Standard controls: push buttons and edits on superclassed system windows
// ("BUTTON", "EDIT"), and the windowless text label.
#pragma once

#include "Controls.h"

enum TTextLayout { tlTop, tlCenter, tlBottom };
CLASSLIB_ENUM_NAMES(TTextLayout, "tlTop", "tlCenter", "tlBottom")

// ---------------------------------------------------------------------------

// The base of controls on a "BUTTON" window.
class TButtonControl : public TWinControl {
    CLASSLIB_DECLARE_CLASS(TButtonControl)
public:
    explicit TButtonControl(TComponent* AOwner);

    // BS_MULTILINE: the caption breaks at words when it does not fit.
    bool WordWrap() const { return FWordWrap; }
    virtual void SetWordWrap(bool Value);
    // Raised while the control itself takes the focus or sets its state, so
    // that the notification the system sends for it clicks nothing.
    bool ClicksDisabled() const { return FClicksDisabled; }
    void SetClicksDisabled(bool Value) { FClicksDisabled = Value; }
    // Check boxes and radio buttons keep their state here, not in the window.
    bool Checked() const { return GetChecked(); }
    virtual bool GetChecked() const { return false; }
    virtual void SetChecked(bool /*Value*/) {}
    // The side the caption is aligned to (left to right in this library).
    virtual TAlignment GetControlsAlignment() const { return taLeftJustify; }
    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    bool FWordWrap = false;
    bool FClicksDisabled = false;
};

// ---------------------------------------------------------------------------

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
CLASSLIB_ENUM_NAMES(TCheckBoxState, "cbUnchecked", "cbChecked", "cbGrayed")

// A check box on a "BUTTON" window of the three-state kind that never checks
// itself: the state lives in State, and the window is told of each change.
// A click (BN_CLICKED) toggles: unchecked to grayed when AllowGrayed, else to
// checked; checked to unchecked; grayed to checked.
class TCustomCheckBox : public TButtonControl {
    CLASSLIB_DECLARE_CLASS(TCustomCheckBox)
public:
    explicit TCustomCheckBox(TComponent* AOwner);

    // taRightJustify (the default): the box at the left, the caption right of it.
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
    TCheckBoxState State() const { return FState; }
    virtual void SetState(TCheckBoxState Value);
    bool GetChecked() const override { return FState == cbChecked; }
    void SetChecked(bool Value) override;
    TAlignment GetControlsAlignment() const override { return FAlignment; }
    virtual void Toggle();
    void Click() override;
    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Loaded() override;

    TAlignment FAlignment = taRightJustify;
    bool FAllowGrayed = false;
    TCheckBoxState FState = cbUnchecked;

private:
    // A description may write both Checked and State, in either order: they
    // are one value, so they must agree (Checked = False on a grayed box
    // does), and a pair that disagrees is an error, never one of them lost.
    bool FCheckedRead = false, FStateRead = false;
};

class TCheckBox : public TCustomCheckBox {
    CLASSLIB_DECLARE_CLASS(TCheckBox)
public:
    explicit TCheckBox(TComponent* AOwner) : TCustomCheckBox(AOwner) {}
};

// A radio button on a "BUTTON" window that never checks itself. Checking one
// unchecks the other radio buttons of the same parent.
class TRadioButton : public TButtonControl {
    CLASSLIB_DECLARE_CLASS(TRadioButton)
public:
    explicit TRadioButton(TComponent* AOwner);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool GetChecked() const override { return FChecked; }
    void SetChecked(bool Value) override;
    TAlignment GetControlsAlignment() const override { return FAlignment; }
    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;

    TAlignment FAlignment = taRightJustify;
    bool FChecked = false;
};

// A push button. Click comes from the system's BN_CLICKED (CN_COMMAND), so
// one click by mouse, keyboard or BM_CLICK gives exactly one OnClick.
//
// The default look: while the focus is on a control of the form that is not a
// button, the Default button shows BS_DEFPUSHBUTTON and answers Enter; a
// focused button takes that look and Enter itself. The form tells every
// button of each focus move through CM_FOCUSCHANGED.
class TButton : public TButtonControl {
    CLASSLIB_DECLARE_CLASS(TButton)
public:
    explicit TButton(TComponent* AOwner);

    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    // Escape clicks a Cancel button wherever the focus is on its form.
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    // Given to the form on each click; a modal form closes when it is not mrNone.
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    // True while the button has the default look (and takes Enter).
    bool Active() const { return FActive; }

    void Click() override;
    // Switches the window between BS_DEFPUSHBUTTON and BS_PUSHBUTTON; other
    // button types (an owner-drawn button, for one) are left alone.
    virtual void SetButtonStyle(bool ADefault);
    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;

    bool FDefault = false;
    bool FCancel = false;
    bool FActive = false;
    TModalResult FModalResult = mrNone;
};

// A frame with a caption strip at its top that holds other controls; it
// paints itself. Aligned children share what lies inside frame and strip.
class TCustomGroupBox : public TCustomControl {
    CLASSLIB_DECLARE_CLASS(TCustomGroupBox)
public:
    explicit TCustomGroupBox(TComponent* AOwner);
    // How far a caption plate reaches past a caption too short to hold it.
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value);
    void Dispatch(TMessage& Message) override;

protected:
    void AdjustClientRect(TRect& Rect) override;
    void Paint() override;
    // Height of a line of the caption font.
    int CaptionLineHeight();

    int FBevelWidth = 1;
};

class TGroupBox : public TCustomGroupBox {
    CLASSLIB_DECLARE_CLASS(TGroupBox)
public:
    explicit TGroupBox(TComponent* AOwner) : TCustomGroupBox(AOwner) {}
};

// ---------------------------------------------------------------------------

// A single-line edit on an "EDIT" window.
class TCustomEdit : public TWinControl {
    CLASSLIB_DECLARE_CLASS(TCustomEdit)
public:
    explicit TCustomEdit(TComponent* AOwner);

    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    // 0 = no limit of our own.
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int Value);
    // bsSingle: a sunken client edge (or a plain border without Ctl3D); bsNone: none.
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    bool Modified() const;
    void SetModified(bool Value);
    int SelStart() const;
    void SetSelStart(int Value);
    int SelLength() const;
    void SetSelLength(int Value);
    String SelText() const;
    void SetSelText(const String& Value);
    void SelectAll();
    void Clear() { SetText(String()); }
    // #0: the text shows as typed; any other character stands for each one.
    char PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char Value);

    void Dispatch(TMessage& Message) override;

    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    // The text changed (EN_CHANGE).
    virtual void Change();
    // An edit message performed while there is no window: kept in the property.
    void StoreEditSetting(TMessage& Message);

    bool FReadOnly = false;
    bool FModified = false;
    int FMaxLength = 0;
    TBorderStyle FBorderStyle = bsSingle;
    bool FCreating = false;
    char FPasswordChar = '\0';
};

class TEdit : public TCustomEdit {
    CLASSLIB_DECLARE_CLASS(TEdit)
public:
    explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
CLASSLIB_ENUM_NAMES(TScrollStyle, "ssNone", "ssHorizontal", "ssVertical", "ssBoth")

// A multi-line rich-text editor on the system's "RichEdit20A" window
// (riched20 is loaded before the class is first used). Its text limit, default
// text colour and background colour live here, so a new window gets them again.
class TCustomRichEdit : public TCustomEdit {
    CLASSLIB_DECLARE_CLASS(TCustomRichEdit)
public:
    explicit TCustomRichEdit(TComponent* AOwner);

    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    // Characters the window accepts (EM_EXLIMITTEXT).
    int TextLimit() const { return FTextLimit; }
    void SetTextLimit(int Value);
    // The colour of text typed without a format of its own; follows Font.Color
    // on every font change.
    TColor DefAttributesColor() const { return FDefColor; }
    void SetDefAttributesColor(TColor Value);

    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;

    TScrollStyle FScrollBars = ssNone;
    bool FWordWrap = true;
    int FTextLimit = 0;
    TColor FDefColor = clWindowText;

private:
    // The default colour for new text, and for the runs that had the
    // default colour Old (or the automatic one); other runs keep theirs.
    void SendDefColor(TColor Old);
    // The document as RTF, kept from a window's end for the next window.
    void KeepDocument();
    void RestoreDocument();

    String FKeptRtf, FKeptText;
    WPARAM FAppliedFont = 0;
    TColor FKeptDefColor = clWindowText;
};

class TRichEdit : public TCustomRichEdit {
    CLASSLIB_DECLARE_CLASS(TRichEdit)
public:
    explicit TRichEdit(TComponent* AOwner) : TCustomRichEdit(AOwner) {}
};

// ---------------------------------------------------------------------------

// A windowless text. With AutoSize it takes the size of its text; the side
// given by Alignment stays where it is (the right edge for taRightJustify).
class TCustomLabel : public TGraphicControl {
    CLASSLIB_DECLARE_CLASS(TCustomLabel)
public:
    explicit TCustomLabel(TComponent* AOwner);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    void SetAutoSize(bool Value) override;
    void AdjustSize() override { AdjustBounds(); }
    // The control that an accelerator ("&x" in the caption) focuses.
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);
    // Not transparent, the label fills its area with Color first.
    bool Transparent() const { return !FControlStyle.Contains(csOpaque); }
    void SetTransparent(bool Value);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);

    virtual String GetLabelText() const;
    // Draws (or with DT_CALCRECT measures into Rect) the label's text on
    // Canvas with its Font; a disabled label draws engraved.
    virtual void DoDrawText(TRect& Rect, UINT Flags);
    void Dispatch(TMessage& Message) override;

protected:
    void Paint() override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // With AutoSize, sizes the label to its text measured on a screen DC.
    virtual void AdjustBounds();

    TAlignment FAlignment = taLeftJustify;
    TWinControl* FFocusControl = nullptr;
    bool FShowAccelChar = true;
    TTextLayout FLayout = tlTop;
    bool FWordWrap = false;
};

class TLabel : public TCustomLabel {
    CLASSLIB_DECLARE_CLASS(TLabel)
public:
    explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
};

#include "StdCtrlsCombo.h"
