#include "ExtCtrls.h"

#include "Scopes.h"

#include <uxtheme.h>

#include <algorithm>

void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width) {
    if (Width <= 0) return;
    HDC dc = Canvas->Handle();
    HBRUSH top = CreateSolidBrush(ColorToRGB(TopColor));
    HBRUSH bottom = CreateSolidBrush(ColorToRGB(BottomColor));
    for (int i = 0; i < Width && Rect.right > Rect.left && Rect.bottom > Rect.top; ++i) {
        const int l = Rect.left, t = Rect.top, r = Rect.right, b = Rect.bottom;
        // The top-right and bottom-left corner pixels belong to the bottom colour.
        RECT part{l, t, r - 1, t + 1};
        FillRect(dc, &part, top);
        part = RECT{l, t, l + 1, b - 1};
        FillRect(dc, &part, top);
        part = RECT{r - 1, t, r, b};
        FillRect(dc, &part, bottom);
        part = RECT{l, b - 1, r, b};
        FillRect(dc, &part, bottom);
        InflateRect(&Rect, -1, -1);
    }
    DeleteObject(top);
    DeleteObject(bottom);
}

// ---------------------------------------------------------------------------
// TCustomPanel

// clang-format off
CLASSLIB_DEFINE_CLASS(TCustomPanel, TCustomControl,
    OrdProp<TCustomPanel>("Alignment", TTypeKind::tkEnumeration, &TCustomPanel::Alignment,
                          &TCustomPanel::SetAlignment, taCenter),
    OrdProp<TCustomPanel>("BevelInner", TTypeKind::tkEnumeration, &TCustomPanel::BevelInner,
                          &TCustomPanel::SetBevelInner, bvNone),
    OrdProp<TCustomPanel>("BevelOuter", TTypeKind::tkEnumeration, &TCustomPanel::BevelOuter,
                          &TCustomPanel::SetBevelOuter, bvRaised),
    OrdProp<TCustomPanel>("BevelWidth", TTypeKind::tkInteger, &TCustomPanel::BevelWidth,
                          &TCustomPanel::SetBevelWidth, 1),
    OrdProp<TCustomPanel>("BorderWidth", TTypeKind::tkInteger, &TCustomPanel::BorderWidth,
                          &TCustomPanel::SetBorderWidth, 0),
    OrdProp<TCustomPanel>("BorderStyle", TTypeKind::tkEnumeration, &TCustomPanel::BorderStyle,
                          &TCustomPanel::SetBorderStyle, bsNone),
    OrdProp<TCustomPanel>("ParentBackground", TTypeKind::tkBool, &TCustomPanel::ParentBackground,
                          &TCustomPanel::SetParentBackground, 0),
    OrdField<TCustomPanel, bool>("FullRepaint", TTypeKind::tkBool, &TCustomPanel::FullRepaint, 1),
    OrdProp<TControl>("ParentColor", TTypeKind::tkBool, &TControl::ParentColor, &TControl::SetParentColor, 0))
// clang-format on

CLASSLIB_DEFINE_CLASS(TPanel, TCustomPanel)

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption,
                                  csOpaque,          csDoubleClicks, csReplicatable};
    FWidth = 185;
    FHeight = 41;
    FColor = clBtnFace;
    FParentColor = false;
    FBrush->SetColor(FColor);
}

void TCustomPanel::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    if (FBorderStyle == bsSingle) {
        if (FCtl3D) Params.ExStyle |= WS_EX_CLIENTEDGE;
        else Params.Style |= WS_BORDER;
    }
    // A resize repaints what it must (see Dispatch), not the whole window.
    Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

int TCustomPanel::FrameWidth() const {
    return (FBevelOuter != bvNone ? FBevelWidth : 0) + FPanelBorderWidth + (FBevelInner != bvNone ? FBevelWidth : 0);
}

void TCustomPanel::AdjustClientRect(TRect& Rect) {
    TCustomControl::AdjustClientRect(Rect);
    int frame = FrameWidth();
    InflateRect(&Rect, -frame, -frame);
}

void TCustomPanel::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    Invalidate();
}

void TCustomPanel::SetBevelInner(TPanelBevel Value) {
    if (FBevelInner == Value) return;
    FBevelInner = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelOuter(TPanelBevel Value) {
    if (FBevelOuter == Value) return;
    FBevelOuter = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBevelWidth(int Value) {
    if (Value < 1) Value = 1;
    if (FBevelWidth == Value) return;
    FBevelWidth = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBorderWidth(int Value) {
    if (Value < 0) Value = 0;
    if (FPanelBorderWidth == Value) return;
    FPanelBorderWidth = Value;
    Realign();
    Invalidate();
}

void TCustomPanel::SetBorderStyle(TBorderStyle Value) {
    if (Value != bsNone) Value = bsSingle;
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    RecreateWnd();
}

void TCustomPanel::SetParentBackground(bool Value) {
    if (ParentBackground() == Value) return;
    if (Value) FControlStyle.Include(csParentBackground);
    else FControlStyle.Exclude(csParentBackground);
    Invalidate();
}

namespace {
void BevelColors(TPanelBevel Bevel, TColor Face, TColor& Top, TColor& Bottom) {
    switch (Bevel) {
        case bvLowered:
            Top = clBtnShadow;
            Bottom = clBtnHighlight;
            break;
        case bvRaised:
            Top = clBtnHighlight;
            Bottom = clBtnShadow;
            break;
        default: Top = Bottom = Face;
    }
}

UINT PanelAlignmentFlags(TAlignment Alignment) {
    switch (Alignment) {
        case taLeftJustify: return DT_LEFT;
        case taRightJustify: return DT_RIGHT;
        default: return DT_CENTER;
    }
}
}  // namespace

void TCustomPanel::Paint() {
    TCanvas* canvas = Canvas();
    TRect r = ClientRect();
    bool parentBack = ParentBackground() && FHandle;
    if (parentBack) DrawThemeParentBackground(FHandle, canvas->Handle(), &r);
    TColor top, bottom;
    if (FBevelOuter != bvNone) {
        BevelColors(FBevelOuter, FColor, top, bottom);
        Frame3D(canvas, r, top, bottom, FBevelWidth);
    }
    if (parentBack) InflateRect(&r, -FPanelBorderWidth, -FPanelBorderWidth);
    else Frame3D(canvas, r, FColor, FColor, FPanelBorderWidth);
    if (FBevelInner != bvNone) {
        BevelColors(FBevelInner, FColor, top, bottom);
        Frame3D(canvas, r, top, bottom, FBevelWidth);
    }
    if (!parentBack) {
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(FColor);
        canvas->FillRect(r);
    }
    String caption = Caption();
    if (caption.empty()) return;
    canvas->Brush()->SetStyle(bsClear);
    canvas->SetFont(Font());
    // One line, centred vertically in what the frame leaves.
    int h = canvas->TextHeight("W");
    r.top = (r.top + r.bottom - h) / 2;
    r.bottom = r.top + h;
    canvas->TextRect(
        r, caption,
        static_cast<UINT>(DrawTextBiDiModeFlags(DT_EXPANDTABS | DT_VCENTER | PanelAlignmentFlags(FAlignment))));
}

void TCustomPanel::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CM_TEXTCHANGED: Invalidate(); return;
        case WM_WINDOWPOSCHANGED: {
            int oldWidth = FWidth, oldHeight = FHeight;
            TCustomControl::Dispatch(Message);
            if (!FHandle || (oldWidth == FWidth && oldHeight == FHeight)) return;
            if (FullRepaint || !Caption().empty()) {
                Invalidate();
                return;
            }
            // The frame moved: repaint where it was and where it is now.
            TRect client = ClientRect();
            int dw = FWidth - oldWidth, dh = FHeight - oldHeight;
            int frame = FrameWidth();
            HRGN region = CreateRectRgn(0, 0, 0, 0);
            for (const TRect& outer : {client, TRect{0, 0, client.right - dw, client.bottom - dh}}) {
                HRGN ring = CreateRectRgnIndirect(&outer);
                TRect inner = outer;
                InflateRect(&inner, -frame, -frame);
                HRGN hole = CreateRectRgnIndirect(&inner);
                CombineRgn(ring, ring, hole, RGN_DIFF);
                CombineRgn(region, region, ring, RGN_OR);
                DeleteObject(hole);
                DeleteObject(ring);
            }
            InvalidateRgn(FHandle, region, FALSE);
            DeleteObject(region);
            return;
        }
    }
    TCustomControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// TPaintBox

CLASSLIB_DEFINE_CLASS(TPaintBox, TGraphicControl)

TPaintBox::TPaintBox(TComponent* AOwner) : TGraphicControl(AOwner) {
    FControlStyle.Include(csReplicatable);
    FWidth = 105;
    FHeight = 105;
}

void TPaintBox::Paint() {
    if (FComponentState.Contains(csDesigning)) {
        TCanvas* canvas = Canvas();
        canvas->Pen()->SetStyle(psDash);
        canvas->Brush()->SetStyle(bsClear);
        canvas->Rectangle(0, 0, FWidth, FHeight);
    }
    if (OnPaint) OnPaint(this);
}

// ---------------------------------------------------------------------------
// TSplitter

// clang-format off
CLASSLIB_DEFINE_CLASS(TSplitter, TGraphicControl,
    OrdProp<TSplitter>("AutoSnap", TTypeKind::tkBool, &TSplitter::AutoSnap, &TSplitter::SetAutoSnap, 1),
    OrdProp<TSplitter>("MinSize", TTypeKind::tkInteger, &TSplitter::MinSize, &TSplitter::SetMinSize, 30),
    OrdProp<TSplitter>("ResizeStyle", TTypeKind::tkEnumeration, &TSplitter::ResizeStyle, &TSplitter::SetResizeStyle,
                       rsPattern))
// clang-format on

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner) {
    FAlign = alLeft;
    FWidth = 3;
    FHeight = 100;
    FCursor = crHSplit;
}

TSplitter::~TSplitter() {
    ReleaseLineDC();
    if (FPatternBrush) DeleteObject(FPatternBrush);
}

void TSplitter::Paint() {
    TCanvas* canvas = Canvas();
    canvas->Brush()->SetColor(FColor);
    canvas->FillRect(ClientRect());
    if (OnPaint) OnPaint(this);
}

void TSplitter::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CM_MOUSEENTER: FollowAxisCursor(); break;
        // The mouse was taken away: the drag ends where it is.
        case WM_CANCELMODE: StopSizing(); break;
        default: break;
    }
    TGraphicControl::Dispatch(Message);
}

void TSplitter::FollowAxisCursor() {
    // The sizing cursor follows the axis, unless another one was chosen.
    if (FCursor == crHSplit || FCursor == crVSplit) FCursor = Horizontal() ? crHSplit : crVSplit;
}

TControl* TSplitter::FindSizedControl() const {
    if (!FParent) return nullptr;
    // A point just outside the splitter on the neighbour's side.
    TPoint p{FLeft, FTop};
    switch (FAlign) {
        case alLeft: --p.x; break;
        case alRight: p.x += FWidth; break;
        case alTop: --p.y; break;
        case alBottom: p.y += FHeight; break;
        default: return nullptr;
    }
    for (int i = 0; i < FParent->ControlCount(); ++i) {
        TControl* c = FParent->Controls(i);
        if (c == this || !c->Visible() || !c->Enabled() || c->Align() != FAlign) continue;
        TRect r = c->BoundsRect();
        // A collapsed neighbour still counts: it lies on the splitter's edge.
        if (r.right == r.left) {
            if (FAlign == alLeft) --r.left;
            else ++r.right;
        }
        if (r.bottom == r.top) {
            if (FAlign == alTop) --r.top;
            else ++r.bottom;
        }
        if (PtInRect(&r, p)) return c;
    }
    return nullptr;
}

void TSplitter::CalcSplitSize(int X, int Y, int& NewSize, int& Split) const {
    Split = Horizontal() ? X - FDownPos.x : Y - FDownPos.y;
    int s = 0;
    switch (FAlign) {
        case alLeft: s = FSizedControl->Width() + Split; break;
        case alRight: s = FSizedControl->Width() - Split; break;
        case alTop: s = FSizedControl->Height() + Split; break;
        case alBottom: s = FSizedControl->Height() - Split; break;
        default: break;
    }
    NewSize = std::max(FMinSize, std::min(s, FMaxSize));
    // The line follows the size actually given, not the mouse.
    if (s != NewSize) Split += (FAlign == alRight || FAlign == alBottom) ? s - NewSize : NewSize - s;
}

bool TSplitter::CanResize(int& NewSize) {
    bool accept = true;
    if (OnCanResize) OnCanResize(this, NewSize, accept);
    return accept;
}

bool TSplitter::DoCanResize(int& NewSize) {
    const bool accept = CanResize(NewSize);
    if (accept && NewSize <= FMinSize && FAutoSnap) NewSize = 0;
    return accept;
}

void TSplitter::UpdateControlSize() {
    if (!FSizedControl || FNewSize == FOldSize) return;
    switch (FAlign) {
        case alLeft: FSizedControl->SetWidth(FNewSize); break;
        case alTop: FSizedControl->SetHeight(FNewSize); break;
        case alRight:
            FParent->DisableAlign();
            FSizedControl->SetBounds(FSizedControl->Left() + FSizedControl->Width() - FNewSize, FSizedControl->Top(),
                                     FNewSize, FSizedControl->Height());
            FParent->EnableAlign();
            break;
        case alBottom:
            FParent->DisableAlign();
            FSizedControl->SetBounds(FSizedControl->Left(), FSizedControl->Top() + FSizedControl->Height() - FNewSize,
                                     FSizedControl->Width(), FNewSize);
            FParent->EnableAlign();
            break;
        default: break;
    }
    FParent->Update();
    FOldSize = FNewSize;
    FireEvent(OnMoved, this);
}

void TSplitter::AllocateLineDC() {
    FLineWnd = FParent->Handle();
    FLineDC = GetDCEx(FLineWnd, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
    if (FResizeStyle != rsPattern) return;
    if (!FPatternBrush) {
        static const WORD kChecker[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
        HBITMAP bits = CreateBitmap(8, 8, 1, 1, kChecker);
        FPatternBrush = CreatePatternBrush(bits);
        DeleteObject(bits);
    }
    FPrevBrush = SelectObject(FLineDC, FPatternBrush);
}

void TSplitter::ReleaseLineDC() {
    if (!FLineDC) return;
    if (FPrevBrush) SelectObject(FLineDC, FPrevBrush);
    FPrevBrush = nullptr;
    ReleaseDC(FLineWnd, FLineDC);
    FLineDC = nullptr;
}

void TSplitter::DrawLine() {
    if (!FLineDC) return;
    FLineVisible = !FLineVisible;
    TPoint p{FLeft, FTop};
    if (Horizontal()) p.x += FSplit;
    else p.y += FSplit;
    PatBlt(FLineDC, p.x, p.y, FWidth, FHeight, PATINVERT);
}

void TSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const std::shared_ptr<const bool> live = Alive();
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (!*live || Button != mbLeft || !FParent) return;
    FSizedControl = FindSizedControl();
    if (!FSizedControl) return;
    FSizedControl->FreeNotification(this);
    FDownPos = TPoint{X, Y};
    // What the other controls aligned on this axis leave, less MinSize.
    FMaxSize = (Horizontal() ? FParent->ClientWidth() : FParent->ClientHeight()) - FMinSize;
    for (int i = 0; i < FParent->ControlCount(); ++i) {
        TControl* c = FParent->Controls(i);
        if (!c->Visible()) continue;
        if (Horizontal() && (c->Align() == alLeft || c->Align() == alRight)) FMaxSize -= c->Width();
        if (!Horizontal() && (c->Align() == alTop || c->Align() == alBottom)) FMaxSize -= c->Height();
    }
    FMaxSize += Horizontal() ? FSizedControl->Width() : FSizedControl->Height();
    FOldSize = -1;
    CalcSplitSize(X, Y, FNewSize, FSplit);
    if (FResizeStyle == rsLine || FResizeStyle == rsPattern) {
        AllocateLineDC();
        DrawLine();
    }
}

void TSplitter::MouseMove(TShiftState Shift, int X, int Y) {
    const std::shared_ptr<const bool> live = Alive();
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!*live || !FSizedControl) return;
    // A move without the button: its release went elsewhere, and a mere
    // hover must not resize the neighbour.
    if (!Shift.Contains(ssLeft)) return StopSizing();
    int newSize = 0, split = 0;
    CalcSplitSize(X, Y, newSize, split);
    if (!DoCanResize(newSize)) return;
    const bool line = FResizeStyle == rsLine || FResizeStyle == rsPattern;
    if (line && FLineVisible) DrawLine();
    FNewSize = newSize;
    FSplit = split;
    if (FResizeStyle == rsUpdate) UpdateControlSize();
    if (line) DrawLine();
}

void TSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const std::shared_ptr<const bool> live = Alive();
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!*live || !FSizedControl) return;
    if (FLineVisible) DrawLine();
    UpdateControlSize();
    StopSizing();
}

void TSplitter::StopSizing() {
    if (FLineVisible) DrawLine();
    FLineVisible = false;
    ReleaseLineDC();
    if (FSizedControl) FSizedControl->RemoveFreeNotification(this);
    FSizedControl = nullptr;
}

void TSplitter::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove || AComponent != FSizedControl) return;
    FSizedControl = nullptr;
    StopSizing();
}

// ---------------------------------------------------------------------------
// TRadioItems, TCustomRadioGroup

TRadioItems::TRadioItems(TWinControl* Group, TMakeButton MakeButton)
    : FGroup(Group), FMakeButton(std::move(MakeButton)), FItems(new TStringList) {
    FItems->OnChange = [this](TObject* Sender) { ItemsChanged(Sender); };
}

TRadioItems::~TRadioItems() {
    FItems->OnChange = nullptr;
    SetButtonCount(0);
    delete FItems;
}

bool TRadioItems::Reading() const { return FGroup->ComponentState().Contains(csReading); }

void TRadioItems::SetButtonCount(int Count) {
    while (this->Count() < Count) {
        TRadioButton* b = FMakeButton();
        b->OnClick = [this](TObject* Sender) { ButtonClick(Sender); };
        FButtons.push_back(b);
    }
    while (this->Count() > Count) {
        TRadioButton* b = FButtons.back();
        FButtons.pop_back();
        b->Free();
    }
}

void TRadioItems::Forget(TComponent* Button) {
    auto it = std::find(FButtons.begin(), FButtons.end(), Button);
    if (it != FButtons.end()) FButtons.erase(it);
}

void TRadioItems::ItemsChanged(TObject*) {
    if (!Reading()) {
        // Lines deleted under the choice: it moves to the last line, which
        // is not checked for that (the group says so when asked).
        if (FItemIndex >= FItems->Count()) FItemIndex = FItems->Count() - 1;
        SetButtonCount(FItems->Count());
        for (int i = 0; i < Count(); ++i) FButtons[static_cast<size_t>(i)]->SetCaption(FItems->Get(i));
        Arrange(StripHeight ? StripHeight() : 0);
        FGroup->Invalidate();
    }
    if (OnItemsChanged) OnItemsChanged();
}

void TRadioItems::ButtonClick(TObject* Sender) {
    if (FClickGuard) return;
    auto it = std::find(FButtons.begin(), FButtons.end(), Sender);
    if (it == FButtons.end()) return;
    FItemIndex = static_cast<int>(it - FButtons.begin());
    FGroup->Changed();
    FGroup->Click();
}

void TRadioItems::SetItemIndex(int Value) {
    if (Reading()) {
        FItemIndex = Value;
        return;
    }
    Value = std::max(-1, std::min(Value, Count() - 1));
    if (Value == FItemIndex) return;
    // The buttons' OnClick may free the group, and these items with it.
    const TBoolScope guard(FClickGuard, true, FGroup->Alive());
    if (FItemIndex >= 0 && FItemIndex < Count()) Button(FItemIndex)->SetChecked(false);
    FItemIndex = Value;
    if (Value >= 0) Button(Value)->SetChecked(true);
}

bool TRadioItems::SetColumns(int Value) {
    Value = std::max(1, std::min(Value, 16));
    if (Value == FColumns) return false;
    FColumns = Value;
    Arrange(StripHeight ? StripHeight() : 0);
    return true;
}

void TRadioItems::Arrange(int StripHeight) {
    const int count = Count();
    if (count == 0 || Reading()) return;
    const int perColumn = (count + FColumns - 1) / FColumns;
    const int w = (FGroup->Width() - 10) / FColumns;
    const int h = (FGroup->Height() - StripHeight - 5) / perColumn;
    const int top = StripHeight + 2;
    // One batch, so that the group repaints once for all its buttons.
    HDWP batch = FGroup->HandleAllocated() ? BeginDeferWindowPos(count) : nullptr;
    for (int i = 0; i < count; ++i) {
        TRadioButton* b = Button(i);
        b->SetBiDiMode(FGroup->BiDiMode());
        const int left = (i / perColumn) * w + 8, y = (i % perColumn) * h + top;
        if (batch && b->HandleAllocated())
            batch = DeferWindowPos(batch, b->Handle(), nullptr, left, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
        else b->SetBounds(left, y, w, h);
        b->SetVisible(true);
    }
    if (batch) EndDeferWindowPos(batch);
}

void TRadioItems::Loaded(int StripHeight) {
    ItemsChanged(FItems);
    Arrange(StripHeight);
    if (FItemIndex < 0 || FItemIndex >= Count()) return;
    // The buttons' OnClick may free the group, and these items with it.
    const TBoolScope guard(FClickGuard, true, FGroup->Alive());
    Button(FItemIndex)->SetChecked(true);
}

namespace {
// A plain radio button of a plain radio group.
TRadioButton* MakePlainButton(TWinControl* Group) {
    auto* b = TObject::Create<TRadioButton>(Group);
    b->SetVisible(false);
    b->SetEnabled(Group->Enabled());
    b->SetParentShowHint(false);
    b->SetParent(Group);
    b->SetTabStop(false);
    return b;
}
}  // namespace

CLASSLIB_DEFINE_CLASS(TCustomRadioGroup, TCustomGroupBox, CLASSLIB_RADIO_GROUP_PROPS(TCustomRadioGroup))
CLASSLIB_DEFINE_CLASS(TRadioGroup, TCustomRadioGroup)

TCustomRadioGroup::TCustomRadioGroup(TComponent* AOwner)
    : TRadioGroupOf(AOwner, [this] { return MakePlainButton(this); }) {}
