// The list view ("SysListView32") with its columns and items, and the tree
// view ("SysTreeView32") with its nodes. Columns, items and nodes are objects
// of ours, given to the window when it is made (again after RecreateWnd).
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "Controls.h"
#include "ImgList.h"
#include "Lists.h"
#include "StdCtrlsCombo.h"

#include <memory>
#include <vector>

class TCustomListView;
class TCustomTreeView;

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
CLASSLIB_ENUM_NAMES(TViewStyle, "vsIcon", "vsSmallIcon", "vsList", "vsReport")
// The arrow a column header shows for the order of its column.
enum TSortArrow { saNone, saUp, saDown };

class TListColumn {
public:
    TListColumn(TCustomListView* Owner, int Index) : FOwner(Owner), FIndex(Index) {}
    int Index() const { return FIndex; }
    String Caption() const { return FCaption; }
    void SetCaption(const String& Value);
    int Width() const;
    void SetWidth(int Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    TSortArrow SortArrow() const { return FSortArrow; }
    void SetSortArrow(TSortArrow Value);
    // Gives the column to the window (Insert: as a new one).
    void Apply(bool Insert) const;

private:
    TCustomListView* FOwner;
    int FIndex;
    String FCaption;
    int FWidth = 50;
    TAlignment FAlignment = taLeftJustify;
    int FImageIndex = -1;
    TSortArrow FSortArrow = saNone;
};

class TListColumns {
public:
    explicit TListColumns(TCustomListView* Owner) : FOwner(Owner) {}
    TListColumn* Add();
    int Count() const { return static_cast<int>(FItems.size()); }
    TListColumn* Items(int Index) const { return FItems.at(static_cast<size_t>(Index)).get(); }
    void Clear();

private:
    TCustomListView* FOwner;
    std::vector<std::unique_ptr<TListColumn>> FItems;
};

class TListItem {
public:
    TListItem(TCustomListView* Owner);
    String Caption() const { return FCaption; }
    void SetCaption(const String& Value);
    // The texts of the columns after the first; each change reaches the window.
    TStrings* SubItems() const { return FSubItems.get(); }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value) { FImageIndex = Value; }
    int Index() const;
    bool Selected() const;
    void SetSelected(bool Value);
    // Gives the item (text and sub-items) to the window at Index.
    void Apply(int Index, bool Insert) const;

private:
    TCustomListView* FOwner;
    String FCaption;
    std::unique_ptr<TStringList> FSubItems;
    int FImageIndex = -1;
};

class TListItems {
public:
    explicit TListItems(TCustomListView* Owner) : FOwner(Owner) {}
    TListItem* Add();
    int Count() const { return static_cast<int>(FItems.size()); }
    TListItem* Item(int Index) const { return FItems.at(static_cast<size_t>(Index)).get(); }
    int IndexOf(const TListItem* Item) const;
    void Delete(int Index);
    void Clear();
    // No repaint between the two (WM_SETREDRAW), nested.
    void BeginUpdate();
    void EndUpdate();

private:
    TCustomListView* FOwner;
    std::vector<std::unique_ptr<TListItem>> FItems;
    int FUpdateCount = 0;
};

enum TCustomDrawStage { cdPrePaint, cdPostPaint, cdPreErase, cdPostErase };
using TLVAdvancedCustomDrawEvent =
    std::function<void(TCustomListView* Sender, const TRect& ARect, TCustomDrawStage Stage, bool& DefaultDraw)>;
using TLVColumnClickEvent = std::function<void(TObject* Sender, TListColumn* Column)>;
using TLVSelectItemEvent = std::function<void(TObject* Sender, TListItem* Item, bool Selected)>;

class TCustomListView : public TListControlBase {
    CLASSLIB_DECLARE_CLASS(TCustomListView)
public:
    explicit TCustomListView(TComponent* AOwner);
    ~TCustomListView() override;

    TListColumns* Columns() const { return FColumns.get(); }
    TListItems* Items() const { return FItems.get(); }
    TViewStyle ViewStyle() const { return FViewStyle; }
    void SetViewStyle(TViewStyle Value);
    // A click on a column header is reported (OnColumnClick) and the header
    // sections behave as buttons.
    bool ColumnClick() const { return FColumnClick; }
    void SetColumnClick(bool Value);
    bool RowSelect() const { return FRowSelect; }
    void SetRowSelect(bool Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool GridLines() const { return FGridLines; }
    void SetGridLines(bool Value);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    // Columns may be dragged to another place.
    bool FullDrag() const { return FFullDrag; }
    void SetFullDrag(bool Value);
    TListItem* Selected() const;
    int ItemIndex() const;
    void SetItemIndex(int Value);
    // The header window of report view, or 0.
    HWND HeaderHandle() const;
    // The images of the items (and of the column headers: SmallImages). The
    // lists are shared, never owned: the window is told of every change.
    TCustomImageList* SmallImages() const { return FSmallImages; }
    void SetSmallImages(TCustomImageList* Value) { SetImages(FSmallImages, Value, LVSIL_SMALL); }
    TCustomImageList* LargeImages() const { return FLargeImages; }
    void SetLargeImages(TCustomImageList* Value) { SetImages(FLargeImages, Value, LVSIL_NORMAL); }

    void Dispatch(TMessage& Message) override;

    TLVAdvancedCustomDrawEvent OnAdvancedCustomDraw;
    TLVColumnClickEvent OnColumnClick;
    TLVSelectItemEvent OnSelectItem;
    TNotifyEvent OnChange;

protected:
    friend class TListColumn;
    friend class TListItem;
    friend class TListItems;
    friend class TListColumns;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void HookInnerWindows(HWND NewChild) override;
    void ApplyColors();
    DWORD ExtendedStyle() const;
    void StyleChanged();
    void NotifyReflected(TMessage& Message);
    void CustomDraw(TMessage& Message);
    // Each stage of the window's own custom drawing; the default hands it to
    // OnAdvancedCustomDraw. DefaultDraw false skips the system's drawing.
    virtual void AdvancedCustomDraw(const TRect& ARect, TCustomDrawStage Stage, bool& DefaultDraw);
    void Notification(TComponent* AComponent, TOperation Operation) override;

    std::unique_ptr<TListColumns> FColumns;
    std::unique_ptr<TListItems> FItems;
    TViewStyle FViewStyle = vsIcon;
    bool FColumnClick = true;
    bool FRowSelect = false;
    bool FReadOnly = false;
    bool FGridLines = false;
    bool FHideSelection = true;
    bool FMultiSelect = false;
    bool FFullDrag = false;
    TCustomImageList* FSmallImages = nullptr;
    TCustomImageList* FLargeImages = nullptr;

private:
    void SetImages(TCustomImageList*& Field, TCustomImageList* Value, int Which);
};

class TListView : public TCustomListView {
    CLASSLIB_DECLARE_CLASS(TListView)
public:
    explicit TListView(TComponent* AOwner) : TCustomListView(AOwner) {}
};

// ---------------------------------------------------------------------------

class TTreeNode {
public:
    TTreeNode(TCustomTreeView* Owner, TTreeNode* Parent, const String& Text)
        : FOwner(Owner), FParent(Parent), FText(Text) {}
    String Text() const { return FText; }
    void SetText(const String& Value);
    TTreeNode* Parent() const { return FParent; }
    int Count() const { return static_cast<int>(FChildren.size()); }
    TTreeNode* Item(int Index) const { return FChildren.at(static_cast<size_t>(Index)).get(); }
    bool Expanded() const;
    void SetExpanded(bool Value);
    void Expand() { SetExpanded(true); }
    void Collapse() { SetExpanded(false); }
    bool Selected() const;
    void SetSelected(bool Value);
    HTREEITEM ItemId() const { return FItemId; }
    // The rectangle of the node's line (TextOnly: of its text), client coordinates.
    TRect DisplayRect(bool TextOnly) const;

private:
    friend class TTreeNodes;
    friend class TCustomTreeView;
    void Insert();
    TCustomTreeView* FOwner;
    TTreeNode* FParent;
    String FText;
    bool FExpanded = false;
    HTREEITEM FItemId = nullptr;
    std::vector<std::unique_ptr<TTreeNode>> FChildren;
};

class TTreeNodes {
public:
    explicit TTreeNodes(TCustomTreeView* Owner) : FOwner(Owner) {}
    // A node at the end of Parent's children (of the top level for nil).
    TTreeNode* AddChild(TTreeNode* Parent, const String& Text);
    TTreeNode* Add(TTreeNode* Sibling, const String& Text) {
        return AddChild(Sibling ? Sibling->Parent() : nullptr, Text);
    }
    int Count() const;
    int TopCount() const { return static_cast<int>(FRoots.size()); }
    TTreeNode* TopItem(int Index) const { return FRoots.at(static_cast<size_t>(Index)).get(); }
    TTreeNode* FindNode(HTREEITEM Id) const;
    void Clear();

private:
    friend class TCustomTreeView;
    TCustomTreeView* FOwner;
    std::vector<std::unique_ptr<TTreeNode>> FRoots;
};

using TTVExpandedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;
using TTVChangedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;

class TCustomTreeView : public TListControlBase {
    CLASSLIB_DECLARE_CLASS(TCustomTreeView)
public:
    explicit TCustomTreeView(TComponent* AOwner);

    TTreeNodes* Items() const { return FItems.get(); }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool ShowLines() const { return FShowLines; }
    void SetShowLines(bool Value);
    bool ShowRoot() const { return FShowRoot; }
    void SetShowRoot(bool Value);
    bool ShowButtons() const { return FShowButtons; }
    void SetShowButtons(bool Value);
    TTreeNode* Selected() const;

    void Dispatch(TMessage& Message) override;

    TTVExpandedEvent OnExpanded;
    TTVExpandedEvent OnCollapsed;
    TTVChangedEvent OnChange;

protected:
    friend class TTreeNode;
    friend class TTreeNodes;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void ApplyColors();

    std::unique_ptr<TTreeNodes> FItems;
    bool FReadOnly = false;
    bool FShowLines = true;
    bool FShowRoot = true;
    bool FShowButtons = true;
};

class TTreeView : public TCustomTreeView {
    CLASSLIB_DECLARE_CLASS(TTreeView)
public:
    explicit TTreeView(TComponent* AOwner) : TCustomTreeView(AOwner) {}
};
