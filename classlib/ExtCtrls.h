// Containers and painted controls: the bevelled panel that holds and aligns
// other controls, the radio group, and the paint box.
#pragma once

#include "Controls.h"
#include "Lists.h"
#include "StdCtrls.h"

#include <functional>
#include <vector>

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
CLASSLIB_ENUM_NAMES(TBevelCut, "bvNone", "bvLowered", "bvRaised", "bvSpace")
using TPanelBevel = TBevelCut;

// Draws Width rings of a 3-D frame just inside Rect (top and left in
// TopColor, bottom and right in BottomColor) and shrinks Rect by Width.
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width);

// A window that draws, from its edge inwards, an outer bevel, a band of
// BorderWidth pixels in Color, an inner bevel, then its face with a one-line
// caption. Children aligned with Align share what is left inside all three.
//
// BorderWidth here belongs to the panel's own drawing (inside its client
// area); it hides the non-client border of TWinControl, which stays 0.
class TCustomPanel : public TCustomControl {
    CLASSLIB_DECLARE_CLASS(TCustomPanel)
public:
    explicit TCustomPanel(TComponent* AOwner);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TPanelBevel BevelInner() const { return FBevelInner; }
    void SetBevelInner(TPanelBevel Value);
    TPanelBevel BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TPanelBevel Value);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value);
    int BorderWidth() const { return FPanelBorderWidth; }
    void SetBorderWidth(int Value);
    // bsSingle adds a window border (a client edge with Ctl3D).
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    // The face shows what the parent paints behind the panel instead of Color.
    bool ParentBackground() const { return FControlStyle.Contains(csParentBackground); }
    void SetParentBackground(bool Value);
    // Repaint the whole panel on every size change; otherwise only the
    // frame is repainted (unless there is a caption to re-centre).
    bool FullRepaint = true;

    // The width of bevels and border together, on each side.
    int FrameWidth() const;
    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void AdjustClientRect(TRect& Rect) override;
    void Paint() override;

    TAlignment FAlignment = taCenter;
    TPanelBevel FBevelInner = bvNone;
    TPanelBevel FBevelOuter = bvRaised;
    int FBevelWidth = 1;
    int FPanelBorderWidth = 0;
    TBorderStyle FBorderStyle = bsNone;
};

class TPanel : public TCustomPanel {
    CLASSLIB_DECLARE_CLASS(TPanel)
public:
    explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
};

// ---------------------------------------------------------------------------

// A windowless area whose picture OnPaint draws on Canvas.
class TPaintBox : public TGraphicControl {
    CLASSLIB_DECLARE_CLASS(TPaintBox)
public:
    explicit TPaintBox(TComponent* AOwner);
    TNotifyEvent OnPaint;

protected:
    void Paint() override;
};

// ---------------------------------------------------------------------------

// How a splitter shows a drag: the neighbour resized as the mouse moves
// (rsUpdate), an inverted line (rsLine) or a hatched bar (rsPattern) until the
// button is let go, or nothing until then (rsNone).
enum TResizeStyle { rsNone, rsLine, rsUpdate, rsPattern };
CLASSLIB_ENUM_NAMES(TResizeStyle, "rsNone", "rsLine", "rsUpdate", "rsPattern")
// NewSize may be changed; Accept false refuses this step of the drag.
using TCanResizeEvent = std::function<void(TObject* Sender, int& NewSize, bool& Accept)>;

// A windowless bar that the user drags to resize the control aligned just
// before it (on its left for alLeft, after it for alRight, and so on). The
// neighbour is never made smaller than MinSize, nor so large that the other
// controls aligned on that axis get less than MinSize of the client area;
// with AutoSnap a drag below MinSize collapses it to 0.
class TSplitter : public TGraphicControl {
    CLASSLIB_DECLARE_CLASS(TSplitter)
public:
    explicit TSplitter(TComponent* AOwner);
    ~TSplitter() override;

    bool AutoSnap() const { return FAutoSnap; }
    void SetAutoSnap(bool Value) { FAutoSnap = Value; }
    int MinSize() const { return FMinSize; }
    void SetMinSize(int Value) { FMinSize = Value < 1 ? 1 : Value; }
    TResizeStyle ResizeStyle() const { return FResizeStyle; }
    void SetResizeStyle(TResizeStyle Value) { FResizeStyle = Value; }
    // True while a drag runs (the button is down on a splitter with a neighbour).
    bool Sizing() const { return FSizedControl != nullptr; }
    // The control a drag would resize now, or nil.
    TControl* FindSizedControl() const;
    void Dispatch(TMessage& Message) override;

    TNotifyEvent OnPaint;
    TCanResizeEvent OnCanResize;
    // After each change of the neighbour's size.
    TNotifyEvent OnMoved;

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual bool CanResize(int& NewSize);

private:
    bool Horizontal() const { return FAlign == alLeft || FAlign == alRight; }
    void FollowAxisCursor();
    void CalcSplitSize(int X, int Y, int& NewSize, int& Split) const;
    bool DoCanResize(int& NewSize);
    void UpdateControlSize();
    void AllocateLineDC();
    void ReleaseLineDC();
    void DrawLine();
    void StopSizing();

    bool FAutoSnap = true;
    int FMinSize = 30;
    TResizeStyle FResizeStyle = rsPattern;
    TControl* FSizedControl = nullptr;
    TPoint FDownPos{0, 0};
    int FMaxSize = 0, FNewSize = 0, FOldSize = -1, FSplit = 0;
    HDC FLineDC = nullptr;
    HWND FLineWnd = nullptr;
    HBRUSH FPatternBrush = nullptr;
    HGDIOBJ FPrevBrush = nullptr;
    bool FLineVisible = false;
};

// The radio buttons of a radio group: one per line of Items, laid out column
// by column, with one ItemIndex. The group makes the buttons (MakeButton) and
// tells the items when it was clicked, resized or read; the items are never
// streamed, they follow Items.
class TRadioItems {
public:
    using TMakeButton = std::function<TRadioButton*()>;
    TRadioItems(TWinControl* Group, TMakeButton MakeButton);
    ~TRadioItems();
    TRadioItems(const TRadioItems&) = delete;
    TRadioItems& operator=(const TRadioItems&) = delete;

    TStrings* Items() const { return FItems; }
    int Count() const { return static_cast<int>(FButtons.size()); }
    TRadioButton* Button(int Index) const { return FButtons[static_cast<size_t>(Index)]; }
    // -1 (none) up to Count - 1; values outside are brought inside. While the
    // group is read the value is kept as it is, and applied by Loaded.
    int ItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    // 1 .. 16; true when it changed.
    int Columns() const { return FColumns; }
    bool SetColumns(int Value);
    // Places the buttons below a caption strip StripHeight high.
    void Arrange(int StripHeight);
    // After the group was read: lays out and checks the ItemIndex button.
    void Loaded(int StripHeight);
    // A button freed by someone else leaves the list.
    void Forget(TComponent* Button);
    // Frees every button (the group does so first when it goes).
    void Clear() { SetButtonCount(0); }
    // Called after the buttons follow a change of Items (and on Loaded).
    std::function<void()> OnItemsChanged;
    // The group's strip height, asked when the items arrange themselves.
    std::function<int()> StripHeight;

private:
    bool Reading() const;
    void SetButtonCount(int Count);
    void ItemsChanged(TObject* Sender);
    void ButtonClick(TObject* Sender);

    TWinControl* FGroup;
    TMakeButton FMakeButton;
    TStringList* FItems;
    std::vector<TRadioButton*> FButtons;
    int FItemIndex = -1;
    int FColumns = 1;
    // Set while the group checks a button itself: its click writes nothing back.
    bool FClickGuard = false;
};

// A group of radio items over a group box (Base): the items follow Items,
// laid out below the group's caption strip, StripHeight high.
template <class Base>
class TRadioGroupOf : public Base {
public:
    using RadioGroup = TRadioGroupOf;
    TStrings* Items() const { return FItems.Items(); }
    void SetItems(TStrings* Value) { FItems.Items()->Assign(Value); }
    int ItemIndex() const { return FItems.ItemIndex(); }
    void SetItemIndex(int Value) { FItems.SetItemIndex(Value); }
    int Columns() const { return FItems.Columns(); }
    void SetColumns(int Value) {
        if (FItems.SetColumns(Value)) this->Invalidate();
    }
    int ButtonCount() const { return FItems.Count(); }
    void Dispatch(TMessage& Message) override {
        Base::Dispatch(Message);
        switch (Message.Msg) {
            case WM_SIZE:
            case CM_FONTCHANGED: ArrangeButtons(); break;
            case CM_ENABLEDCHANGED:
                for (int i = 0; i < FItems.Count(); ++i) FItems.Button(i)->SetEnabled(this->Enabled());
                break;
            default: break;
        }
    }

protected:
    TRadioGroupOf(TComponent* AOwner, TRadioItems::TMakeButton MakeButton)
        : Base(AOwner), FItems(this, std::move(MakeButton)) {
        this->FControlStyle = TControlStyle{csSetCaption, csDoubleClicks};
        FItems.StripHeight = [this] { return StripHeight(); };
    }
    ~TRadioGroupOf() override { FItems.Clear(); }
    virtual int StripHeight() = 0;
    virtual void ArrangeButtons() { FItems.Arrange(StripHeight()); }
    void Loaded() override {
        Base::Loaded();
        FItems.Loaded(StripHeight());
    }
    void Notification(TComponent* AComponent, TOperation Operation) override {
        Base::Notification(AComponent, Operation);
        if (Operation == TOperation::opRemove) FItems.Forget(AComponent);
    }
    TRadioItems FItems;
};

// The published properties of a radio group class C.
#define CLASSLIB_RADIO_GROUP_PROPS(C)                                                                            \
    OrdProp<typename C::RadioGroup>("Columns", TTypeKind::tkInteger, &C::Columns, &C::SetColumns, 1),            \
        OrdProp<typename C::RadioGroup>("ItemIndex", TTypeKind::tkInteger, &C::ItemIndex, &C::SetItemIndex, -1), \
        ObjProp<typename C::RadioGroup, TStrings>("Items", &C::Items, &C::SetItems)

// A group box of plain radio buttons made from the lines of Items.
class TCustomRadioGroup : public TRadioGroupOf<TCustomGroupBox> {
    CLASSLIB_DECLARE_CLASS(TCustomRadioGroup)
public:
    explicit TCustomRadioGroup(TComponent* AOwner);
    TRadioButton* Buttons(int Index) const { return FItems.Button(Index); }

protected:
    int StripHeight() override { return CaptionLineHeight(); }
};

class TRadioGroup : public TCustomRadioGroup {
    CLASSLIB_DECLARE_CLASS(TRadioGroup)
public:
    explicit TRadioGroup(TComponent* AOwner) : TCustomRadioGroup(AOwner) {}
};
