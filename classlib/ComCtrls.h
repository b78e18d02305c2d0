// Common controls on the comctl32 windows: the track bar, the progress bar and
// the up-down arrows. Settings made before the window exists are kept and
// given to the window when it is made; afterwards the window holds them.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "Controls.h"

#include <vector>

// ---------------------------------------------------------------------------

enum TTrackBarOrientation { trHorizontal, trVertical };
enum TTickMark { tmBottomRight, tmTopLeft, tmBoth };
enum TTickStyle { tsNone, tsAuto, tsManual };

// A slider on a "msctls_trackbar32" window. The window is made with
// TBS_FIXEDLENGTH, so ThumbLength is the thumb's thickness. OnChange follows
// every move of the thumb, by the user or by Position.
class TTrackBar : public TWinControl {
    CLASSLIB_DECLARE_CLASS(TTrackBar)
public:
    explicit TTrackBar(TComponent* AOwner);

    TTrackBarOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TTrackBarOrientation Value);
    TTickMark TickMarks() const { return FTickMarks; }
    void SetTickMarks(TTickMark Value);
    TTickStyle TickStyle() const { return FTickStyle; }
    void SetTickStyle(TTickStyle Value);
    int ThumbLength() const;
    void SetThumbLength(int Value);
    int Min() const { return FMin; }
    void SetMin(int Value) { SetRange(Value, Value > FMax ? Value : FMax); }
    int Max() const { return FMax; }
    void SetMax(int Value) { SetRange(Value < FMin ? Value : FMin, Value); }
    void SetRange(int AMin, int AMax);
    int Position() const;
    void SetPosition(int Value);
    // Every Frequency-th position gets a tick (tsAuto).
    int Frequency() const { return FFrequency; }
    void SetFrequency(int Value);
    int LineSize() const { return FLineSize; }
    void SetLineSize(int Value);
    int PageSize() const { return FPageSize; }
    void SetPageSize(int Value);
    // A tick at Value (tsManual); kept for a window made later.
    void SetTick(int Value);
    void ClearTicks();

    void Dispatch(TMessage& Message) override;

    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    virtual void Changed();

    TTrackBarOrientation FOrientation = trHorizontal;
    TTickMark FTickMarks = tmBottomRight;
    TTickStyle FTickStyle = tsAuto;
    int FThumbLength = 20;
    int FMin = 0, FMax = 10, FPosition = 0;
    int FFrequency = 1, FLineSize = 1, FPageSize = 2;
    std::vector<int> FTicks;

private:
    LRESULT Send(UINT Msg, WPARAM WParam, LPARAM LParam) const;
    void ApplyTicks();
};

// ---------------------------------------------------------------------------

enum TProgressBarOrientation { pbHorizontal, pbVertical };

// A gauge on a "msctls_progress32" window.
class TProgressBar : public TWinControl {
    CLASSLIB_DECLARE_CLASS(TProgressBar)
public:
    explicit TProgressBar(TComponent* AOwner);

    int Min() const { return FMin; }
    void SetMin(int Value) { SetRange(Value, FMax); }
    int Max() const { return FMax; }
    void SetMax(int Value) { SetRange(FMin, Value); }
    void SetRange(int AMin, int AMax);
    int Position() const;
    void SetPosition(int Value);
    int Step() const { return FStep; }
    void SetStep(int Value);
    TProgressBarOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TProgressBarOrientation Value);
    // One bar instead of blocks.
    bool Smooth() const { return FSmooth; }
    void SetSmooth(bool Value);
    void StepIt();
    void StepBy(int Delta);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;

    int FMin = 0, FMax = 100, FPosition = 0, FStep = 10;
    TProgressBarOrientation FOrientation = pbHorizontal;
    bool FSmooth = false;

private:
    LRESULT Send(UINT Msg, WPARAM WParam, LPARAM LParam) const;
};

// ---------------------------------------------------------------------------

enum TUDOrientation { udHorizontal, udVertical };
// The arrow clicked: btNext raises Position, btPrev lowers it.
enum TUDBtnType { btNext, btPrev };
using TUDClickEvent = std::function<void(TObject* Sender, TUDBtnType Button)>;
// AllowChange false keeps Position as it is.
using TUDChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

// Two arrow buttons on a "msctls_updown32" window (no buddy window). The
// vertical control's top arrow and the horizontal one's right arrow raise
// Position.
class TCustomUpDown : public TWinControl {
    CLASSLIB_DECLARE_CLASS(TCustomUpDown)
public:
    explicit TCustomUpDown(TComponent* AOwner);

    int Min() const { return FMin; }
    void SetMin(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    int Position() const;
    void SetPosition(int Value);
    int Increment() const { return FIncrement; }
    void SetIncrement(int Value);
    TUDOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TUDOrientation Value);
    // Past a limit Position goes round to the other one.
    bool Wrap() const { return FWrap; }
    void SetWrap(bool Value);

    void Dispatch(TMessage& Message) override;

    TUDClickEvent OnClick;
    TUDChangingEvent OnChanging;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;

    int FMin = 0, FMax = 100, FPosition = 0, FIncrement = 1;
    TUDOrientation FOrientation = udVertical;
    bool FWrap = false;

private:
    LRESULT Send(UINT Msg, WPARAM WParam, LPARAM LParam) const;
    void ApplyRange();
};

class TUpDown : public TCustomUpDown {
    CLASSLIB_DECLARE_CLASS(TUpDown)
public:
    explicit TUpDown(TComponent* AOwner) : TCustomUpDown(AOwner) {}
};

#include "ComCtrlsLists.h"
