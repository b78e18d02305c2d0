// Painting a form of 100 push buttons: skinned (TsButton with the built-in
// "Light" skin) against the same form of plain TButtons, as a ratio from one run.
#include "BenchTimer.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "sButton.h"
#include "sSkinManager.h"

#include <cstdio>

namespace {

constexpr int kColumns = 10, kRows = 10;

template <typename T>
TForm* MakeForm(int left) {
    TForm* form = TObject::Create<TForm>(nullptr);
    form->SetBounds(left, 10, kColumns * 84 + 24, kRows * 32 + 48);
    for (int i = 0; i < kColumns * kRows; ++i) {
        T* b = TObject::Create<T>(form);
        b->SetParent(form);
        b->SetBounds(8 + (i % kColumns) * 84, 8 + (i / kColumns) * 32, 80, 28);
        b->SetCaption("Button " + std::to_string(i + 1));
    }
    form->Show();
    Application->ProcessMessages();
    return form;
}

// Every button invalidated and painted at once, as after an uncovering.
double PaintTime(TForm* form) {
    return BestMicroseconds(20, [form] {
        RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        GdiFlush();
    });
}

}  // namespace

int main() {
    Application->Initialize();
    TsSkinManager* manager = TObject::Create<TsSkinManager>(nullptr);
    if (!manager->LoadSkin("Light")) {
        std::printf("the built-in skin \"Light\" did not load: %s\n", manager->LastError().c_str());
        return 1;
    }
    TForm* skinned = MakeForm<TsButton>(10);
    const double skinnedUs = PaintTime(skinned);
    skinned->Free();

    manager->SetActive(false);
    TForm* plain = MakeForm<TButton>(10);
    const double plainUs = PaintTime(plain);
    plain->Free();
    manager->Free();

    std::printf("100 buttons, skinned (TsButton, Light): %10.0f us per paint\n", skinnedUs);
    std::printf("100 buttons, plain (TButton):            %10.0f us per paint\n", plainUs);
    std::printf("ratio skinned / plain:                   %10.2f\n", plainUs > 0 ? skinnedUs / plainUs : 0.0);
    return 0;
}
