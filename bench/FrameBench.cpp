// A form's frame under the skin provider against the system's frame: a full
// repaint (frame and client), the frame alone, the client alone, a caption
// change and a caption drag of 100 moves.
#include "BenchSkin.h"
#include "Forms.h"
#include "sSkinManager.h"
#include "sSkinProvider.h"

#include <cstdio>
#include <string>

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

// The whole window rebuilt and painted (the skinned frame's image is made
// again, not copied from its cache); Flags choose the frame, the client or both.
double RepaintTime(const std::string& key, TForm* form, UINT Flags) {
    TsSkinProvider* p = ProviderOf(form);
    return Measure(key, 20, [form, p, Flags] {
        if (p) p->SkinData()->BGChanged = true;
        RedrawWindow(form->Handle(), nullptr, nullptr, Flags | RDW_UPDATENOW);
        GdiFlush();
    });
}

// The client alone, its picture still valid, as after an uncovering.
double ClientTime(const std::string& key, TForm* form) {
    return Measure(key, 20, [form] {
        RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        GdiFlush();
    });
}

// The frame alone, as the system asks for it.
double FrameOnlyTime(const std::string& key, TForm* form) {
    TsSkinProvider* p = ProviderOf(form);
    return Measure(key, 20, [form, p] {
        if (p) p->SkinData()->BGChanged = true;
        SendMessageA(form->Handle(), WM_NCPAINT, 1, 0);
        GdiFlush();
    });
}

// A caption change: the title painted again (over the kept frame image where
// the skin keeps one).
double CaptionTime(const std::string& key, TForm* form) {
    int i = 0;
    return Measure(key, 20, [form, &i] {
        SetWindowTextA(form->Handle(), ++i % 2 ? "Another caption of the form" : "A form with a frame");
        GdiFlush();
    });
}

// What the system's move loop does while the caption is dragged: 100 moves of
// a few pixels, each followed by the paints it causes.
double DragTime(const std::string& key, TForm* form) {
    return Measure(key, 5, [form] {
        for (int i = 0; i < 100; ++i) {
            SetWindowPos(form->Handle(), nullptr, 40 + (i % 50) * 3, 40 + (i % 25) * 2, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            Application->ProcessMessages();
        }
        GdiFlush();
    });
}

struct TFigures {
    double Full, Frame, Client, Drag, Caption;
};

TFigures Run(bool Skinned) {
    const std::string side = Skinned ? ".skinned" : ".plain";
    TForm* form = MakeForm(Skinned);
    TFigures f{};
    f.Full = RepaintTime("frame.full" + side, form, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    f.Frame = FrameOnlyTime("frame.only" + side, form);
    f.Client = ClientTime("frame.client" + side, form);
    f.Drag = DragTime("frame.drag" + side, form);
    f.Caption = CaptionTime("frame.caption" + side, form);
    form->Free();
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    TsSkinManager* manager = StartWithLightSkin(argc, argv);
    if (!manager) return 1;
    const TFigures s = Run(true);
    manager->SetActive(false);
    const TFigures p = Run(false);
    manager->Free();

    std::printf("a 640 x 480 form, us (skinned / system, ratio):\n");
    auto line = [](const char* what, const char* key, double a, double b, double goal) {
        const double r = ReportRatio(key, a, b, goal);
        std::printf("  %-40s %9.0f %9.0f  %5.2f%s\n", what, a, b, r, goal > 0 ? "" : "  (no goal)");
    };
    line("full repaint, frame and client (goal 1.10)", "frame.full", s.Full, p.Full, 1.10);
    line("the frame alone", "frame.only", s.Frame, p.Frame, 0);
    line("the client alone", "frame.client", s.Client, p.Client, 0);
    line("caption drag of 100 moves (goal 1.10)", "frame.drag", s.Drag, p.Drag, 1.10);
    line("caption change", "frame.caption", s.Caption, p.Caption, 0);
    return 0;
}
