// Lists of the class library: the pointer list, the string lists with their
// name=value and text forms, and collections of owned items.
#pragma once

#include "Classes.h"

// Before our names: windows.h maps GetObject to GetObjectA, and every unit
// must see TStrings with the same member names.
#include <windows.h>

#include <vector>

// ---------------------------------------------------------------------------
// TList: a list of untyped pointers; it owns nothing it points to.

enum class TListNotification { lnAdded, lnExtracted, lnDeleted };

class TList : public TObject {
    CLASSLIB_DECLARE_CLASS(TList)
public:
    TList() = default;
    ~TList() override;

    int Add(void* Item);
    void Insert(int Index, void* Item);
    void Delete(int Index);
    // Removes the first occurrence; returns its former index or -1.
    int Remove(void* Item);
    // Takes Item out of the list without the lnDeleted notification.
    void* Extract(void* Item);
    int IndexOf(void* Item) const;
    void* Items(int Index) const;
    void SetItems(int Index, void* Item);
    void* operator[](int Index) const { return Items(Index); }
    int Count() const { return static_cast<int>(FList.size()); }
    // Growing pads with null pointers; shrinking deletes the tail.
    void SetCount(int NewCount);
    void* First() const { return Items(0); }
    void* Last() const { return Items(Count() - 1); }
    virtual void Clear();
    void Move(int CurIndex, int NewIndex);
    void Exchange(int Index1, int Index2);
    // Drops the null entries.
    void Pack();
    // Stable sort by Compare (negative: a before b).
    void Sort(const std::function<int(void* a, void* b)>& Compare);

protected:
    virtual void Notify(void* Ptr, TListNotification Action);
    void CheckIndex(int Index) const;

private:
    std::vector<void*> FList;
};

// Raises EClassLibError with the fixed text of an index outside a list.
[[noreturn]] void ListIndexError(int Index);

// ---------------------------------------------------------------------------
// TStrings: the abstract list of strings with an object beside each string.

class TStrings : public TPersistent {
    CLASSLIB_DECLARE_CLASS(TStrings)
public:
    TStrings() = default;

    // The operations a concrete list provides.
    virtual String Get(int Index) const = 0;
    virtual int GetCount() const = 0;
    virtual TObject* GetObject(int Index) const;
    virtual void Put(int Index, const String& S);
    virtual void PutObject(int Index, TObject* AObject);
    virtual void Clear() = 0;
    virtual void Delete(int Index) = 0;
    virtual void Insert(int Index, const String& S) = 0;

    virtual int Add(const String& S);
    virtual int AddObject(const String& S, TObject* AObject);
    void InsertObject(int Index, const String& S, TObject* AObject);
    virtual void Exchange(int Index1, int Index2);
    virtual void Move(int CurIndex, int NewIndex);
    virtual int IndexOf(const String& S) const;
    int IndexOfName(const String& Name) const;
    int IndexOfObject(TObject* AObject) const;
    void AddStrings(TStrings* Strings);
    bool Equals(const TStrings* Strings) const;

    String Strings(int Index) const { return Get(Index); }
    void SetStrings(int Index, const String& S) { Put(Index, S); }
    String operator[](int Index) const { return Get(Index); }
    TObject* Objects(int Index) const { return GetObject(Index); }
    void SetObjects(int Index, TObject* AObject) { PutObject(Index, AObject); }
    int Count() const { return GetCount(); }

    // Name=value lines.
    String Names(int Index) const;
    String ValueFromIndex(int Index) const;
    String Values(const String& Name) const;
    // An empty value removes the line; a new name is added at the end.
    void SetValues(const String& Name, const String& Value);

    // Every line followed by CR LF; setting splits at CR LF, CR or LF.
    virtual String Text() const;
    virtual void SetText(const String& Value);
    // Lines separated by Delimiter, quoted with QuoteChar when they hold a
    // blank, a delimiter or a quote.
    String DelimitedText() const;
    void SetDelimitedText(const String& Value);
    // DelimitedText with ',' and '"'.
    String CommaText() const;
    void SetCommaText(const String& Value);

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    void Assign(TPersistent* Source) override;

    // Raise EClassLibError with "Cannot open file \"<name>\"" /
    // "Cannot create file \"<name>\"".
    void LoadFromFile(const String& FileName);
    void SaveToFile(const String& FileName) const;

    char Delimiter = ',';
    char QuoteChar = '"';
    char NameValueSeparator = '=';

protected:
    // Called with true when the first BeginUpdate starts and false when the
    // last EndUpdate ends.
    virtual void SetUpdateState(bool Updating);
    // Case-insensitive by default; TStringList follows its CaseSensitive.
    virtual int CompareStrings(const String& S1, const String& S2) const;

private:
    String JoinDelimited(char Delim, char Quote) const;
    void SplitDelimited(const String& Value, char Delim, char Quote);
    int FUpdateCount = 0;
};

// ---------------------------------------------------------------------------
// TStringList: strings kept in memory, optionally sorted.

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList : public TStrings {
    CLASSLIB_DECLARE_CLASS(TStringList)
public:
    TStringList() = default;
    ~TStringList() override;

    String Get(int Index) const override;
    int GetCount() const override { return static_cast<int>(FList.size()); }
    TObject* GetObject(int Index) const override;
    void Put(int Index, const String& S) override;
    void PutObject(int Index, TObject* AObject) override;
    void Clear() override;
    void Delete(int Index) override;
    void Insert(int Index, const String& S) override;
    int Add(const String& S) override;
    int AddObject(const String& S, TObject* AObject) override;
    void Exchange(int Index1, int Index2) override;
    int IndexOf(const String& S) const override;

    // Binary search of a sorted list: true when found; Index is where S is
    // or where it would be inserted. Raises on an unsorted list.
    bool Find(const String& S, int& Index) const;
    virtual void Sort();
    // Sorts with Compare(list, i, j) (negative: i before j).
    void CustomSort(const std::function<int(TStringList* List, int Index1, int Index2)>& Compare);

    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    TDuplicates Duplicates = dupIgnore;
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool Value);
    // Frees the objects of deleted lines (and all of them on destruction).
    bool OwnsObjects = false;

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    virtual void Changed();
    virtual void Changing();
    void SetUpdateState(bool Updating) override;
    int CompareStrings(const String& S1, const String& S2) const override;
    virtual void InsertItem(int Index, const String& S, TObject* AObject);

private:
    struct TStringItem {
        String FString;
        TObject* FObject = nullptr;
    };
    void CheckIndex(int Index) const;
    int AddChecked(const String& S, TObject* AObject);
    std::vector<TStringItem> FList;
    bool FSorted = false;
    bool FCaseSensitive = false;
};

// ---------------------------------------------------------------------------
// Collections: a list of items of one class that the collection owns.

class TCollection;
class TCollectionItem;

// The "item class" of a collection: makes one item inside the collection.
using TCollectionItemClass = TCollectionItem* (*)(TCollection* Collection);

template <typename T>
TCollectionItemClass CollectionItemClass() {
    return [](TCollection* c) -> TCollectionItem* { return new T(c); };
}

enum class TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollectionItem : public TPersistent {
    CLASSLIB_DECLARE_CLASS(TCollectionItem)
public:
    // Joins Collection (when not null) at its end.
    explicit TCollectionItem(TCollection* Collection);
    ~TCollectionItem() override;

    TCollection* Collection() const { return FCollection; }
    // Moves the item to another collection (or out of any with nullptr).
    void SetCollection(TCollection* Value);
    int Index() const;
    void SetIndex(int Value);
    int ID() const { return FID; }
    String DisplayName() const { return GetDisplayName(); }
    virtual void SetDisplayName(const String& Value);

protected:
    virtual String GetDisplayName() const;
    // Tells the collection that this item (or, with AllItems, everything)
    // changed.
    void Changed(bool AllItems);

private:
    friend class TCollection;
    TCollection* FCollection = nullptr;
    int FID = 0;
};

class TCollection : public TPersistent {
    CLASSLIB_DECLARE_CLASS(TCollection)
public:
    explicit TCollection(TCollectionItemClass ItemClass);
    ~TCollection() override;

    TCollectionItem* Add();
    TCollectionItem* Insert(int Index);
    void Delete(int Index);
    void Clear();
    int Count() const { return static_cast<int>(FItems.size()); }
    TCollectionItem* Items(int Index) const;
    void SetItems(int Index, TCollectionItem* Value) { Items(Index)->Assign(Value); }
    TCollectionItem* FindItemID(int ID) const;
    TCollectionItemClass ItemClass() const { return FItemClass; }

    void BeginUpdate();
    virtual void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // Replaces the items with copies (item Assign) of Source's items.
    void Assign(TPersistent* Source) override;
    // The persistent that holds the collection; nullptr for a free one.
    virtual TPersistent* GetOwner() const { return nullptr; }

    // Also told of every Update, after the virtual has run.
    std::function<void(TCollection* Sender, TCollectionItem* Item)> OnUpdate;

protected:
    friend class TCollectionItem;
    // An item changed (Item) or the whole collection did (nullptr); not
    // called while an update is in progress: EndUpdate reports it once.
    virtual void Update(TCollectionItem* Item);
    virtual void Notify(TCollectionItem* Item, TCollectionNotification Action);
    void Changed();

private:
    void InsertItem(TCollectionItem* Item);
    void RemoveItem(TCollectionItem* Item);
    TCollectionItemClass FItemClass;
    std::vector<TCollectionItem*> FItems;
    int FUpdateCount = 0;
    int FNextID = 0;
    bool FChangedInUpdate = false;
};

// A collection that knows the persistent it belongs to.
class TOwnedCollection : public TCollection {
    CLASSLIB_DECLARE_CLASS(TOwnedCollection)
public:
    TOwnedCollection(TPersistent* AOwner, TCollectionItemClass ItemClass) : TCollection(ItemClass), FOwner(AOwner) {}
    TPersistent* GetOwner() const override { return FOwner; }

private:
    TPersistent* FOwner;
};
