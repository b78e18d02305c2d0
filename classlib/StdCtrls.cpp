#include "StdCtrls.h"

#include "Scopes.h"
#include "Forms.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

// ---------------------------------------------------------------------------
// TButtonControl, TButton

// clang-format off
CLASSLIB_DEFINE_CLASS(TButtonControl, TWinControl,
    OrdProp<TButtonControl>("WordWrap", TTypeKind::tkBool, &TButtonControl::WordWrap, &TButtonControl::SetWordWrap, 0))
// clang-format on

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {}

void TButtonControl::SetWordWrap(bool Value) {
    if (FWordWrap == Value) return;
    FWordWrap = Value;
    RecreateWnd();
}

void TButtonControl::Dispatch(TMessage& Message) {
    // The system's notification of a focus change the control made itself.
    if (Message.Msg == CN_COMMAND && FClicksDisabled) return;
    TWinControl::Dispatch(Message);
}

void TButtonControl::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    if (FWordWrap) Params.Style |= BS_MULTILINE;
}

// clang-format off
CLASSLIB_DEFINE_CLASS(TButton, TButtonControl,
    OrdProp<TButton>("Default", TTypeKind::tkBool, &TButton::Default, &TButton::SetDefault, 0),
    OrdProp<TButton>("Cancel", TTypeKind::tkBool, &TButton::Cancel, &TButton::SetCancel, 0),
    OrdProp<TButton>("ModalResult", TTypeKind::tkInteger, &TButton::ModalResult, &TButton::SetModalResult, mrNone),
    OrdProp<TWinControl>("TabStop", TTypeKind::tkBool, &TWinControl::TabStop, &TWinControl::SetTabStop, 1),
    OrdProp<TControl>("ParentColor", TTypeKind::tkBool, &TControl::ParentColor, &TControl::SetParentColor, 0))
// clang-format on

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
    // The system button captures the mouse and reports the click itself.
    FControlStyle = TControlStyle{csSetCaption, csOpaque, csDoubleClicks};
    FWidth = 75;
    FHeight = 25;
    FTabStop = true;
    FColor = clBtnFace;
    FParentColor = false;
    FBrush->SetColor(FColor);
}

void TButton::CreateParams(TCreateParams& Params) {
    TButtonControl::CreateParams(Params);
    CreateSubClass(Params, "BUTTON");
    Params.Style |= FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::CreateWnd() {
    TButtonControl::CreateWnd();
    FActive = FDefault;
}

void TButton::SetDefault(bool Value) {
    if (FDefault == Value) return;
    FDefault = Value;
    if (!HandleAllocated()) return;
    // Let every button of the form work out its look again for the focus as it is.
    if (TCustomForm* form = GetParentForm()) {
        form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(form->ActiveControl()));
    } else {
        FActive = FDefault;
        SetButtonStyle(FActive);
    }
}

void TButton::SetButtonStyle(bool ADefault) {
    if (!HandleAllocated()) return;
    LONG type = GetWindowLongA(FHandle, GWL_STYLE) & BS_TYPEMASK;
    if (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON) return;
    LONG wanted = ADefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    if (type != wanted) SendMessageA(FHandle, BM_SETSTYLE, static_cast<WPARAM>(wanted), TRUE);
}

void TButton::Click() {
    if (TCustomForm* form = GetParentForm()) form->SetModalResult(FModalResult);
    TButtonControl::Click();
}

void TButton::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CN_COMMAND:
            if (HIWORD(Message.WParam) == BN_CLICKED) Click();
            return;
        case CM_DIALOGKEY:
            if (((Message.WParam == VK_RETURN && FActive) || (Message.WParam == VK_ESCAPE && FCancel)) &&
                KeyDataToShiftState(Message.LParam).Empty() && CanFocus()) {
                Click();
                Message.Result = 1;
                return;
            }
            break;
        case CM_DIALOGCHAR:
            if (IsAccel(Message.CharCode(), Caption()) && CanFocus()) {
                Click();
                Message.Result = 1;
                return;
            }
            break;
        case CM_FOCUSCHANGED: {
            auto* focused = reinterpret_cast<TWinControl*>(Message.LParam);
            FActive = dynamic_cast<TButton*>(focused) ? focused == this : FDefault;
            SetButtonStyle(FActive);
            break;
        }
    }
    TButtonControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// TCustomCheckBox, TRadioButton

namespace {
// BS_LEFTTEXT puts the caption at the left of the box.
DWORD AlignmentStyle(TAlignment Alignment) { return Alignment == taLeftJustify ? BS_LEFTTEXT : 0; }
// How a description writes a check box's values.
const char* const kCheckStates[] = {"cbUnchecked", "cbChecked", "cbGrayed"};
const char* TrueOrFalse(bool Value) { return Value ? "True" : "False"; }
}  // namespace

// clang-format off
CLASSLIB_DEFINE_CLASS(TCustomCheckBox, TButtonControl,
    OrdProp<TCustomCheckBox>("Alignment", TTypeKind::tkEnumeration, &TCustomCheckBox::Alignment,
                             &TCustomCheckBox::SetAlignment, taRightJustify),
    OrdProp<TCustomCheckBox>("AllowGrayed", TTypeKind::tkBool, &TCustomCheckBox::AllowGrayed,
                             &TCustomCheckBox::SetAllowGrayed, 0),
    OrdProp<TButtonControl>("Checked", TTypeKind::tkBool, &TButtonControl::Checked, &TButtonControl::SetChecked, 0),
    OrdProp<TCustomCheckBox>("State", TTypeKind::tkEnumeration, &TCustomCheckBox::State, &TCustomCheckBox::SetState,
                             cbUnchecked),
    OrdProp<TWinControl>("TabStop", TTypeKind::tkBool, &TWinControl::TabStop, &TWinControl::SetTabStop, 1))
// clang-format on

CLASSLIB_DEFINE_CLASS(TCheckBox, TCustomCheckBox)

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
    FControlStyle = TControlStyle{csSetCaption, csDoubleClicks};
    FWidth = 97;
    FHeight = 17;
    FTabStop = true;
}

void TCustomCheckBox::CreateParams(TCreateParams& Params) {
    TButtonControl::CreateParams(Params);
    CreateSubClass(Params, "BUTTON");
    // Never the automatic kind: the system would toggle on its own as well.
    Params.Style |= BS_3STATE | AlignmentStyle(FAlignment);
}

void TCustomCheckBox::CreateWnd() {
    TButtonControl::CreateWnd();
    SendMessageA(FHandle, BM_SETCHECK, static_cast<WPARAM>(FState), 0);
}

void TCustomCheckBox::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    RecreateWnd();
}

void TCustomCheckBox::Loaded() {
    TButtonControl::Loaded();
    FCheckedRead = FStateRead = false;
}

void TCustomCheckBox::SetState(TCheckBoxState Value) {
    if (ComponentState().Contains(csLoading)) {
        if (FCheckedRead && (Value == cbChecked) != GetChecked())
            throw EClassLibError("State = " + String(kCheckStates[Value]) +
                                 " disagrees with Checked = " + TrueOrFalse(GetChecked()));
        FStateRead = true;
    }
    if (FState == Value) return;
    FState = Value;
    if (HandleAllocated()) SendMessageA(FHandle, BM_SETCHECK, static_cast<WPARAM>(FState), 0);
    if (!FClicksDisabled) Click();
}

void TCustomCheckBox::SetChecked(bool Value) {
    const bool loading = ComponentState().Contains(csLoading);
    if (loading && FStateRead && Value != GetChecked())
        throw EClassLibError("Checked = " + String(TrueOrFalse(Value)) +
                             " disagrees with State = " + kCheckStates[FState]);
    // Checked = False read after State = cbGrayed leaves the box grayed.
    if (!loading || Value != GetChecked()) SetState(Value ? cbChecked : cbUnchecked);
    if (loading) FCheckedRead = true;
}

void TCustomCheckBox::Toggle() {
    switch (FState) {
        case cbUnchecked: SetState(FAllowGrayed ? cbGrayed : cbChecked); break;
        case cbChecked: SetState(cbUnchecked); break;
        case cbGrayed: SetState(cbChecked); break;
    }
}

void TCustomCheckBox::Click() {
    Changed();
    TButtonControl::Click();
}

void TCustomCheckBox::Dispatch(TMessage& Message) {
    if (Message.Msg == CN_COMMAND) {
        if (HIWORD(Message.WParam) == BN_CLICKED) Toggle();
        return;
    }
    TButtonControl::Dispatch(Message);
}

// clang-format off
CLASSLIB_DEFINE_CLASS(TRadioButton, TButtonControl,
    OrdProp<TRadioButton>("Alignment", TTypeKind::tkEnumeration, &TRadioButton::Alignment,
                          &TRadioButton::SetAlignment, taRightJustify),
    OrdProp<TButtonControl>("Checked", TTypeKind::tkBool, &TButtonControl::Checked, &TButtonControl::SetChecked, 0))
// clang-format on

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
    FControlStyle = TControlStyle{csSetCaption, csDoubleClicks};
    FWidth = 113;
    FHeight = 17;
}

void TRadioButton::CreateParams(TCreateParams& Params) {
    TButtonControl::CreateParams(Params);
    CreateSubClass(Params, "BUTTON");
    Params.Style |= BS_RADIOBUTTON | AlignmentStyle(FAlignment);
}

void TRadioButton::CreateWnd() {
    TButtonControl::CreateWnd();
    SendMessageA(FHandle, BM_SETCHECK, FChecked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    RecreateWnd();
}

void TRadioButton::SetChecked(bool Value) {
    if (FChecked == Value) return;
    // Stored first: the window's answer to BM_SETCHECK may come back here.
    FChecked = Value;
    SetTabStop(Value);
    if (HandleAllocated()) SendMessageA(FHandle, BM_SETCHECK, Value ? BST_CHECKED : BST_UNCHECKED, 0);
    if (!Value) return;
    if (FParent)
        for (int i = 0; i < FParent->ControlCount(); ++i)
            if (auto* sibling = dynamic_cast<TRadioButton*>(FParent->Controls(i)); sibling && sibling != this)
                sibling->SetChecked(false);
    Changed();
    if (!FClicksDisabled) Click();
}

void TRadioButton::Dispatch(TMessage& Message) {
    if (Message.Msg == CN_COMMAND) {
        switch (HIWORD(Message.WParam)) {
            case BN_CLICKED: SetChecked(true); break;
            case BN_DOUBLECLICKED: DblClick(); break;
            default: break;
        }
        return;
    }
    TButtonControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// TCustomGroupBox

// clang-format off
CLASSLIB_DEFINE_CLASS(TCustomGroupBox, TCustomControl,
    OrdProp<TCustomGroupBox>("BevelWidth", TTypeKind::tkInteger, &TCustomGroupBox::BevelWidth,
                             &TCustomGroupBox::SetBevelWidth, 1))
// clang-format on
CLASSLIB_DEFINE_CLASS(TGroupBox, TCustomGroupBox)

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption,
                                  csOpaque,          csDoubleClicks, csReplicatable};
    FWidth = 185;
    FHeight = 105;
}

void TCustomGroupBox::SetBevelWidth(int Value) {
    if (Value < 1) Value = 1;
    if (FBevelWidth == Value) return;
    FBevelWidth = Value;
    Invalidate();
}

int TCustomGroupBox::CaptionLineHeight() {
    Canvas()->SetFont(FFont);
    return Canvas()->TextHeight("0");
}

void TCustomGroupBox::AdjustClientRect(TRect& Rect) {
    TCustomControl::AdjustClientRect(Rect);
    Rect.top += CaptionLineHeight();
    const int frame = FCtl3D ? 2 : 1;
    InflateRect(&Rect, -frame, -frame);
}

void TCustomGroupBox::Paint() {
    TCanvas* canvas = Canvas();
    const int h = CaptionLineHeight();
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(FColor);
    canvas->FillRect(ClientRect());
    TRect r{0, h / 2 - 1, FWidth, FHeight};
    HDC dc = canvas->Handle();
    // An etched line: light below and right of the dark one.
    if (FCtl3D) DrawEdge(dc, &r, EDGE_ETCHED, BF_RECT);
    else FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
    const String text = Caption();
    if (text.empty()) return;
    TRect t{8, 0, 0, h};
    canvas->TextRect(t, text, DT_CALCRECT | DT_SINGLELINE);
    t.right += 2;
    canvas->FillRect(t);
    OffsetRect(&t, 1, 0);
    if (!Enabled()) canvas->Font()->SetColor(clGrayText);
    canvas->Brush()->SetStyle(bsClear);
    canvas->TextRect(t, text, DT_SINGLELINE);
}

void TCustomGroupBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CM_FONTCHANGED:
            TCustomControl::Dispatch(Message);
            Realign();
            Invalidate();
            return;
        case CM_TEXTCHANGED:
        case CM_ENABLEDCHANGED:
            TCustomControl::Dispatch(Message);
            Invalidate();
            return;
        default: TCustomControl::Dispatch(Message);
    }
}

// ---------------------------------------------------------------------------
// TCustomEdit

// clang-format off
CLASSLIB_DEFINE_CLASS(TCustomEdit, TWinControl,
    OrdProp<TCustomEdit>("ReadOnly", TTypeKind::tkBool, &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly, 0),
    OrdProp<TCustomEdit>("MaxLength", TTypeKind::tkInteger, &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength, 0),
    OrdProp<TCustomEdit>("BorderStyle", TTypeKind::tkEnumeration, &TCustomEdit::BorderStyle,
                         &TCustomEdit::SetBorderStyle, bsSingle),
    OrdProp<TWinControl>("TabStop", TTypeKind::tkBool, &TWinControl::TabStop, &TWinControl::SetTabStop, 1),
    OrdProp<TControl>("ParentColor", TTypeKind::tkBool, &TControl::ParentColor, &TControl::SetParentColor, 0),
    OrdProp<TCustomEdit>("PasswordChar", TTypeKind::tkChar, &TCustomEdit::PasswordChar, &TCustomEdit::SetPasswordChar,
                         0))
// clang-format on

CLASSLIB_DEFINE_CLASS(TEdit, TCustomEdit)

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
    FControlStyle = TControlStyle{csClickEvents, csSetCaption, csDoubleClicks, csFixedHeight};
    FWidth = 121;
    FHeight = 21;
    FTabStop = true;
    FColor = clWindow;
    FParentColor = false;
    FBrush->SetColor(FColor);
}

void TCustomEdit::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, "EDIT");
    Params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL;
    if (FReadOnly) Params.Style |= ES_READONLY;
    if (FPasswordChar) Params.Style |= ES_PASSWORD;
    if (FBorderStyle == bsSingle) {
        if (FCtl3D) Params.ExStyle |= WS_EX_CLIENTEDGE;
        else Params.Style |= WS_BORDER;
    }
}

void TCustomEdit::CreateWnd() {
    // The text the window is created with is no change of the user's.
    FCreating = true;
    try {
        TWinControl::CreateWnd();
    } catch (...) {
        FCreating = false;
        throw;
    }
    FCreating = false;
    // What was set while there was no window (or kept from the last one).
    SendMessageA(FHandle, EM_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
    if (FModified) SendMessageA(FHandle, EM_SETMODIFY, TRUE, 0);
    if (FPasswordChar) SendMessageA(FHandle, EM_SETPASSWORDCHAR, static_cast<unsigned char>(FPasswordChar), 0);
}

void TCustomEdit::SetPasswordChar(char Value) {
    if (FPasswordChar == Value) return;
    FPasswordChar = Value;
    if (!HandleAllocated()) return;
    SendMessageA(FHandle, EM_SETPASSWORDCHAR, static_cast<unsigned char>(Value), 0);
    Invalidate();
}

void TCustomEdit::SetReadOnly(bool Value) {
    if (FReadOnly == Value) return;
    FReadOnly = Value;
    if (HandleAllocated()) SendMessageA(FHandle, EM_SETREADONLY, Value ? TRUE : FALSE, 0);
}

void TCustomEdit::SetMaxLength(int Value) {
    if (Value < 0) Value = 0;
    if (FMaxLength == Value) return;
    FMaxLength = Value;
    if (HandleAllocated()) SendMessageA(FHandle, EM_LIMITTEXT, static_cast<WPARAM>(Value), 0);
}

void TCustomEdit::SetBorderStyle(TBorderStyle Value) {
    if (Value != bsNone) Value = bsSingle;
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    RecreateWnd();
}

bool TCustomEdit::Modified() const {
    return HandleAllocated() ? SendMessageA(FHandle, EM_GETMODIFY, 0, 0) != 0 : FModified;
}

void TCustomEdit::SetModified(bool Value) {
    FModified = Value;
    if (HandleAllocated()) SendMessageA(FHandle, EM_SETMODIFY, Value ? TRUE : FALSE, 0);
}

int TCustomEdit::SelStart() const {
    DWORD start = 0;
    SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    return static_cast<int>(start);
}

void TCustomEdit::SetSelStart(int Value) { SendMessageA(Handle(), EM_SETSEL, Value, Value); }

int TCustomEdit::SelLength() const {
    DWORD start = 0, end = 0;
    SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(end - start);
}

void TCustomEdit::SetSelLength(int Value) {
    int start = SelStart();
    SendMessageA(Handle(), EM_SETSEL, start, start + Value);
}

String TCustomEdit::SelText() const {
    DWORD start = 0, end = 0;
    SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    String text = Text();
    if (start >= end || start >= text.size()) return String();
    return text.substr(start, end - start);
}

void TCustomEdit::SetSelText(const String& Value) {
    SendMessageA(Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(Value.c_str()));
}

void TCustomEdit::SelectAll() {
    if (HandleAllocated()) SendMessageA(FHandle, EM_SETSEL, 0, -1);
}

void TCustomEdit::Change() { FireEvent(OnChange, this); }

void TCustomEdit::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CN_COMMAND:
            if (HIWORD(Message.WParam) == EN_CHANGE && !FCreating) Change();
            return;
        case WM_DESTROY:
            // The next window (RecreateWnd) starts as modified as this one was.
            if (FHandle) FModified = SendMessageA(FHandle, EM_GETMODIFY, 0, 0) != 0;
            break;
        case EM_LIMITTEXT:
        case EM_SETREADONLY:
        case EM_SETMODIFY:
        case EM_GETMODIFY:
            // Sent before the window exists: kept as the property, which the
            // window is made with.
            if (!FHandle) {
                StoreEditSetting(Message);
                return;
            }
            break;
    }
    TWinControl::Dispatch(Message);
    // The border is chosen when the window is made (client edge or plain line).
    if (Message.Msg == CM_CTL3DCHANGED && FBorderStyle == bsSingle && HandleAllocated()) RecreateWnd();
}

// ---------------------------------------------------------------------------
// TCustomRichEdit

// clang-format off
CLASSLIB_DEFINE_CLASS(TCustomRichEdit, TCustomEdit,
    OrdProp<TCustomRichEdit>("ScrollBars", TTypeKind::tkEnumeration, &TCustomRichEdit::ScrollBars,
                             &TCustomRichEdit::SetScrollBars, ssNone),
    OrdProp<TCustomRichEdit>("WordWrap", TTypeKind::tkBool, &TCustomRichEdit::WordWrap, &TCustomRichEdit::SetWordWrap,
                             1))
// clang-format on

CLASSLIB_DEFINE_CLASS(TRichEdit, TCustomRichEdit)

namespace {
// The rich-edit window class exists only once riched20 is in the process;
// the library stays loaded for the program's life (windows of it may live on).
void LoadRichEditLibrary() {
    static const HMODULE lib = LoadLibraryA("riched20.dll");
    (void)lib;
}
}  // namespace

TCustomRichEdit::TCustomRichEdit(TComponent* AOwner) : TCustomEdit(AOwner) {
    FControlStyle.Exclude(csFixedHeight);
    FWidth = 185;
    FHeight = 89;
}

void TCustomRichEdit::CreateParams(TCreateParams& Params) {
    TCustomEdit::CreateParams(Params);
    LoadRichEditLibrary();
    CreateSubClass(Params, RICHEDIT_CLASSA);
    Params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
    Params.Style |= ES_MULTILINE | ES_WANTRETURN | ES_NOHIDESEL;
    if (!FWordWrap || FScrollBars == ssHorizontal || FScrollBars == ssBoth) Params.Style |= ES_AUTOHSCROLL;
    if (FScrollBars == ssVertical || FScrollBars == ssBoth) Params.Style |= WS_VSCROLL;
    if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) Params.Style |= WS_HSCROLL;
}

void TCustomRichEdit::CreateWnd() {
    TCustomEdit::CreateWnd();
    if (FTextLimit > 0) SendMessageA(FHandle, EM_EXLIMITTEXT, 0, FTextLimit);
    // Before the change events: the document the window is made with is no change.
    const TColor old = FKeptRtf.empty() ? FDefColor : FKeptDefColor;
    RestoreDocument();
    SendMessageA(FHandle, EM_SETEVENTMASK, 0, ENM_CHANGE);
    SendMessageA(FHandle, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ColorToRGB(FColor)));
    SendDefColor(old);
}

namespace {

DWORD CALLBACK RtfOut(DWORD_PTR Cookie, LPBYTE Buffer, LONG Count, LONG* Done) {
    reinterpret_cast<String*>(Cookie)->append(reinterpret_cast<const char*>(Buffer), static_cast<size_t>(Count));
    *Done = Count;
    return 0;
}

struct TRtfSource {
    const String* Rtf;
    size_t Offset;
};

DWORD CALLBACK RtfIn(DWORD_PTR Cookie, LPBYTE Buffer, LONG Count, LONG* Done) {
    auto* src = reinterpret_cast<TRtfSource*>(Cookie);
    const size_t n = std::min(static_cast<size_t>(std::max<LONG>(Count, 0)), src->Rtf->size() - src->Offset);
    std::memcpy(Buffer, src->Rtf->data() + src->Offset, n);
    src->Offset += n;
    *Done = static_cast<LONG>(n);
    return 0;
}

}  // namespace

void TCustomRichEdit::KeepDocument() {
    FKeptRtf.clear();
    if (!FHandle || FComponentState.Contains(csDestroying)) return;
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&FKeptRtf), 0, &RtfOut};
    SendMessageA(FHandle, EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&es));
    if (es.dwError) FKeptRtf.clear();
    FKeptDefColor = FDefColor;
}

void TCustomRichEdit::RestoreDocument() {
    // Only while the text is the one it was kept with: text set in between wins.
    String rtf;
    rtf.swap(FKeptRtf);
    if (rtf.empty() || FText != FKeptText) return;
    TRtfSource src{&rtf, 0};
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&src), 0, &RtfIn};
    SendMessageA(FHandle, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&es));
}

void TCustomRichEdit::SetScrollBars(TScrollStyle Value) {
    if (FScrollBars == Value) return;
    FScrollBars = Value;
    RecreateWnd();
}

void TCustomRichEdit::SetWordWrap(bool Value) {
    if (FWordWrap == Value) return;
    FWordWrap = Value;
    RecreateWnd();
}

void TCustomRichEdit::SetTextLimit(int Value) {
    FTextLimit = Value < 0 ? 0 : Value;
    if (HandleAllocated()) SendMessageA(FHandle, EM_EXLIMITTEXT, 0, FTextLimit);
}

void TCustomRichEdit::SetDefAttributesColor(TColor Value) {
    if (FDefColor == Value) return;
    const TColor old = FDefColor;
    FDefColor = Value;
    SendDefColor(old);
}

namespace {

// What a font given by WM_SETFONT sets in every run.
constexpr DWORD kFontAttributes =
    CFM_FACE | CFM_CHARSET | CFM_SIZE | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;

// The format of [From, To); an attribute that varies in it is left out of the mask.
CHARFORMAT2A RangeFormat(HWND Wnd, LONG From, LONG To) {
    CHARRANGE r{From, To};
    SendMessageA(Wnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
    CHARFORMAT2A cf{};
    cf.cbSize = sizeof cf;
    SendMessageA(Wnd, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    return cf;
}

bool Uniform(HWND Wnd, LONG From, LONG To, DWORD Mask) { return (RangeFormat(Wnd, From, To).dwMask & Mask) == Mask; }

// The end of the run that starts at From with the attributes of Mask one
// all through: a doubling step, then halving, so a run costs a few messages
// whatever its length.
LONG RunEnd(HWND Wnd, LONG From, LONG Length, DWORD Mask) {
    LONG good = From + 1, step = 1;
    while (good < Length) {
        const LONG next = std::min(Length, good + step);
        if (!Uniform(Wnd, From, next, Mask)) {
            LONG bad = next;
            while (bad - good > 1) {
                const LONG mid = good + (bad - good) / 2;
                (Uniform(Wnd, From, mid, Mask) ? good : bad) = mid;
            }
            return good;
        }
        good = next;
        step *= 2;
    }
    return good;
}

// Selections made for a walk over the text are neither seen nor scrolled
// to; the program's selection is put back.
class TQuietSelection {
public:
    explicit TQuietSelection(HWND Wnd) : FWnd(Wnd) {
        SendMessageA(FWnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&FKeep));
        SendMessageA(FWnd, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&FScroll));
        SendMessageA(FWnd, WM_SETREDRAW, FALSE, 0);
    }
    ~TQuietSelection() {
        SendMessageA(FWnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&FKeep));
        SendMessageA(FWnd, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&FScroll));
        SendMessageA(FWnd, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(FWnd, nullptr, TRUE);
    }
    TQuietSelection(const TQuietSelection&) = delete;
    TQuietSelection& operator=(const TQuietSelection&) = delete;

private:
    HWND FWnd;
    CHARRANGE FKeep{};
    POINT FScroll{};
};

// Calls Visit(from, to, format) for each run of one Mask format.
template <typename F>
void ForEachRun(HWND Wnd, DWORD Mask, F&& Visit) {
    GETTEXTLENGTHEX gl{GTL_NUMCHARS | GTL_PRECISE, CP_ACP};
    const LONG length = static_cast<LONG>(SendMessageA(Wnd, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&gl), 0));
    if (length <= 0) return;
    const TQuietSelection quiet(Wnd);
    for (LONG from = 0; from < length;) {
        const LONG to = RunEnd(Wnd, from, length, Mask);
        Visit(from, to, RangeFormat(Wnd, from, to));
        from = to;
    }
}

void SetRunFormat(HWND Wnd, LONG From, LONG To, const CHARFORMAT2A& Format) {
    CHARRANGE r{From, To};
    SendMessageA(Wnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
    SendMessageA(Wnd, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&Format));
}

// The font attributes in which Run differs from Default: those the program
// gave the run of its own.
DWORD OwnAttributes(const CHARFORMAT2A& Run, const CHARFORMAT2A& Default) {
    DWORD own = 0;
    if (lstrcmpiA(Run.szFaceName, Default.szFaceName) != 0 || Run.bCharSet != Default.bCharSet)
        own |= CFM_FACE | CFM_CHARSET;
    if (Run.yHeight != Default.yHeight) own |= CFM_SIZE;
    for (const DWORD effect : {CFM_BOLD, CFM_ITALIC, CFM_UNDERLINE, CFM_STRIKEOUT})
        if ((Run.dwEffects ^ Default.dwEffects) & effect) own |= effect;
    return own;
}

// Gives the window a new font (SetFont) for the default text; the window
// gives it to every run, so what runs had of their own is noted first and
// given back after.
template <typename F>
void SetFontKeepingRuns(HWND Wnd, F&& SetFont) {
    CHARFORMAT2A def{};
    def.cbSize = sizeof def;
    SendMessageA(Wnd, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&def));
    std::vector<std::pair<CHARRANGE, CHARFORMAT2A>> own;
    ForEachRun(Wnd, kFontAttributes, [&](LONG From, LONG To, CHARFORMAT2A Run) {
        Run.dwMask = OwnAttributes(Run, def);
        if (Run.dwMask) own.push_back({CHARRANGE{From, To}, Run});
    });
    SetFont();
    if (own.empty() || !IsWindow(Wnd)) return;
    const TQuietSelection quiet(Wnd);
    for (const auto& [range, format] : own) SetRunFormat(Wnd, range.cpMin, range.cpMax, format);
}

}  // namespace

void TCustomRichEdit::SendDefColor(TColor Old) {
    if (!HandleAllocated()) return;
    CHARFORMAT2A cf{};
    cf.cbSize = sizeof cf;
    cf.dwMask = CFM_COLOR;
    cf.crTextColor = ColorToRGB(FDefColor);
    SendMessageA(FHandle, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
    // Text already there keeps a colour of its own; only what showed the
    // default takes the new one.
    const COLORREF old = ColorToRGB(Old);
    ForEachRun(FHandle, CFM_COLOR, [&](LONG From, LONG To, const CHARFORMAT2A& Run) {
        if ((Run.dwEffects & CFE_AUTOCOLOR) || Run.crTextColor == old) SetRunFormat(FHandle, From, To, cf);
    });
}

void TCustomRichEdit::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case EM_EXLIMITTEXT:
            // Kept for the next window too.
            FTextLimit = static_cast<int>(Message.LParam);
            if (!HandleAllocated()) return;
            break;
        case WM_SETFONT:
            // The window's own font again (only its colour changed) would
            // reset every run's face, size and weight.
            if (HandleAllocated() && Message.WParam == FAppliedFont) return;
            FAppliedFont = Message.WParam;
            if (HandleAllocated()) return SetFontKeepingRuns(FHandle, [&] { TCustomEdit::Dispatch(Message); });
            break;
        // The formatted document outlives the window, as the text does.
        case WM_DESTROY:
            FAppliedFont = 0;
            KeepDocument();
            break;
        default: break;
    }
    TCustomEdit::Dispatch(Message);
    switch (Message.Msg) {
        case WM_DESTROY: FKeptText = FText; break;
        case CM_COLORCHANGED:
            if (HandleAllocated()) SendMessageA(FHandle, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ColorToRGB(FColor)));
            break;
        case CM_FONTCHANGED: SetDefAttributesColor(FFont->Color()); break;
        default: break;
    }
}

void TCustomEdit::StoreEditSetting(TMessage& Message) {
    Message.Result = 1;
    switch (Message.Msg) {
        case EM_LIMITTEXT: SetMaxLength(static_cast<int>(Message.WParam)); break;
        case EM_SETREADONLY: SetReadOnly(Message.WParam != 0); break;
        case EM_SETMODIFY: FModified = Message.WParam != 0; break;
        case EM_GETMODIFY: Message.Result = FModified ? 1 : 0; break;
    }
}

// ---------------------------------------------------------------------------
// TCustomLabel

// clang-format off
CLASSLIB_DEFINE_CLASS(TCustomLabel, TGraphicControl,
    OrdProp<TCustomLabel>("Alignment", TTypeKind::tkEnumeration, &TCustomLabel::Alignment,
                          &TCustomLabel::SetAlignment, taLeftJustify),
    OrdProp<TControl>("AutoSize", TTypeKind::tkBool, &TControl::AutoSize, &TControl::SetAutoSize, 1),
    ObjProp<TCustomLabel, TWinControl>("FocusControl", &TCustomLabel::FocusControl, &TCustomLabel::SetFocusControl),
    OrdProp<TCustomLabel>("Layout", TTypeKind::tkEnumeration, &TCustomLabel::Layout, &TCustomLabel::SetLayout, tlTop),
    OrdProp<TCustomLabel>("ShowAccelChar", TTypeKind::tkBool, &TCustomLabel::ShowAccelChar,
                          &TCustomLabel::SetShowAccelChar, 1),
    OrdProp<TCustomLabel>("Transparent", TTypeKind::tkBool, &TCustomLabel::Transparent,
                          &TCustomLabel::SetTransparent, 0),
    OrdProp<TCustomLabel>("WordWrap", TTypeKind::tkBool, &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap, 0))
// clang-format on

CLASSLIB_DEFINE_CLASS(TLabel, TCustomLabel)

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    FControlStyle += TControlStyle{csOpaque, csReplicatable};
    FWidth = 65;
    FHeight = 17;
    FAutoSize = true;
}

void TCustomLabel::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    Invalidate();
}

void TCustomLabel::SetAutoSize(bool Value) {
    TGraphicControl::SetAutoSize(Value);
    AdjustBounds();
}

void TCustomLabel::SetFocusControl(TWinControl* Value) {
    if (FFocusControl == Value) return;
    if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
    FFocusControl = Value;
    if (Value) Value->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == TOperation::opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TCustomLabel::SetShowAccelChar(bool Value) {
    if (FShowAccelChar == Value) return;
    FShowAccelChar = Value;
    Invalidate();
}

void TCustomLabel::SetTransparent(bool Value) {
    if (Transparent() == Value) return;
    if (Value) FControlStyle.Exclude(csOpaque);
    else FControlStyle.Include(csOpaque);
    Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout Value) {
    if (FLayout == Value) return;
    FLayout = Value;
    Invalidate();
}

void TCustomLabel::SetWordWrap(bool Value) {
    if (FWordWrap == Value) return;
    FWordWrap = Value;
    AdjustBounds();
    Invalidate();
}

String TCustomLabel::GetLabelText() const { return Caption(); }

void TCustomLabel::DoDrawText(TRect& Rect, UINT Flags) {
    String text = GetLabelText();
    // An empty caption (or a lone accelerator mark) still measures one line.
    if ((Flags & DT_CALCRECT) && (text.empty() || (FShowAccelChar && text == "&"))) text += ' ';
    if (!FShowAccelChar) Flags |= DT_NOPREFIX;
    Flags = static_cast<UINT>(DrawTextBiDiModeFlags(static_cast<int>(Flags)));
    TCanvas* canvas = Canvas();
    canvas->SetFont(Font());
    if (!Enabled()) {
        OffsetRect(&Rect, 1, 1);
        canvas->Font()->SetColor(clBtnHighlight);
        canvas->TextRect(Rect, text, Flags);
        OffsetRect(&Rect, -1, -1);
        canvas->Font()->SetColor(clBtnShadow);
        canvas->TextRect(Rect, text, Flags);
    } else {
        canvas->TextRect(Rect, text, Flags);
    }
}

namespace {
UINT LabelAlignmentFlags(TAlignment Alignment) {
    switch (Alignment) {
        case taRightJustify: return DT_RIGHT;
        case taCenter: return DT_CENTER;
        default: return DT_LEFT;
    }
}
}  // namespace

void TCustomLabel::Paint() {
    TCanvas* canvas = Canvas();
    TRect r = ClientRect();
    if (!Transparent()) {
        canvas->Brush()->SetColor(FColor);
        canvas->Brush()->SetStyle(bsSolid);
        canvas->FillRect(r);
    }
    canvas->Brush()->SetStyle(bsClear);
    UINT flags = DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : 0) | LabelAlignmentFlags(FAlignment);
    if (FLayout != tlTop) {
        TRect calc = r;
        DoDrawText(calc, flags | DT_CALCRECT);
        int free = FHeight - calc.bottom;
        OffsetRect(&r, 0, FLayout == tlBottom ? free : free / 2);
    }
    DoDrawText(r, flags);
}

void TCustomLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}

void TCustomLabel::AdjustBounds() {
    if (FComponentState.Contains(csReading) || FComponentState.Contains(csLoading) || !FAutoSize) return;
    TRect r = ClientRect();
    // The control canvas may hold the parent's DC; measure on the screen's.
    {
        const TScreenDC dc;
        FCanvas->WithHandle(dc, [&] { DoDrawText(r, DT_EXPANDTABS | DT_CALCRECT | (FWordWrap ? DT_WORDBREAK : 0)); });
    }
    int left = FLeft;
    if (FAlignment == taRightJustify) left += FWidth - r.right;
    SetBounds(left, FTop, r.right, r.bottom);
}

void TCustomLabel::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CM_TEXTCHANGED:
            Invalidate();
            AdjustBounds();
            return;
        case CM_FONTCHANGED:
            TGraphicControl::Dispatch(Message);
            AdjustBounds();
            return;
        case CM_DIALOGCHAR:
            if (FFocusControl && Enabled() && FShowAccelChar && IsAccel(Message.CharCode(), Caption()) &&
                FFocusControl->CanFocus()) {
                FFocusControl->SetFocus();
                Message.Result = 1;
            }
            return;
    }
    TGraphicControl::Dispatch(Message);
}
