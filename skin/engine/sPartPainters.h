// Painters of visual parts that several controls and adapters show alike: the
// caller works out what the part shows (caption, state, sort order) once and
// hands it here, so a part looks the same whoever owns the window.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "Controls.h"
#include "Graphics.h"
#include "sControlTypes.h"

class TsSkinManager;

// The order a column's sort mark shows; Ascending is the up mark, as the
// system header's HDF_SORTUP.
enum class TsSortMark { None, Ascending, Descending };

// One column header section: a column's, or the empty area right of the last
// one (Column false: the background alone).
struct TsHeaderSection {
    bool Column = true;
    String Caption;
    TAlignment Alignment = taLeftJustify;
    TsPaintState State = TsPaintState::Normal;
    TsSortMark Sort = TsSortMark::None;
    bool Enabled = true;
    // False leaves what DR already shows under the caption (an owner-drawn
    // header that asked for the text alone).
    bool Background = true;
    HFONT Font = nullptr;  // nil: the canvas's default font
    // The column's image, at the section's left.
    HIMAGELIST Images = nullptr;
    int ImageIndex = -1;
    // What see-through parts of the section show (clNone: painted opaque).
    TColor BackColor = clNone;
};

// The section "COLHEADER" of the skin, else "BUTTON" (-1 without either).
int HeaderSectionIndex(TsSkinManager* Manager, String& Name);
// Section into R of DC from Manager's skin: background, image, caption and
// sort mark (the skin's scroll-arrow glyph, else a small triangle).
void DrawHeaderSection(HDC DC, const TRect& R, const TsHeaderSection& Section, TsSkinManager* Manager);
