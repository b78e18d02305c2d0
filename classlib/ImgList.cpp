#include "ImgList.h"

#include "Scopes.h"

#include <algorithm>

#include <memory>

namespace {

const char* const SInvalidIndex = "Invalid image list index";
const char* const SInvalidImageSize = "Invalid image size";
const char* const SOutOfResources = "Out of system resources";

void InitCommonControlsOnce() {
    static const bool done = [] {
        INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
        return InitCommonControlsEx(&icc) != FALSE;
    }();
    (void)done;
}

// A monochrome copy of a mask bitmap: white pixels (transparent) give 1,
// everything else 0, whatever the mask's own canvas colours are.
HBITMAP MonoMaskOf(TBitmap* Mask) {
    Mask->Dormant();
    HBITMAP mono = CreateBitmap(Mask->Width(), Mask->Height(), 1, 1, nullptr);
    if (!mono) throw EClassLibError(SOutOfResources);
    const TMemoryDC src, dst;
    const TSelectedObject srcBitmap(src, Mask->Handle());
    const TSelectedObject dstBitmap(dst, mono);
    SetBkColor(src, RGB(255, 255, 255));
    BitBlt(dst, 0, 0, Mask->Width(), Mask->Height(), src, 0, 0, SRCCOPY);
    return mono;
}

}  // namespace

// clang-format off
CLASSLIB_DEFINE_CLASS(TCustomImageList, TComponent,
    OrdProp<TCustomImageList>("Height", TTypeKind::tkInteger, &TCustomImageList::Height, &TCustomImageList::SetHeight, 16),
    OrdProp<TCustomImageList>("Width", TTypeKind::tkInteger, &TCustomImageList::Width, &TCustomImageList::SetWidth, 16),
    OrdProp<TCustomImageList>("ColorDepth", TTypeKind::tkEnumeration, &TCustomImageList::ColorDepth,
                              &TCustomImageList::SetColorDepth, cd24Bit))
// clang-format on

CLASSLIB_DEFINE_CLASS(TImageList, TCustomImageList)

TCustomImageList::TCustomImageList(TComponent* AOwner) : TCustomImageList(AOwner, 16, 16) {}

TCustomImageList::TCustomImageList(TComponent* AOwner, int AWidth, int AHeight) : TComponent(AOwner) {
    if (AWidth < 1 || AHeight < 1 || AWidth > 32767 || AHeight > 32767) throw EClassLibError(SInvalidImageSize);
    FWidth = AWidth;
    FHeight = AHeight;
    InitCommonControlsOnce();
    CreateList();
}

TCustomImageList::~TCustomImageList() {
    // Those told unregister their change links: the list must still be whole.
    if (!ComponentState().Contains(csDestroying)) Destroying();
    NotifyFreeing();
    DestroyList();
}

void TCustomImageList::CreateList() {
    UINT flags = (FColorDepth == cd32Bit ? ILC_COLOR32 : ILC_COLOR24) | ILC_MASK;
    HIMAGELIST list = ImageList_Create(FWidth, FHeight, flags, 4, 4);
    if (!list) throw EClassLibError(SOutOfResources);
    DestroyList();
    FHandle = list;
}

void TCustomImageList::DestroyList() {
    if (FHandle) ImageList_Destroy(FHandle);
    FHandle = nullptr;
}

void TCustomImageList::Assign(TPersistent* Source) {
    if (auto* src = dynamic_cast<TCustomImageList*>(Source)) {
        if (src == this) return;
        HIMAGELIST copy = ImageList_Duplicate(src->FHandle);
        if (!copy) throw EClassLibError(SOutOfResources);
        DestroyList();
        FHandle = copy;
        FWidth = src->FWidth;
        FHeight = src->FHeight;
        FColorDepth = src->FColorDepth;
        Change();
        return;
    }
    TComponent::Assign(Source);
}

void TCustomImageList::SetSize(int AWidth, int AHeight) {
    if (AWidth == FWidth && AHeight == FHeight) return;
    if (AWidth < 1 || AHeight < 1 || AWidth > 32767 || AHeight > 32767) throw EClassLibError(SInvalidImageSize);
    int oldWidth = FWidth, oldHeight = FHeight;
    FWidth = AWidth;
    FHeight = AHeight;
    try {
        CreateList();
    } catch (...) {
        FWidth = oldWidth;
        FHeight = oldHeight;
        throw;
    }
    Change();
}

void TCustomImageList::SetColorDepth(TColorDepth Value) {
    if (Value != cd32Bit) Value = cd24Bit;
    if (Value == FColorDepth) return;
    TColorDepth old = FColorDepth;
    FColorDepth = Value;
    try {
        CreateList();
    } catch (...) {
        FColorDepth = old;
        throw;
    }
    Change();
}

int TCustomImageList::Count() const { return FHandle ? ImageList_GetImageCount(FHandle) : 0; }

int TCustomImageList::Add(TBitmap* Image, TBitmap* Mask) {
    if (!Image || Image->Empty()) return -1;
    HBITMAP mono = Mask && !Mask->Empty() ? MonoMaskOf(Mask) : nullptr;
    // The image list copies the pixels; the DIB must be selected in no DC meanwhile.
    Image->Dormant();
    int index = ImageList_Add(FHandle, Image->Handle(), mono);
    if (mono) DeleteObject(mono);
    if (index >= 0) Change();
    return index;
}

int TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor) {
    if (!Image || Image->Empty()) return -1;
    // ImageList_AddMasked blackens the transparent pixels of the bitmap it is given.
    TBitmap copy;
    copy.Assign(Image);
    copy.Dormant();
    int index = ImageList_AddMasked(FHandle, copy.Handle(), ColorToRGB(MaskColor) & 0xFFFFFF);
    if (index >= 0) Change();
    return index;
}

int TCustomImageList::AddIcon(TIcon* Image) {
    if (!Image || Image->Empty()) return -1;
    int index = ImageList_AddIcon(FHandle, Image->Handle());
    if (index >= 0) Change();
    return index;
}

void TCustomImageList::Delete(int Index) {
    if (Index < 0 || Index >= Count()) throw EClassLibError(SInvalidIndex);
    ImageList_Remove(FHandle, Index);
    Change();
}

void TCustomImageList::Clear() {
    ImageList_Remove(FHandle, -1);
    Change();
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled) {
    if (!Canvas || Index < 0 || Index >= Count()) return;
    HDC dc = Canvas->Handle();
    if (Enabled) {
        ImageList_Draw(FHandle, Index, dc, X, Y, ILD_TRANSPARENT);
        return;
    }
    // Disabled: the image's shape in light greys. The image is drawn on black
    // and on white: where the two differ the pixel is (mostly) transparent.
    // The mask then clears the shape on the target (AND) and the grey image,
    // black outside the shape, fills it (OR): the target is never read back.
    TBitmap shape(FWidth, FHeight, pf24bit);
    TBitmap mask(FWidth, FHeight, pf24bit);
    mask.Canvas()->Brush()->SetColor(clWhite);
    mask.Canvas()->FillRect(Rect(0, 0, FWidth, FHeight));
    ImageList_Draw(FHandle, Index, shape.Canvas()->Handle(), 0, 0, ILD_TRANSPARENT);
    ImageList_Draw(FHandle, Index, mask.Canvas()->Handle(), 0, 0, ILD_TRANSPARENT);
    for (int y = 0; y < FHeight; ++y) {
        auto* s = static_cast<std::uint8_t*>(shape.ScanLine(y));
        auto* m = static_cast<std::uint8_t*>(mask.ScanLine(y));
        for (int x = 0; x < FWidth; ++x, s += 3, m += 3) {
            int diff = (m[0] - s[0]) + (m[1] - s[1]) + (m[2] - s[2]);
            if (diff >= 3 * 128) {
                s[0] = s[1] = s[2] = 0;
                m[0] = m[1] = m[2] = 0xFF;
            } else {
                int luma = (s[2] * 77 + s[1] * 150 + s[0] * 29) >> 8;
                s[0] = s[1] = s[2] = static_cast<std::uint8_t>(96 + luma / 2);
                m[0] = m[1] = m[2] = 0;
            }
        }
    }
    BitBlt(dc, X, Y, FWidth, FHeight, mask.Canvas()->Handle(), 0, 0, SRCAND);
    BitBlt(dc, X, Y, FWidth, FHeight, shape.Canvas()->Handle(), 0, 0, SRCPAINT);
}

void TCustomImageList::GetBitmap(int Index, TBitmap* Image) {
    if (!Image) return;
    Image->SetSize(FWidth, FHeight);
    Image->Canvas()->FillRect(Rect(0, 0, FWidth, FHeight));
    if (Index >= 0 && Index < Count()) ImageList_Draw(FHandle, Index, Image->Canvas()->Handle(), 0, 0, ILD_TRANSPARENT);
}

void TCustomImageList::Change() {
    if (OnChange) OnChange(this);
    // A user may leave while it is told: each is looked up again.
    const auto links = FChangeLinks;
    for (const auto& link : links) {
        const bool still =
            std::any_of(FChangeLinks.begin(), FChangeLinks.end(), [&](const auto& l) { return l.first == link.first; });
        if (still && link.second) link.second(this);
    }
}

void TCustomImageList::RegisterChanges(const void* Who, TNotifyEvent Changed) {
    UnRegisterChanges(Who);
    FChangeLinks.emplace_back(Who, std::move(Changed));
}

void TCustomImageList::UnRegisterChanges(const void* Who) {
    FChangeLinks.erase(
        std::remove_if(FChangeLinks.begin(), FChangeLinks.end(), [Who](const auto& l) { return l.first == Who; }),
        FChangeLinks.end());
}
