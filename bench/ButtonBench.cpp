// Painting a form of 100 push buttons: skinned (TsButton with the built-in
// "Light" skin) against the same form of plain TButtons, and the same form
// with labels, speed buttons and panels added, each as a ratio from one run.
#include "BenchTimer.h"
#include "Buttons.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "sButton.h"
#include "sLabel.h"
#include "sPanel.h"
#include "sSkinManager.h"
#include "sSpeedButton.h"

#include <cstdio>

namespace {

constexpr int kColumns = 10, kRows = 10;

constexpr int kPanels = 4, kPerPanel = 5;

template <typename T>
T* Put(TWinControl* parent, int left, int top, int width, int height) {
    T* c = TObject::Create<T>(parent);
    c->SetParent(parent);
    c->SetBounds(left, top, width, height);
    return c;
}

// Under the buttons: kPanels panels, each holding kPerPanel speed buttons
// and as many labels, with kPerPanel more labels on the form itself.
template <typename Panel, typename Speed, typename Label>
void AddOtherControls(TForm* form) {
    const int top = kRows * 32 + 16;
    for (int p = 0; p < kPanels; ++p) {
        auto* panel = Put<Panel>(form, 8 + p * 210, top, 200, 96);
        panel->SetCaption("");
        for (int i = 0; i < kPerPanel; ++i) {
            Put<Speed>(panel, 6 + i * 38, 8, 36, 28)->SetCaption("S" + std::to_string(i + 1));
            Put<Label>(panel, 6 + i * 38, 50, 36, 16)->SetCaption("L" + std::to_string(i + 1));
        }
    }
    for (int i = 0; i < kPerPanel; ++i)
        Put<Label>(form, 8 + i * 120, top + 104, 110, 16)->SetCaption("Form label " + std::to_string(i + 1));
}

template <typename T>
TForm* MakeForm(int left, void (*more)(TForm*) = nullptr) {
    TForm* form = TObject::Create<TForm>(nullptr);
    form->SetBounds(left, 10, kColumns * 84 + 24, kRows * 32 + 48 + (more ? 136 : 0));
    for (int i = 0; i < kColumns * kRows; ++i) {
        T* b = TObject::Create<T>(form);
        b->SetParent(form);
        b->SetBounds(8 + (i % kColumns) * 84, 8 + (i / kColumns) * 32, 80, 28);
        b->SetCaption("Button " + std::to_string(i + 1));
    }
    if (more) more(form);
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
    TForm* skinnedAll = MakeForm<TsButton>(10, AddOtherControls<TsPanel, TsSpeedButton, TsLabel>);
    const double skinnedAllUs = PaintTime(skinnedAll);
    skinnedAll->Free();

    manager->SetActive(false);
    TForm* plain = MakeForm<TButton>(10);
    const double plainUs = PaintTime(plain);
    plain->Free();
    TForm* plainAll = MakeForm<TButton>(10, AddOtherControls<TPanel, TSpeedButton, TLabel>);
    const double plainAllUs = PaintTime(plainAll);
    plainAll->Free();
    manager->Free();

    const int others = kPanels * (1 + 2 * kPerPanel) + kPerPanel;
    std::printf("100 buttons, skinned (TsButton, Light): %10.0f us per paint\n", skinnedUs);
    std::printf("100 buttons, plain (TButton):            %10.0f us per paint\n", plainUs);
    std::printf("ratio skinned / plain:                   %10.2f\n", plainUs > 0 ? skinnedUs / plainUs : 0.0);
    std::printf("100 buttons + %d panels, %d speed buttons, %d labels:\n", kPanels, kPanels * kPerPanel,
                kPanels * kPerPanel + kPerPanel);
    std::printf("  skinned (TsButton, TsPanel, TsSpeedButton, TsLabel): %10.0f us per paint\n", skinnedAllUs);
    std::printf("  plain (TButton, TPanel, TSpeedButton, TLabel):       %10.0f us per paint\n", plainAllUs);
    std::printf("  ratio skinned / plain:                               %10.2f\n",
                plainAllUs > 0 ? skinnedAllUs / plainAllUs : 0.0);
    std::printf("  (%d controls besides the buttons)\n", others);
    return 0;
}
