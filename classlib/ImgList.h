// Image lists: rows of equally sized images on a comctl32 image list, drawn
// onto canvases normally or greyed for disabled controls.
#pragma once

#include <utility>
#include <vector>

#include "Graphics.h"

#include <commctrl.h>

enum TColorDepth { cdDeviceDependent, cd4Bit, cd8Bit, cd16Bit, cd24Bit, cd32Bit };

class TCustomImageList : public TComponent {
    CLASSLIB_DECLARE_CLASS(TCustomImageList)
public:
    // 16 x 16 images.
    explicit TCustomImageList(TComponent* AOwner);
    TCustomImageList(TComponent* AOwner, int AWidth, int AHeight);
    ~TCustomImageList() override;
    // Copies the images and the size of another image list.
    void Assign(TPersistent* Source) override;

    HIMAGELIST Handle() const { return FHandle; }
    bool HandleAllocated() const { return FHandle != nullptr; }

    // Changing the size or the depth empties the list.
    int Width() const { return FWidth; }
    void SetWidth(int Value) { SetSize(Value, FHeight); }
    int Height() const { return FHeight; }
    void SetHeight(int Value) { SetSize(FWidth, Value); }
    void SetSize(int AWidth, int AHeight);
    // cd32Bit keeps an alpha channel; anything else is stored as 24 bits.
    TColorDepth ColorDepth() const { return FColorDepth; }
    void SetColorDepth(TColorDepth Value);

    int Count() const;
    // Image holds one or more images side by side; Mask (white = transparent)
    // may be null. Returns the index of the first image added, -1 on failure.
    int Add(TBitmap* Image, TBitmap* Mask);
    // Pixels of MaskColor become transparent; Image itself is not changed.
    int AddMasked(TBitmap* Image, TColor MaskColor);
    int AddIcon(TIcon* Image);
    // Raises "Invalid image list index" for an index out of range.
    void Delete(int Index);
    void Clear();

    // Draws image Index with its mask; a disabled image is drawn as a light
    // grey shape. An index out of range draws nothing.
    void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true);
    // Image becomes Width x Height, filled with its canvas brush colour, and
    // receives image Index.
    void GetBitmap(int Index, TBitmap* Image);

    TNotifyEvent OnChange;
    // Every control that shows the list is told of each change (its handle
    // may be new after a change of size); Who leaves with UnRegisterChanges.
    void RegisterChanges(const void* Who, TNotifyEvent Changed);
    void UnRegisterChanges(const void* Who);

protected:
    virtual void Change();

private:
    void CreateList();
    void DestroyList();

    HIMAGELIST FHandle = nullptr;
    int FWidth = 16;
    int FHeight = 16;
    TColorDepth FColorDepth = cd24Bit;
    std::vector<std::pair<const void*, TNotifyEvent>> FChangeLinks;
};

class TImageList : public TCustomImageList {
    CLASSLIB_DECLARE_CLASS(TImageList)
public:
    using TCustomImageList::TCustomImageList;
};
