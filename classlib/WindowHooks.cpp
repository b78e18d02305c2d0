#include "WindowHooks.h"

#include "Forms.h"

#include <array>
#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

WNDPROC GetWindowProcA(HWND Wnd) { return reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Wnd, GWLP_WNDPROC)); }

WNDPROC SetWindowProcA(HWND Wnd, WNDPROC Proc) {
    return reinterpret_cast<WNDPROC>(SetWindowLongPtrA(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Proc)));
}

LRESULT CallWindowProcMessageA(WNDPROC Proc, HWND Wnd, TMessage& Message) {
    Message.Result = Proc ? CallWindowProcA(Proc, Wnd, Message.Msg, Message.WParam, Message.LParam) : 0;
    return Message.Result;
}

// ---------------------------------------------------------------------------
// TWindowProcSubclass
//
// A window procedure cannot carry data, and one shared procedure could not
// tell its own entries apart in a chain that holds it twice. So each hook on a
// window takes one of a few distinct procedures (a slot) and keeps its state
// in a window property named after that slot.
//
// Every message of a hooked window needs its state, and a window property is
// a round trip to the window server under Wine: messages look it up in a
// table of this process instead. The property stays the proof that a window
// still carries the state: it dies with the window, while an entry of the
// table outlives a window that was destroyed behind our back, whose handle
// may come back for another window.

namespace {

constexpr int kSlots = 16;

ATOM SlotAtom(int Slot) {
    static ATOM atoms[kSlots] = {};
    if (!atoms[Slot]) {
        char name[32];
        wsprintfA(name, "ClassLibWndHook%d", Slot);
        atoms[Slot] = GlobalAddAtomA(name);
    }
    return atoms[Slot];
}

}  // namespace

struct TWindowProcSubclass::TState : std::enable_shared_from_this<TWindowProcSubclass::TState> {
    HWND Wnd = nullptr;
    WNDPROC Prev = nullptr;
    TWndMethod Method;
    int Slot = -1;
    bool Released = false;
    // Held while a released hook still sits in someone else's chain.
    std::shared_ptr<TState> Self;
};

namespace {

using TState = TWindowProcSubclass::TState;

// The states by window and slot (a window's procedure may run on any thread
// that owns windows, so the table is locked).
class TStateTable {
public:
    TState* Find(HWND Wnd, int Slot) {
        const std::lock_guard<std::mutex> lock(FLock);
        const auto it = FStates.find(Key(Wnd, Slot));
        return it == FStates.end() ? nullptr : it->second;
    }
    void Set(HWND Wnd, int Slot, TState* State) {
        const std::lock_guard<std::mutex> lock(FLock);
        FStates[Key(Wnd, Slot)] = State;
    }
    void Remove(HWND Wnd, int Slot, TState* State) {
        const std::lock_guard<std::mutex> lock(FLock);
        const auto it = FStates.find(Key(Wnd, Slot));
        if (it != FStates.end() && it->second == State) FStates.erase(it);
    }

private:
    static unsigned long long Key(HWND Wnd, int Slot) {
        return (static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(Wnd)) << 5) | unsigned(Slot);
    }
    std::mutex FLock;
    std::unordered_map<unsigned long long, TState*> FStates;
};

TStateTable& States() {
    static TStateTable table;
    return table;
}

// The state the window's property names: what attaching and releasing go by.
TState* StateOf(HWND Wnd, int Slot) { return static_cast<TState*>(GetPropA(Wnd, MAKEINTATOM(SlotAtom(Slot)))); }

void Forget(TState* State) {
    if (State->Wnd && StateOf(State->Wnd, State->Slot) == State)
        RemovePropA(State->Wnd, MAKEINTATOM(SlotAtom(State->Slot)));
    if (State->Wnd) States().Remove(State->Wnd, State->Slot, State);
    State->Wnd = nullptr;
    State->Self.reset();  // may free State
}

LRESULT Dispatch(int Slot, HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    // Only Attach puts a slot's procedure into a window's chain, and it sets
    // the table's entry first: the entry found here is this window's own.
    TState* raw = States().Find(Wnd, Slot);
    if (!raw) return DefWindowProcA(Wnd, Msg, WParam, LParam);
    // The handler may release (and so free) the hook while it runs.
    const std::shared_ptr<TState> state = raw->shared_from_this();
    TMessage message{Msg, WParam, LParam, 0};
    if (state->Released || !state->Method) {
        CallWindowProcMessageA(state->Prev, Wnd, message);
    } else {
        const TWndMethod method = state->Method;
        try {
            method(message);
        } catch (const std::exception& e) {
            Application->HandleException(nullptr, e);
        }
    }
    if (Msg == WM_NCDESTROY && state->Wnd == Wnd) Forget(state.get());
    return message.Result;
}

template <int Slot>
LRESULT CALLBACK SlotProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    return Dispatch(Slot, Wnd, Msg, WParam, LParam);
}

template <int... I>
constexpr std::array<WNDPROC, sizeof...(I)> MakeSlotProcs(std::integer_sequence<int, I...>) {
    return {&SlotProc<I>...};
}

const std::array<WNDPROC, kSlots> kSlotProcs = MakeSlotProcs(std::make_integer_sequence<int, kSlots>());

int SlotOfProc(WNDPROC Proc) {
    for (int i = 0; i < kSlots; ++i)
        if (kSlotProcs[std::size_t(i)] == Proc) return i;
    return -1;
}

// Takes out every released hook that the slot now shows first.
void Unwind(HWND Wnd) {
    for (int slot = SlotOfProc(GetWindowProcA(Wnd)); slot >= 0; slot = SlotOfProc(GetWindowProcA(Wnd))) {
        TState* s = StateOf(Wnd, slot);
        if (!s || !s->Released) return;
        SetWindowProcA(Wnd, s->Prev);
        Forget(s);
    }
}

}  // namespace

bool TWindowProcSubclass::Attach(HWND Wnd, TWndMethod Method) {
    if (FState || !IsWindow(Wnd)) return false;
    Unwind(Wnd);
    int slot = 0;
    while (slot < kSlots && StateOf(Wnd, slot)) ++slot;
    if (slot == kSlots) return false;
    auto state = std::make_shared<TState>();
    state->Wnd = Wnd;
    state->Slot = slot;
    state->Method = std::move(Method);
    state->Prev = GetWindowProcA(Wnd);
    SetPropA(Wnd, MAKEINTATOM(SlotAtom(slot)), state.get());
    States().Set(Wnd, slot, state.get());
    SetWindowProcA(Wnd, kSlotProcs[std::size_t(slot)]);
    FState = std::move(state);
    return true;
}

void TWindowProcSubclass::Release() {
    if (!FState) return;
    const std::shared_ptr<TState> state = std::move(FState);
    FState.reset();
    const HWND wnd = state->Wnd;
    if (!wnd || !IsWindow(wnd) || StateOf(wnd, state->Slot) != state.get()) {
        // The window went without telling us: its entry must not outlive the state.
        if (wnd) States().Remove(wnd, state->Slot, state.get());
        return;
    }
    state->Released = true;
    state->Method = nullptr;
    if (GetWindowProcA(wnd) == kSlotProcs[std::size_t(state->Slot)]) {
        SetWindowProcA(wnd, state->Prev);
        Forget(state.get());
        Unwind(wnd);
    } else {
        state->Self = state;
    }
}

HWND TWindowProcSubclass::Handle() const { return FState ? FState->Wnd : nullptr; }

WNDPROC TWindowProcSubclass::Previous() const { return FState ? FState->Prev : nullptr; }

void TWindowProcSubclass::CallPrevious(TMessage& Message) const {
    if (!FState || !FState->Wnd) {
        Message.Result = 0;
        return;
    }
    CallWindowProcMessageA(FState->Prev, FState->Wnd, Message);
}

// ---------------------------------------------------------------------------
// TWindowProcHook

struct TWindowProcHook::TState {
    TControl* Control = nullptr;
    TWndMethod Prev;
    TWndMethod Method;
    TWndMethod Installed;  // our entry, as the slot holds it
    bool Released = false;
};

namespace {

// Released hooks whose entry a later hook still calls, kept until the chain
// unwinds past them.
std::vector<std::shared_ptr<TWindowProcHook::TState>>& ChainedHooks() {
    static std::vector<std::shared_ptr<TWindowProcHook::TState>> list;
    return list;
}

void UnwindHooks(TControl* Control) {
    auto& list = ChainedHooks();
    for (bool found = true; found;) {
        found = false;
        for (auto it = list.begin(); it != list.end(); ++it)
            if ((*it)->Control == Control && Control->WindowProc == (*it)->Installed) {
                Control->WindowProc = (*it)->Prev;
                list.erase(it);
                found = true;
                break;
            }
    }
}

}  // namespace

bool TWindowProcHook::Attach(TControl* Control, TWndMethod Method) {
    if (FState || !Control) return false;
    UnwindHooks(Control);
    auto state = std::make_shared<TState>();
    state->Control = Control;
    state->Prev = Control->WindowProc;
    state->Method = std::move(Method);
    // The entry holds the state weakly: a chain that outlives the hook passes on.
    std::weak_ptr<TState> weak = state;
    TWndMethod prev = state->Prev;
    state->Installed = TWndMethod([weak, prev](TMessage& M) {
        const std::shared_ptr<TState> s = weak.lock();
        if (s && !s->Released && s->Method) {
            const TWndMethod method = s->Method;
            method(M);
        } else if (prev) {
            prev(M);
        }
    });
    Control->WindowProc = state->Installed;
    FState = std::move(state);
    return true;
}

void TWindowProcHook::Release() {
    if (!FState) return;
    const std::shared_ptr<TState> state = std::move(FState);
    FState.reset();
    state->Released = true;
    if (!state->Control) return;
    if (state->Control->WindowProc == state->Installed) {
        state->Control->WindowProc = state->Prev;
        UnwindHooks(state->Control);
    } else {
        ChainedHooks().push_back(state);
    }
}

TControl* TWindowProcHook::Control() const { return FState ? FState->Control : nullptr; }

void TWindowProcHook::CallPrevious(TMessage& Message) const {
    if (FState && FState->Prev) FState->Prev(Message);
}
