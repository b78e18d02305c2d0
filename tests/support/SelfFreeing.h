// Controls freed by their own handlers, driven by real input: each handler a
// user may free its control from, armed to delete its Sender, and the mouse
// moves, clicks and keys that fire it. Run on the guarded heap, a path that
// touches the control after its handler stops the program.
#pragma once

#include "Controls.h"
#include "FormTestSupport.h"
#include "TestInput.h"

#include <functional>
#include <string>
#include <vector>

namespace guardedheap {
void Enable(bool On);
bool IsFreedMemory(const void* p);
}  // namespace guardedheap

namespace selffreeing {

enum class THandler {
    Click,
    Change,
    MouseDown,
    MouseUp,
    MouseEnter,
    MouseLeave,
    KeyDown,
    KeyPress,
    KeyUp,
    Enter,
    Exit
};

inline const char* NameOf(THandler H) {
    static const char* const names[] = {"OnClick",      "OnChange",     "OnMouseDown", "OnMouseUp",
                                        "OnMouseEnter", "OnMouseLeave", "OnKeyDown",   "OnKeyPress",
                                        "OnKeyUp",      "OnEnter",      "OnExit"};
    return names[static_cast<int>(H)];
}

// A kind of control: how it is made on the host form and, when it has an
// OnChange, how that is set and what the user does to change it (the control
// focused and the mouse over it).
struct TKind {
    std::string Name;
    std::function<TControl*(TWinControl* Parent)> Make;
    std::function<void(TControl*, TNotifyEvent)> SetOnChange;
    std::function<void(TControl*)> Change;
    // Handlers the kind never fires (a panel's click does not focus it...).
    std::vector<THandler> Never;
    // Where the mouse goes, in the control's client; (-1, -1): its centre.
    POINT Spot{-1, -1};
};

// Made at the place the driver expects.
template <typename T>
TControl* MakeAt(TWinControl* Parent) {
    T* c = formtest::Make<T>(Parent, 20, 20, 120, 40);
    c->SetCaption("Free me");
    return c;
}

inline POINT ScreenAt(TControl* C, int X, int Y) {
    const TPoint p = C->ClientToScreen(TPoint{X, Y});
    return POINT{p.x, p.y};
}
inline POINT CentreOf(TControl* C) { return ScreenAt(C, C->Width() / 2, C->Height() / 2); }
inline POINT SpotOf(const TKind& Kind, TControl* C) {
    return Kind.Spot.x < 0 ? CentreOf(C) : ScreenAt(C, Kind.Spot.x, Kind.Spot.y);
}

inline void Click(POINT P) {
    testinput::MouseTo(P);
    testinput::LeftButton(true);
    testinput::LeftButton(false);
}

inline void Key(WORD K) {
    testinput::SendKey(K);
    formtest::Pump(30);
}

inline bool Windowed(const TControl* C) { return dynamic_cast<const TWinControl*>(C) != nullptr; }

inline bool Applies(const TKind& Kind, const TControl* C, THandler H) {
    for (THandler n : Kind.Never)
        if (n == H) return false;
    switch (H) {
        case THandler::Change: return static_cast<bool>(Kind.SetOnChange);
        case THandler::KeyDown:
        case THandler::KeyPress:
        case THandler::KeyUp:
        case THandler::Enter:
        case THandler::Exit: return Windowed(C);
        default: return true;
    }
}

// Sets handler H of C to Free, which deletes its Sender and then counts in
// Fired (a handler that goes on after the delete, as a form's method would).
inline void Arm(const TKind& Kind, TControl* C, THandler H, const TNotifyEvent& Free) {
    auto* w = dynamic_cast<TWinControl*>(C);
    const TMouseEvent mouse = [Free](TObject* S, TMouseButton, TShiftState, int, int) { Free(S); };
    const TKeyEvent key = [Free](TObject* S, WORD&, TShiftState) { Free(S); };
    switch (H) {
        case THandler::Click: C->OnClick = Free; break;
        case THandler::Change: Kind.SetOnChange(C, Free); break;
        case THandler::MouseDown: C->OnMouseDown = mouse; break;
        case THandler::MouseUp: C->OnMouseUp = mouse; break;
        case THandler::MouseEnter: C->OnMouseEnter = Free; break;
        case THandler::MouseLeave: C->OnMouseLeave = Free; break;
        case THandler::KeyDown: w->OnKeyDown = key; break;
        case THandler::KeyUp: w->OnKeyUp = key; break;
        case THandler::KeyPress: w->OnKeyPress = [Free](TObject* S, char&) { Free(S); }; break;
        case THandler::Enter: w->OnEnter = Free; break;
        case THandler::Exit: w->OnExit = Free; break;
    }
}

// The user's input that fires H on C; Other is a focusable control of the
// same form, Away a point of the form outside both.
inline void Fire(const TKind& Kind, TControl* C, THandler H, TWinControl* Other, POINT Away) {
    auto* w = dynamic_cast<TWinControl*>(C);
    const POINT centre = SpotOf(Kind, C);
    switch (H) {
        case THandler::Click:
        case THandler::MouseDown:
        case THandler::MouseUp: Click(centre); break;
        case THandler::MouseEnter: testinput::MouseTo(centre); break;
        case THandler::MouseLeave:
            testinput::MouseTo(centre);
            testinput::MouseTo(Away);
            break;
        case THandler::KeyDown:
        case THandler::KeyPress:
        case THandler::KeyUp:
            w->SetFocus();
            formtest::Pump(20);
            Key('A');
            break;
        case THandler::Change:
            if (w) w->SetFocus();
            testinput::MouseTo(centre);
            Kind.Change(C);
            break;
        // Focus taken with the mouse: the press goes on after the handler.
        case THandler::Enter: Click(centre); break;
        case THandler::Exit:
            w->SetFocus();
            formtest::Pump(20);
            Click(CentreOf(Other));
            break;
    }
    formtest::Pump(30);
}

// Every kind with every handler it has: the handler deletes its control, the
// program goes on (the heap stops it at a read of the freed control).
inline void RunAll(const std::vector<TKind>& Kinds, const std::function<TControl*(TWinControl*)>& MakeOther) {
    for (const TKind& kind : Kinds) {
        for (int i = 0; i <= static_cast<int>(THandler::Exit); ++i) {
            const THandler h = static_cast<THandler>(i);
            // The guarded heap never reuses its pages: only the control and
            // what runs from the input on take them, or the heap runs out.
            guardedheap::Enable(false);
            formtest::FormPtr form = formtest::MakeForm(40, 40, 320, 220);
            guardedheap::Enable(true);
            TControl* c = kind.Make(form.get());
            guardedheap::Enable(false);
            auto* other = static_cast<TWinControl*>(MakeOther(form.get()));
            if (!Applies(kind, c, h)) continue;
            SCOPED_TRACE(kind.Name + ", " + NameOf(h));
            form->Show();
            other->SetFocus();
            formtest::Pump(40);
            const POINT away = ScreenAt(form.get(), 260, 10);
            testinput::MouseTo(away);
            // Armed once the form is shown and the focus is on the other control.
            guardedheap::Enable(true);
            int fired = 0;
            Arm(kind, c, h, [&fired](TObject* Sender) {
                delete Sender;
                ++fired;
            });
            Fire(kind, c, h, other, away);
            EXPECT_EQ(fired, 1);
            if (fired != 1) continue;
            EXPECT_TRUE(guardedheap::IsFreedMemory(c));
            guardedheap::Enable(false);
            // The form and its other control go on working.
            Click(CentreOf(other));
            EXPECT_TRUE(other->Focused());
        }
    }
    testinput::MouseTo(POINT{0, 0});
}

}  // namespace selffreeing
