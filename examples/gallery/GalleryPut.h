// Placing a control of the gallery: made, owned and parented by Parent.
#pragma once

#include "Controls.h"

template <typename T>
T* Put(TWinControl* Parent, int Left, int Top, int Width, int Height) {
    T* c = TObject::Create<T>(Parent);
    c->SetParent(Parent);
    c->SetBounds(Left, Top, Width, Height);
    return c;
}
