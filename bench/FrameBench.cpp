// A form's frame under the skin provider against the system's frame: a full
// frame repaint, a caption change and a caption drag of 100 moves, each as a
// ratio from one run.
#include "BenchTimer.h"
#include "Forms.h"
#include "sSkinManager.h"
#include "sSkinProvider.h"

#include <cstdio>

namespace {

TForm* MakeForm(bool Skinned) {
    TForm* form = TObject::Create<TForm>(nullptr);
    form->SetBounds(40, 40, 640, 480);
    form->SetCaption("A form with a frame");
    if (Skinned) TObject::Create<TsSkinProvider>(form);
    form->Show();
    Application->ProcessMessages();
    return form;
}

// The whole non-client area rebuilt and painted (the skinned frame's image is
// made again, not copied from its cache).
double FrameTime(TForm* form) {
    TsSkinProvider* p = ProviderOf(form);
    return BestMicroseconds(20, [form, p] {
        if (p) p->SkinData()->BGChanged = true;
        RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
        GdiFlush();
    });
}

// A caption change: the title painted again (over the kept frame image where
// the skin keeps one).
double CaptionTime(TForm* form) {
    int i = 0;
    return BestMicroseconds(20, [form, &i] {
        SetWindowTextA(form->Handle(), ++i % 2 ? "Another caption of the form" : "A form with a frame");
        GdiFlush();
    });
}

// What the system's move loop does while the caption is dragged: 100 moves of
// a few pixels, each followed by the paints it causes.
double DragTime(TForm* form) {
    return BestMicroseconds(5, [form] {
        for (int i = 0; i < 100; ++i) {
            SetWindowPos(form->Handle(), nullptr, 40 + (i % 50) * 3, 40 + (i % 25) * 2, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            Application->ProcessMessages();
        }
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
    TForm* skinned = MakeForm(true);
    const double skinnedFrame = FrameTime(skinned), skinnedDrag = DragTime(skinned);
    const double skinnedCaption = CaptionTime(skinned);
    skinned->Free();
    manager->SetActive(false);
    TForm* plain = MakeForm(false);
    const double plainFrame = FrameTime(plain), plainDrag = DragTime(plain);
    const double plainCaption = CaptionTime(plain);
    plain->Free();
    manager->Free();

    std::printf("full frame repaint, skinned (Light): %10.0f us\n", skinnedFrame);
    std::printf("full frame repaint, system frame:    %10.0f us\n", plainFrame);
    std::printf("ratio skinned / system:              %10.2f\n", plainFrame > 0 ? skinnedFrame / plainFrame : 0.0);
    std::printf("caption drag of 100 moves, skinned:  %10.0f us\n", skinnedDrag);
    std::printf("caption drag of 100 moves, system:   %10.0f us\n", plainDrag);
    std::printf("ratio skinned / system:              %10.2f\n", plainDrag > 0 ? skinnedDrag / plainDrag : 0.0);
    std::printf("caption change, skinned:             %10.0f us\n", skinnedCaption);
    std::printf("caption change, system:              %10.0f us\n", plainCaption);
    std::printf("ratio skinned / system:              %10.2f\n",
                plainCaption > 0 ? skinnedCaption / plainCaption : 0.0);
    return 0;
}
