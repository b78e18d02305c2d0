// The cost of one message through the class library: SendMessage to a plain
// windowed control and back (the library finds the control of the window on
// every message), and a WM_PAINT of a form of 100 plain buttons.
#include "BenchTimer.h"

#include "Forms.h"
#include "StdCtrls.h"

#include <cstdio>

int main() {
    Application->Initialize();
    TForm* form = nullptr;
    Application->CreateForm(form);
    form->SetBounds(0, 0, 800, 600);
    std::vector<TButton*> buttons;
    for (int i = 0; i < 100; ++i) {
        auto* b = TObject::Create<TButton>(form);
        b->SetParent(form);
        b->SetBounds(8 + (i % 10) * 78, 8 + (i / 10) * 56, 72, 48);
        b->SetCaption("Button");
        buttons.push_back(b);
    }
    form->Show();
    HWND target = buttons[0]->Handle();
    constexpr int Messages = 20000;
    double send = BestMicroseconds(5, [&] {
        for (int i = 0; i < Messages; ++i) SendMessageA(target, WM_NULL, 0, 0);
    });
    double paint = BestMicroseconds(5, [&] {
        for (TButton* b : buttons) {
            InvalidateRect(b->Handle(), nullptr, TRUE);
            UpdateWindow(b->Handle());
        }
    });
    std::printf("message round trip: %.3f us\n", send / Messages);
    std::printf("100 plain buttons repainted: %.0f us\n", paint);
    form->Free();
    return 0;
}
