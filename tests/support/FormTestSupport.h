// Host forms for the tests that put real controls on real forms, the controls
// made on them, and message pumping through the application's loop.
#pragma once

#include "Controls.h"
#include "Forms.h"
#include "TestSupport.h"

#include <memory>

namespace formtest {

// Dispatches what is pending through the application's loop (so that key
// messages are previewed and reach the controls as CN_* first), the plain one
// for about ms milliseconds, and the application's loop again.
inline void Pump(int ms = 30) {
    Application->ProcessMessages();
    testsupport::PumpMessages(ms);
    Application->ProcessMessages();
}

// Forms are freed through Free(), never by delete.
struct FormDeleter {
    void operator()(TCustomForm* f) const {
        if (f) f->Free();
    }
};
using FormPtr = std::unique_ptr<TForm, FormDeleter>;

// A form that no component owns, at Left, Top with the given size; tests
// whose layout needs more room or another place say so.
inline FormPtr MakeForm(int Left = 40, int Top = 40, int Width = 320, int Height = 240) {
    FormPtr form(TObject::Create<TForm>(nullptr));
    // Tag -98 keeps the window-creation hook from giving the form a skin
    // provider: the tests' forms keep their own colour unless a test gives
    // them a provider (or another tag) itself.
    form->SetTag(-98);
    form->SetBounds(Left, Top, Width, Height);
    return form;
}

// A control owned by and placed on Parent.
template <typename T>
T* Make(TWinControl* Parent, int Left, int Top, int Width, int Height) {
    T* c = TObject::Create<T>(Parent);
    c->SetParent(Parent);
    c->SetBounds(Left, Top, Width, Height);
    return c;
}

}  // namespace formtest
