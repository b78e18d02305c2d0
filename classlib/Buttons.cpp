#include "Buttons.h"

#include "Scopes.h"
#include "ActnList.h"
#include "Forms.h"
#include "ImgList.h"

#include <algorithm>
#include <vector>

// clang-format off
CLASSLIB_DEFINE_CLASS(TSpeedButton, TGraphicControl,
    OrdProp<TSpeedButton>("AllowAllUp", TTypeKind::tkBool, &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp, 0),
    OrdProp<TSpeedButton>("GroupIndex", TTypeKind::tkInteger, &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex,
                          0),
    OrdProp<TSpeedButton>("Down", TTypeKind::tkBool, &TSpeedButton::Down, &TSpeedButton::SetDown, 0),
    OrdProp<TSpeedButton>("Flat", TTypeKind::tkBool, &TSpeedButton::Flat, &TSpeedButton::SetFlat, 0),
    ObjProp<TSpeedButton, TBitmap>("Glyph", &TSpeedButton::Glyph, &TSpeedButton::SetGlyph),
    OrdProp<TSpeedButton>("Layout", TTypeKind::tkEnumeration, &TSpeedButton::Layout, &TSpeedButton::SetLayout,
                          blGlyphLeft),
    OrdProp<TSpeedButton>("Margin", TTypeKind::tkInteger, &TSpeedButton::Margin, &TSpeedButton::SetMargin, -1),
    OrdProp<TSpeedButton>("NumGlyphs", TTypeKind::tkInteger, &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs, 1),
    OrdProp<TSpeedButton>("Spacing", TTypeKind::tkInteger, &TSpeedButton::Spacing, &TSpeedButton::SetSpacing, 4),
    OrdProp<TSpeedButton>("Transparent", TTypeKind::tkBool, &TSpeedButton::Transparent,
                          &TSpeedButton::SetTransparent, 1),
    OrdProp<TControl>("ParentColor", TTypeKind::tkBool, &TControl::ParentColor, &TControl::SetParentColor, 0))
// clang-format on

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner) {
    FControlStyle = TControlStyle{csCaptureMouse, csDoubleClicks};
    FWidth = 23;
    FHeight = 22;
    FColor = clBtnFace;
    FParentColor = false;
    FGlyph = new TBitmap();
    FGlyph->OnChange = [this](TObject* Sender) { GlyphChanged(Sender); };
}

TSpeedButton::~TSpeedButton() {
    delete FGlyph;
    FGlyph = nullptr;
}

// --- Properties ----------------------------------------------------------------

void TSpeedButton::SetGlyph(TBitmap* Value) {
    FGlyph->Assign(Value);
    // A strip of square pictures says how many it holds.
    int w = FGlyph->Width(), h = FGlyph->Height();
    if (h > 0 && w % h == 0) {
        int n = w / h;
        SetNumGlyphs(n >= 1 && n <= 4 ? n : 1);
    }
}

void TSpeedButton::GlyphChanged(TObject*) { Invalidate(); }

void TSpeedButton::SetNumGlyphs(TNumGlyphs Value) {
    if (Value < 1) Value = 1;
    if (Value > 4) Value = 4;
    if (FNumGlyphs == Value) return;
    FNumGlyphs = Value;
    Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout Value) {
    if (FLayout == Value) return;
    FLayout = Value;
    Invalidate();
}

void TSpeedButton::SetSpacing(int Value) {
    if (FSpacing == Value) return;
    FSpacing = Value;
    Invalidate();
}

void TSpeedButton::SetMargin(int Value) {
    if (Value < -1) Value = -1;
    if (FMargin == Value) return;
    FMargin = Value;
    Invalidate();
}

void TSpeedButton::SetDown(bool Value) {
    if (FGroupIndex == 0) Value = false;
    if (Value == FDown) return;
    // The one down button of a group that may not be all up stays down.
    if (FDown && !FAllowAllUp) return;
    FDown = Value;
    if (Value) {
        if (FState == bsUp) Invalidate();
        FState = bsExclusive;
        UpdateExclusive();
    } else {
        FState = bsUp;
        Repaint();
    }
}

void TSpeedButton::SetGroupIndex(int Value) {
    if (FGroupIndex == Value) return;
    FGroupIndex = Value;
    UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool Value) {
    if (FAllowAllUp == Value) return;
    FAllowAllUp = Value;
    UpdateExclusive();
}

void TSpeedButton::SetFlat(bool Value) {
    if (FFlat == Value) return;
    FFlat = Value;
    Invalidate();
}

void TSpeedButton::SetTransparent(bool Value) {
    if (FTransparent == Value) return;
    FTransparent = Value;
    if (Value) FControlStyle.Exclude(csOpaque);
    else FControlStyle.Include(csOpaque);
    Invalidate();
}

// --- Groups ----------------------------------------------------------------------

void TSpeedButton::UpdateExclusive() {
    if (FGroupIndex == 0 || !FParent) return;
    TMessage message{CM_BUTTONPRESSED, static_cast<WPARAM>(FGroupIndex),
                     reinterpret_cast<LPARAM>(static_cast<TControl*>(this)), 0};
    FParent->Broadcast(message);
}

void TSpeedButton::ButtonPressed(TMessage& Message) {
    if (static_cast<int>(Message.WParam) != FGroupIndex) return;
    auto* sender = dynamic_cast<TSpeedButton*>(reinterpret_cast<TControl*>(Message.LParam));
    if (!sender || sender == this) return;
    if (sender->FDown && FDown) {
        FDown = false;
        FState = bsUp;
        if (auto* action = dynamic_cast<TCustomAction*>(Action())) action->SetChecked(false);
        Invalidate();
    }
    FAllowAllUp = sender->FAllowAllUp;
}

void TSpeedButton::ActionChange(TObject* Sender, bool CheckDefaults) {
    TGraphicControl::ActionChange(Sender, CheckDefaults);
    auto* action = dynamic_cast<TCustomAction*>(Sender);
    if (!action) return;
    TCustomImageList* images = action->Images();
    int index = action->ImageIndex();
    if ((!CheckDefaults || FGlyph->Empty()) && images && index >= 0 && index < images->Count()) {
        TBitmap picture;
        picture.SetSize(images->Width(), images->Height());
        picture.Canvas()->Brush()->SetColor(clFuchsia);
        picture.Canvas()->FillRect(Rect(0, 0, images->Width(), images->Height()));
        images->Draw(picture.Canvas(), 0, 0, index);
        picture.SetTransparentColor(clFuchsia);
        SetGlyph(&picture);
    }
    if (!CheckDefaults || FGroupIndex == 0) SetGroupIndex(action->GroupIndex());
    if (!CheckDefaults || !FDown) SetDown(action->Checked());
}

// --- Mouse -----------------------------------------------------------------------

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const std::shared_ptr<const bool> live = Alive();
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    if (!*live || Button != mbLeft || !Enabled()) return;
    if (!FDown) {
        FState = bsDown;
        Invalidate();
    }
    FDragging = true;
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
    const std::shared_ptr<const bool> live = Alive();
    TGraphicControl::MouseMove(Shift, X, Y);
    if (!*live || !FDragging) return;
    // Dragged off the button, it looks released; back on, pressed again.
    bool inside = X >= 0 && X < FWidth && Y >= 0 && Y < FHeight;
    TButtonState state = FDown ? bsExclusive : (inside ? bsDown : bsUp);
    if (state != FState) {
        FState = state;
        Invalidate();
    }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const std::shared_ptr<const bool> live = Alive();
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!*live || !FDragging || Button != mbLeft) return;
    FDragging = false;
    bool doClick = X >= 0 && X < FWidth && Y >= 0 && Y < FHeight;
    if (FGroupIndex == 0) {
        FState = bsUp;
        Invalidate();
    } else if (doClick) {
        SetDown(!FDown);
        if (FDown) Repaint();
    } else {
        FState = FDown ? bsExclusive : bsUp;
        Repaint();
    }
    if (doClick) Click();
}

void TSpeedButton::Dispatch(TMessage& Message) {
    bool own = Message.LParam == 0 || Message.LParam == reinterpret_cast<LPARAM>(static_cast<TControl*>(this));
    switch (Message.Msg) {
        case CM_BUTTONPRESSED: ButtonPressed(Message); return;
        case CM_MOUSEENTER:
            if (own && Enabled() && !FMouseInControl) {
                FMouseInControl = true;
                if (FFlat) Invalidate();
            }
            break;
        case CM_MOUSELEAVE:
            if (own && FMouseInControl) {
                FMouseInControl = false;
                if (FFlat) Invalidate();
            }
            break;
        case CM_ENABLEDCHANGED:
            if (!Enabled()) {
                FMouseInControl = false;
                FDragging = false;
            }
            break;
        case CM_TEXTCHANGED:
        case CM_SYSCOLORCHANGE: Invalidate(); return;
        case CM_DIALOGCHAR:
            if (IsAccel(Message.CharCode(), Caption()) && Enabled() && FVisible && FParent && FParent->Showing()) {
                Click();
                Message.Result = 1;
            }
            return;
        case WM_LBUTTONDBLCLK: {
            const std::shared_ptr<const bool> live = Alive();
            TGraphicControl::Dispatch(Message);
            if (*live && FDown) DblClick();
            return;
        }
    }
    TGraphicControl::Dispatch(Message);
}

// --- Painting --------------------------------------------------------------------

void CalcGlyphCaptionLayout(const TRect& Client, TSize GlyphSize, TSize TextSize, TButtonLayout Layout, int Margin,
                            int Spacing, TPoint& GlyphPos, TRect& TextRect) {
    const int cw = RectWidth(Client), ch = RectHeight(Client);
    const int gw = GlyphSize.cx, gh = GlyphSize.cy, tw = TextSize.cx, th = TextSize.cy;
    const bool horizontal = Layout == blGlyphLeft || Layout == blGlyphRight;
    // Across the layout's direction each part is centred on its own.
    TPoint g{0, 0}, t{0, 0};
    if (horizontal) {
        g.y = (ch - gh + 1) / 2;
        t.y = (ch - th + 1) / 2;
    } else {
        g.x = (cw - gw + 1) / 2;
        t.x = (cw - tw + 1) / 2;
    }
    // Along it: margin, glyph, spacing, caption.
    const int room = horizontal ? cw : ch;
    const int glyphSize = horizontal ? gw : gh;
    const int textSize = horizontal ? tw : th;
    int spacing = (tw == 0 || gw == 0) ? 0 : Spacing;
    int margin = Margin;
    if (margin == -1) {
        if (spacing == -1) {
            margin = (room - glyphSize - textSize) / 3;
            spacing = margin;
        } else {
            margin = (room - glyphSize - spacing - textSize + 1) / 2;
        }
    } else if (spacing == -1) {
        spacing = (room - margin - glyphSize - textSize) / 2;
    }
    LONG& glyphAt = horizontal ? g.x : g.y;
    LONG& textAt = horizontal ? t.x : t.y;
    if (Layout == blGlyphLeft || Layout == blGlyphTop) {
        glyphAt = margin;
        textAt = glyphAt + glyphSize + spacing;
    } else {
        glyphAt = room - margin - glyphSize;
        textAt = glyphAt - spacing - textSize;
    }
    GlyphPos = TPoint{Client.left + g.x, Client.top + g.y};
    TextRect = TRect{Client.left + t.x, Client.top + t.y, Client.left + t.x + tw, Client.top + t.y + th};
}

void TSpeedButton::CalcButtonLayout(const TRect& Client, const TPoint& Offset, TPoint& GlyphPos, TRect& TextBounds) {
    TSize glyph{0, 0};
    if (!FGlyph->Empty()) glyph = TSize{FGlyph->Width() / FNumGlyphs, FGlyph->Height()};
    String text = Caption();
    TRect measured{0, 0, 0, 0};
    if (!text.empty()) {
        measured = TRect{0, 0, RectWidth(Client), 0};
        Canvas()->SetFont(Font());
        Canvas()->TextRect(measured, text, static_cast<UINT>(DrawTextBiDiModeFlags(DT_CALCRECT)));
    }
    TRect shifted = Client;
    OffsetRect(&shifted, Offset.x, Offset.y);
    CalcGlyphCaptionLayout(shifted, glyph, TSize{RectWidth(measured), RectHeight(measured)}, FLayout, FMargin, FSpacing,
                           GlyphPos, TextBounds);
}

namespace {

// Fills R with the half-tone of a button held down.
void FillExclusivePattern(HDC DC, const TRect& R) {
    static const WORD bits[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    HBITMAP pattern = CreateBitmap(8, 8, 1, 1, bits);
    HBRUSH brush = CreatePatternBrush(pattern);
    COLORREF oldText = SetTextColor(DC, ColorToRGB(clBtnFace));
    COLORREF oldBk = SetBkColor(DC, ColorToRGB(clBtnHighlight));
    FillRect(DC, &R, brush);
    SetTextColor(DC, oldText);
    SetBkColor(DC, oldBk);
    DeleteObject(brush);
    DeleteObject(pattern);
}

}  // namespace

void TSpeedButton::DrawGlyph(int X, int Y, TButtonState AState) {
    if (FGlyph->Empty()) return;
    int w = FGlyph->Width() / FNumGlyphs, h = FGlyph->Height();
    if (w <= 0 || h <= 0) return;
    HDC dc = Canvas()->Handle();
    COLORREF key = ColorToRGB(FGlyph->TransparentColor());
    if (AState == bsDisabled && FNumGlyphs < 2) {
        // The shape of the up picture, engraved: a mask with the transparent
        // pixels white, blitted so that black takes the brush colour.
        int stride = ((w + 15) / 16) * 2;
        std::vector<BYTE> mask(static_cast<size_t>(stride) * h, 0);
        int bpp = FGlyph->PixelFormat() == pf32bit ? 4 : 3;
        for (int y = 0; y < h; ++y) {
            const auto* row = static_cast<const BYTE*>(FGlyph->ScanLine(y));
            for (int x = 0; x < w; ++x) {
                const BYTE* p = row + x * bpp;
                if (RGB(p[2], p[1], p[0]) == key) mask[static_cast<size_t>(y * stride + x / 8)] |= 0x80 >> (x % 8);
            }
        }
        HBITMAP mono = CreateBitmap(w, h, 1, 1, mask.data());
        {
            const TMemoryDC mdc(dc);
            const TSelectedObject monoSelected(mdc, mono);
            COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
            COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
            auto stamp = [&](int x, int y, TColor color) {
                HBRUSH brush = CreateSolidBrush(ColorToRGB(color));
                {
                    const TSelectedObject brushSelected(dc, brush);
                    BitBlt(dc, x, y, w, h, mdc, 0, 0, 0x00B8074A);  // PSDPxax: brush where the mask is black
                }
                DeleteObject(brush);
            };
            stamp(X + 1, Y + 1, clBtnHighlight);
            stamp(X, Y, clBtnShadow);
            SetTextColor(dc, oldText);
            SetBkColor(dc, oldBk);
        }
        DeleteObject(mono);
        return;
    }
    int index = static_cast<int>(AState);
    if (index >= FNumGlyphs) index = bsUp;
    TransparentBlt(dc, X, Y, w, h, FGlyph->Canvas()->Handle(), index * w, 0, w, h, key);
}

void TSpeedButton::DrawCaption(TRect Bounds, TButtonState AState) {
    String text = Caption();
    if (text.empty()) return;
    TCanvas* canvas = Canvas();
    canvas->SetFont(Font());
    canvas->Brush()->SetStyle(bsClear);
    auto flags = static_cast<UINT>(DrawTextBiDiModeFlags(DT_CENTER | DT_VCENTER));
    if (AState == bsDisabled) {
        OffsetRect(&Bounds, 1, 1);
        canvas->Font()->SetColor(clBtnHighlight);
        canvas->TextRect(Bounds, text, flags);
        OffsetRect(&Bounds, -1, -1);
        canvas->Font()->SetColor(clBtnShadow);
    }
    canvas->TextRect(Bounds, text, flags);
}

void TSpeedButton::Paint() {
    if (!Enabled()) {
        FState = bsDisabled;
        FDragging = false;
    } else if (FState == bsDisabled) {
        FState = FDown && FGroupIndex != 0 ? bsExclusive : bsUp;
    }
    TCanvas* canvas = Canvas();
    HDC dc = canvas->Handle();
    TRect r = ClientRect();
    bool pressed = FState == bsDown || FState == bsExclusive;
    if (!FFlat) {
        DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
        InflateRect(&r, -2, -2);
    } else {
        if (!FTransparent) {
            canvas->Brush()->SetStyle(bsSolid);
            canvas->Brush()->SetColor(FColor);
            canvas->FillRect(r);
        }
        if (pressed || (FMouseInControl && FState != bsDisabled) || FComponentState.Contains(csDesigning))
            DrawEdge(dc, &r, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
        InflateRect(&r, -1, -1);
    }
    TPoint offset{0, 0};
    if (pressed) {
        if (FState == bsExclusive && (!FFlat || !FMouseInControl)) FillExclusivePattern(dc, r);
        offset = TPoint{1, 1};
    }
    TPoint glyphPos;
    TRect textBounds;
    CalcButtonLayout(r, offset, glyphPos, textBounds);
    DrawGlyph(glyphPos.x, glyphPos.y, FState);
    DrawCaption(textBounds, FState);
}

// ---------------------------------------------------------------------------
// TBitBtn

// clang-format off
CLASSLIB_DEFINE_CLASS(TBitBtn, TButton,
    ObjProp<TBitBtn, TBitmap>("Glyph", &TBitBtn::Glyph, &TBitBtn::SetGlyph),
    OrdProp<TBitBtn>("Layout", TTypeKind::tkEnumeration, &TBitBtn::Layout, &TBitBtn::SetLayout, blGlyphLeft),
    OrdProp<TBitBtn>("Margin", TTypeKind::tkInteger, &TBitBtn::Margin, &TBitBtn::SetMargin, -1),
    OrdProp<TBitBtn>("NumGlyphs", TTypeKind::tkInteger, &TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs, 1),
    OrdProp<TBitBtn>("Spacing", TTypeKind::tkInteger, &TBitBtn::Spacing, &TBitBtn::SetSpacing, 4))
// clang-format on

TBitBtn::TBitBtn(TComponent* AOwner) : TButton(AOwner) {
    FGlyph = new TBitmap();
    FGlyph->OnChange = [this](TObject*) { Invalidate(); };
}

TBitBtn::~TBitBtn() {
    delete FGlyph;
    FGlyph = nullptr;
}

void TBitBtn::SetGlyph(TBitmap* Value) {
    FGlyph->Assign(Value);
    const int w = FGlyph->Width(), h = FGlyph->Height();
    if (h > 0 && w % h == 0 && w / h >= 1 && w / h <= 4) FNumGlyphs = w / h;
    Invalidate();
}

void TBitBtn::SetNumGlyphs(TNumGlyphs Value) {
    FNumGlyphs = std::max(1, std::min(4, Value));
    Invalidate();
}

void TBitBtn::SetLayout(TButtonLayout Value) {
    FLayout = Value;
    Invalidate();
}

void TBitBtn::SetMargin(int Value) {
    FMargin = std::max(-1, Value);
    Invalidate();
}

void TBitBtn::SetSpacing(int Value) {
    FSpacing = std::max(-1, Value);
    Invalidate();
}

void TBitBtn::CreateParams(TCreateParams& Params) {
    TButton::CreateParams(Params);
    Params.Style = (Params.Style & ~DWORD(BS_TYPEMASK)) | BS_OWNERDRAW;
}

void TBitBtn::Dispatch(TMessage& Message) {
    if (Message.Msg == CN_DRAWITEM) {
        DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam));
        Message.Result = 1;
        return;
    }
    TButton::Dispatch(Message);
}

void TBitBtn::DrawItem(const DRAWITEMSTRUCT& Item) {
    HDC dc = Item.hDC;
    TRect r = Item.rcItem;
    const bool down = (Item.itemState & ODS_SELECTED) != 0;
    const bool disabled = (Item.itemState & ODS_DISABLED) != 0;
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (down ? DFCS_PUSHED : 0));
    const int w = FGlyph->Empty() ? 0 : FGlyph->Width() / FNumGlyphs, h = FGlyph->Empty() ? 0 : FGlyph->Height();
    const String text = Caption();
    HGDIOBJ oldFont = SelectObject(dc, Font()->Handle());
    SIZE ts{0, 0};
    if (!text.empty()) GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &ts);
    TPoint gp{};
    TRect tr{};
    CalcGlyphCaptionLayout(r, TSize{w, h}, ts, FLayout, FMargin, FSpacing, gp, tr);
    const int shift = down ? 1 : 0;
    if (w > 0) {
        const int picture = disabled && FNumGlyphs > 1 ? 1 : down && FNumGlyphs > 2 ? 2 : 0;
        HDC src = FGlyph->Canvas()->Handle();
        TransparentBlt(dc, gp.x + shift, gp.y + shift, w, h, src, picture * w, 0, w, h,
                       ColorToRGB(FGlyph->TransparentColor()));
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(disabled ? clGrayText : Font()->Color()));
    OffsetRect(&tr, shift, shift);
    if (!text.empty()) DrawTextA(dc, text.c_str(), int(text.size()), &tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (Item.itemState & ODS_FOCUS) {
        TRect f = Item.rcItem;
        InflateRect(&f, -4, -4);
        DrawFocusRect(dc, &f);
    }
    SelectObject(dc, oldFont);
}
