// The gallery: one form showing the library's skinned controls over the
// plain ones, with a skin switch.
//   gallery [--skin Light|Dark] [--screenshot FILE.bmp] [--mdi]
// --skin chooses the skin to start with (a built-in name, a skin folder or a
// packed file); "Light" by default. With --screenshot it paints, copies its
// window from the screen into a 24-bit BMP and exits. --mdi shows the MDI
// example instead: a skinned frame with two documents merging their menus.
#include <windows.h>

#include "Buttons.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "GalleryEditRow.h"
#include "StdCtrlsLists.h"
#include "GalleryHandleRow.h"
#include "GalleryMenus.h"
#include "GalleryMDI.h"
#include "sSkinProvider.h"
#include "GalleryRows.h"
#include "GalleryRange.h"
#include "GalleryChecks.h"
#include "GalleryLists.h"
#include "GalleryPages.h"
#include "GalleryPut.h"
#include "GalleryDialogs.h"
#include "sButton.h"
#include "sSkinManager.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

bool SaveWindowShot(HWND wnd, const std::string& path) {
    RECT r;
    GetWindowRect(wnd, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP dib = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (dib) {
        HGDIOBJ old = SelectObject(mem, dib);
        BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
        GdiFlush();
        const DWORD size = static_cast<DWORD>((w * 3 + 3) & ~3) * h;
        BITMAPFILEHEADER fh{};
        fh.bfType = 0x4D42;
        fh.bfOffBits = sizeof(fh) + sizeof(BITMAPINFOHEADER);
        fh.bfSize = fh.bfOffBits + size;
        if (FILE* f = std::fopen(path.c_str(), "wb")) {
            ok = std::fwrite(&fh, sizeof fh, 1, f) == 1 && std::fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f) == 1 &&
                 std::fwrite(bits, size, 1, f) == 1;
            ok = std::fclose(f) == 0 && ok;
        }
        SelectObject(mem, old);
        DeleteObject(dib);
    }
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return ok;
}

// A 16 x 16 glyph: a shape in one colour on a fuchsia (transparent) ground.
void DrawGlyph(TBitmap* glyph, TColor color, int shape) {
    glyph->SetSize(16, 16);
    TCanvas* c = glyph->Canvas();
    c->Brush()->SetColor(clFuchsia);
    c->FillRect(Rect(0, 0, 16, 16));
    c->Brush()->SetColor(color);
    c->Pen()->SetColor(clBlack);
    switch (shape) {
        case 0: c->Ellipse(2, 2, 14, 14); break;
        case 1: c->Rectangle(2, 2, 14, 14); break;
        default: c->Polygon({Point(8, 1), Point(14, 14), Point(2, 14)}); break;
    }
}

// The form and the labels on it follow the skin's global colours.
void FollowSkin(TForm* form, TsSkinManager* manager, TsButton* switcher) {
    form->SetColor(manager->Active() ? GlobalSkinColor(manager) : clBtnFace);
    const TColor font = manager->Active() ? GlobalFontColor(manager) : clWindowText;
    for (int i = 0; i < form->ControlCount(); ++i)
        if (auto* label = dynamic_cast<TLabel*>(form->Controls(i)))
            label->Font()->SetColor(font == acNoColor ? clWindowText : font);
        else if (auto* flat = dynamic_cast<TSpeedButton*>(form->Controls(i)); flat && flat->Flat())
            flat->Font()->SetColor(font == acNoColor ? clBtnText : font);  // no face of its own: over the form
    const bool dark = manager->Active() && manager->SkinName() == "Dark";
    if (switcher) switcher->SetCaption(dark ? "Light skin" : "Dark skin");
    // The skinned controls blend with the form's colour, which changed after
    // they were repainted for the new skin: paint them again over it.
    if (form->HandleAllocated()) {
        for (int i = 0; i < form->ControlCount(); ++i)
            if (auto* b = dynamic_cast<TsButton*>(form->Controls(i))) b->SkinData()->BGChanged = true;
        RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
}

void BuildSkinnedRow(TForm* form, TsSkinManager* manager, TLabel* status) {
    auto* title = Put<TLabel>(form, 16, 12, 0, 0);
    title->Font()->SetHeight(-18);
    title->Font()->SetStyle(TFontStyles{fsBold});
    title->SetCaption("Skinned buttons");

    auto* switcher = Put<TsButton>(form, 660, 10, 110, 28);
    switcher->SetName("SkinSwitch");
    switcher->OnClick = [form, manager, switcher](TObject*) {
        const bool dark = manager->Active() && manager->SkinName() == "Dark";
        manager->SetSkinName(dark ? "Light" : "Dark");
        FollowSkin(form, manager, switcher);
    };

    auto* normal = Put<TsButton>(form, 16, 48, 100, 30);
    normal->SetName("Normal");
    normal->SetCaption("Normal");
    auto* def = Put<TsButton>(form, 124, 48, 100, 30);
    def->SetName("DefaultButton");
    def->SetCaption("Default");
    def->SetDefault(true);
    auto* disabled = Put<TsButton>(form, 232, 48, 100, 30);
    disabled->SetCaption("Disabled");
    disabled->SetEnabled(false);
    auto* down = Put<TsButton>(form, 340, 48, 100, 30);
    down->SetCaption("Down");
    down->SetDown(true);
    auto* wrapped = Put<TsButton>(form, 448, 48, 90, 44);
    wrapped->SetCaption("A caption wrapped at words");
    auto* big = Put<TsButton>(form, 546, 48, 104, 44);
    big->SetCaption("Big section");
    big->SkinData()->SetSkinSection("BUTTON_BIG");
    big->Font()->SetHeight(-15);
    big->Font()->SetStyle(TFontStyles{fsBold});

    for (TsButton* b : {normal, def, wrapped, big, down})
        b->OnClick = [status, b](TObject*) { status->SetCaption(b->Caption() + " clicked"); };
    status->SetCaption("Press a button");
    FollowSkin(form, manager, switcher);
}

void BuildForm(TForm* form, TsSkinManager* manager) {
    form->SetCaption("Skin gallery");
    // Two columns: the skinned controls of the library on the left, the
    // windows skinned by handle and the larger controls on the right.
    form->SetBounds(20, 4, 1240, 1000);

    auto* status = Put<TLabel>(form, 16, 100, 0, 0);
    BuildSkinnedRow(form, manager, status);

    auto* roadTitle = Put<TLabel>(form, 16, 124, 0, 0);
    roadTitle->Font()->SetHeight(-18);
    roadTitle->Font()->SetStyle(TFontStyles{fsBold});
    roadTitle->SetCaption("Skinned labels, speed buttons and panels");
    AddControlRows(form, 160);

    const int y0 = 384;
    auto* title = Put<TLabel>(form, 16, y0 + 4, 0, 0);
    title->Font()->SetHeight(-18);
    title->Font()->SetStyle(TFontStyles{fsBold});
    title->SetCaption("Standard controls, skinned by class name");

    // Push buttons: Enter clicks OK, Escape clicks Cancel.
    auto* ok = Put<TButton>(form, 16, y0 + 36, 90, 28);
    ok->SetCaption("OK");
    auto* cancel = Put<TButton>(form, 114, y0 + 36, 90, 28);
    cancel->SetCaption("Cancel");
    cancel->SetCancel(true);
    ok->OnClick = [status](TObject*) { status->SetCaption("OK clicked"); };
    cancel->OnClick = [status](TObject*) { status->SetCaption("Cancel clicked"); };

    auto* nameLabel = Put<TLabel>(form, 220, y0 + 42, 0, 0);
    nameLabel->SetCaption("&Name:");
    auto* name = Put<TEdit>(form, 274, y0 + 38, 180, 23);
    name->SetText("Edit me");
    nameLabel->SetFocusControl(name);

    // Speed buttons: a group of three with glyphs, one of them down, and a
    // flat one with a caption under its glyph.
    const TColor colors[] = {clRed, clLime, clBlue};
    const char* captions[] = {"Left", "Mid", "Right"};
    for (int i = 0; i < 3; ++i) {
        auto* sb = Put<TSpeedButton>(form, 16 + i * 74, y0 + 80, 72, 28);
        TBitmap glyph;
        DrawGlyph(&glyph, colors[i], i);
        sb->SetGlyph(&glyph);
        sb->SetCaption(captions[i]);
        sb->SetGroupIndex(1);
        if (i == 1) sb->SetDown(true);
    }
    auto* flat = Put<TSpeedButton>(form, 250, y0 + 72, 60, 44);
    TBitmap glyph;
    DrawGlyph(&glyph, clYellow, 0);
    flat->SetGlyph(&glyph);
    flat->SetLayout(blGlyphTop);
    flat->SetCaption("Flat");
    flat->SetFlat(true);
    // An adapter skins windows: the class library's speed buttons have none.
    auto* windowless = Put<TLabel>(form, 318, y0 + 88, 0, 0);
    windowless->SetCaption("(windowless: own look)");

    AddHandleSkinnedRow(form, manager, 470, y0 + 14);

    // A panel with bevels, a caption and children aligned inside its frame.
    auto* panel = Put<TPanel>(form, 16, y0 + 126, 754, 160);
    panel->SetBevelInner(bvLowered);
    panel->SetBevelWidth(2);
    panel->SetBorderWidth(4);
    panel->SetCaption("A panel");
    auto* top = Put<TPanel>(panel, 0, 0, 0, 40);
    top->SetAlign(alTop);
    top->SetBevelOuter(bvLowered);
    top->SetAlignment(taLeftJustify);
    top->SetCaption("  Aligned to the top");
    auto* inner = Put<TButton>(panel, 300, 62, 160, 32);
    inner->SetCaption("Button in the panel");
    auto* note = Put<TLabel>(panel, 24, 120, 0, 0);
    note->SetCaption("A transparent label over the panel");
    note->SetTransparent(true);
    auto* list = Put<TListBox>(panel, 520, 52, 180, 76);
    for (const char* item : {"First item", "Second item", "Third item", "Fourth item", "Fifth item"})
        list->Items()->Add(item);
    AddRangeRow(form, 682);
    AddEditRow(form, 790, 16);
    AddPagesRow(form, 790, 730);
    FollowSkin(form, manager, dynamic_cast<TsButton*>(form->FindComponent("SkinSwitch")));
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    std::string screenshot;
    std::string skin = "Light";
    bool mdi = false;
    for (int i = 1; i < __argc; ++i) {
        if (std::strcmp(__argv[i], "--screenshot") == 0 && i + 1 < __argc) screenshot = __argv[++i];
        else if (std::strcmp(__argv[i], "--skin") == 0 && i + 1 < __argc) skin = __argv[++i];
        else if (std::strcmp(__argv[i], "--mdi") == 0) mdi = true;
    }

    Application->Initialize();
    TForm* form = nullptr;
    Application->CreateForm(form);
    // The manager first, so that the controls are made with the skin active.
    auto* manager = TObject::Create<TsSkinManager>(form);
    if (mdi) {
        manager->SetSkinName(skin.c_str());
        BuildMDIExample(form);
        Application->Run();
        return 0;
    }
    AddGalleryMenus(form);  // before the skin, which makes them owner-drawn
    // The form's frame, title bar and system menu (with the skin list) in the skin's look.
    TObject::Create<TsSkinProvider>(form)->MakeSkinMenu = true;
    manager->SetSkinName(skin.c_str());
    BuildForm(form, manager);
    AddCheckRow(form, 752);
    AddDialogButtons(form, 790, 900);
    AddListRow(form, 790, 214);

    if (!screenshot.empty()) {
        form->Show();
        // Let every pending paint reach the screen before copying it.
        DWORD end = GetTickCount() + 700;
        while (static_cast<int>(end - GetTickCount()) > 0) {
            Application->ProcessMessages();
            Sleep(10);
        }
        bool ok = SaveWindowShot(form->Handle(), screenshot);
        return ok ? 0 : 1;
    }
    Application->Run();
    return 0;
}
