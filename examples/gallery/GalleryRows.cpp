#include "GalleryRows.h"

#include "GalleryPut.h"
#include "Menus.h"
#include "sButton.h"
#include "sLabel.h"
#include "sPanel.h"
#include "sSpeedButton.h"

namespace {

// A 16 x 16 glyph: a square of Color in a frame of its own darker shade, on
// a key-coloured ground.
void SetSquareGlyph(TsSpeedButton* b, TColor color) {
    TBitmap g(16, 16);
    g.Canvas()->Brush()->SetColor(clFuchsia);
    g.Canvas()->FillRect(TRect{0, 0, 16, 16});
    g.Canvas()->Brush()->SetColor(color);
    g.Canvas()->FillRect(TRect{2, 2, 14, 14});
    g.SetTransparentColor(clFuchsia);
    b->SetGlyph(&g);
    b->Glyph()->SetTransparentColor(clFuchsia);
}

TsSpeedButton* ToolButton(TWinControl* parent, int& x, int top, int width, const char* caption, TButtonLayout layout,
                          TColor glyph) {
    auto* b = Put<TsSpeedButton>(parent, x, top, width, 40);
    b->SetCaption(caption);
    b->SetLayout(layout);
    if (glyph != clNone) SetSquareGlyph(b, glyph);
    x += b->Width() + 4;
    return b;
}

}  // namespace

void AddControlRows(TWinControl* parent, int top) {
    // --- Labels of every kind --------------------------------------------
    int x = 16;
    auto* plain = Put<TsLabel>(parent, x, top, 10, 10);
    plain->SetAutoSize(true);
    plain->SetCaption("Skinned label");
    x += 120;
    auto* own = Put<TsLabel>(parent, x, top, 10, 10);
    own->SetAutoSize(true);
    own->SetUseSkinColor(false);
    own->Font()->SetColor(clRed);
    own->SetCaption("Own colour");
    x += 100;
    auto* section = Put<TsLabel>(parent, x, top - 3, 110, 22);
    section->SetAutoSize(false);  // the section fills the label's own bounds
    section->SetSkinSection("EDIT");
    section->SetAlignment(taCenter);
    section->SetLayout(tlCenter);
    section->SetCaption("On a section");
    x += 120;
    auto* off = Put<TsLabel>(parent, x, top, 10, 10);
    off->SetAutoSize(true);
    off->SetEnabled(false);
    off->SetCaption("Disabled");
    x += 90;
    auto* fx = Put<TsLabelFX>(parent, x, top - 4, 10, 10);
    fx->Font()->SetHeight(-16);
    fx->Font()->SetStyle(TFontStyles{fsBold});
    fx->SetAutoSize(true);
    fx->SetCaption("Shadow label");
    x += 140;
    auto* custom = Put<TsLabelFX>(parent, x, top - 4, 10, 10);
    custom->Font()->SetHeight(-16);
    custom->Shadow()->SetMode(smCustom);
    custom->Shadow()->SetColor(clNavy);
    custom->Shadow()->SetDistance(2);
    custom->Kind()->SetKindType(ktCustom);
    custom->Kind()->SetColor(clYellow);
    custom->SetAutoSize(true);
    custom->SetCaption("Custom shadow");

    // --- A toolbar of speed buttons ----------------------------------------
    top += 30;
    auto* bar = Put<TsPanel>(parent, 16, top, 754, 50);
    bar->SetCaption("");
    bar->SkinData()->SetSkinSection("PANEL_LOW");
    x = 5;
    const int y = 5;
    ToolButton(bar, x, y, 70, "Left", blGlyphLeft, clGreen);
    ToolButton(bar, x, y, 70, "Right", blGlyphRight, clBlue);
    ToolButton(bar, x, y, 56, "Top", blGlyphTop, clRed);
    ToolButton(bar, x, y, 56, "Bottom", blGlyphBottom, clTeal);
    auto* sep = ToolButton(bar, x, y, 8, "", blGlyphLeft, clNone);
    sep->SetButtonStyle(tbsSeparator);
    auto* menu = TObject::Create<TPopupMenu>(bar);
    for (const char* text : {"First", "Second", "Third"}) {
        auto* item = new TMenuItem(menu);
        item->SetCaption(text);
        menu->Items()->Add(item);
    }
    auto* drop = ToolButton(bar, x, y, 60, "Menu", blGlyphLeft, clPurple);
    drop->SetDropdownMenu(menu);
    drop->SetButtonStyle(tbsDropDown);  // 16 pixels wider: the arrow part
    x += 16;
    auto* divider = ToolButton(bar, x, y, 10, "", blGlyphLeft, clNone);
    divider->SetButtonStyle(tbsDivider);
    for (int i = 0; i < 3; ++i) {
        const char* names[] = {"One", "Two", "Three"};
        auto* g = ToolButton(bar, x, y, 56, names[i], blGlyphLeft, clNone);
        g->SetGroupIndex(1);
        if (i == 1) g->SetDown(true);
    }

    // --- Nested panels with buttons on them --------------------------------
    top += 60;
    auto* outer = Put<TsPanel>(parent, 16, top, 364, 120);
    outer->SetCaption("");
    auto* inner = Put<TsPanel>(outer, 10, 10, 220, 100);
    inner->SkinData()->SetSkinSection("PANEL_LOW");
    inner->SetAlignment(taLeftJustify);
    inner->SetCaption("");
    auto* b1 = Put<TsButton>(inner, 10, 10, 90, 28);
    b1->SetCaption("On a panel");
    auto* b2 = Put<TsSpeedButton>(inner, 110, 10, 90, 28);
    b2->SetCaption("Speed");
    auto* l = Put<TsLabel>(inner, 10, 60, 10, 10);
    l->SetAutoSize(true);
    l->SetCaption("Nested panels");
    auto* b3 = Put<TsButton>(outer, 240, 10, 110, 28);
    b3->SetCaption("Outer button");

    // --- A drag bar that moves the form ------------------------------------
    auto* dragHost = Put<TsPanel>(parent, 390, top, 380, 120);
    dragHost->SetCaption("");
    auto* drag = TObject::Create<TsDragBar>(dragHost);
    drag->SetParent(dragHost);  // aligned at the top of its host
    drag->SetCaption("Drag me to move the form");
    // No DraggedControl: the bar moves the form that holds it.
    auto* hint = Put<TsLabel>(dragHost, 16, 44, 10, 10);
    hint->SetAutoSize(true);
    hint->SetCaption("Hold the bar above and move the mouse:");
    auto* hint2 = Put<TsLabel>(dragHost, 16, 62, 10, 10);
    hint2->SetAutoSize(true);
    hint2->SetCaption("the whole form follows it.");
}
