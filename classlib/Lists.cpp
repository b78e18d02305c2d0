#include "Lists.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

void ListIndexError(int Index) { throw EClassLibError("List index out of bounds (" + std::to_string(Index) + ")"); }

namespace {
[[noreturn]] void SortedListError() { throw EClassLibError("Operation not allowed on sorted list"); }

int CompareTextNoCase(const String& a, const String& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        int ca = std::toupper(static_cast<unsigned char>(a[i]));
        int cb = std::toupper(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// Runs Action inside one BeginUpdate/EndUpdate of Target; the update ends
// even when Action throws.
template <typename T, typename F>
void Updating(T& Target, F&& Action) {
    Target.BeginUpdate();
    try {
        Action();
    } catch (...) {
        Target.EndUpdate();
        throw;
    }
    Target.EndUpdate();
}
}  // namespace

// ---------------------------------------------------------------------------

CLASSLIB_DEFINE_CLASS(TList, TObject)

TList::~TList() { Clear(); }

void TList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count()) ListIndexError(Index);
}

int TList::Add(void* Item) {
    FList.push_back(Item);
    if (Item) Notify(Item, TListNotification::lnAdded);
    return Count() - 1;
}

void TList::Insert(int Index, void* Item) {
    if (Index < 0 || Index > Count()) ListIndexError(Index);
    FList.insert(FList.begin() + Index, Item);
    if (Item) Notify(Item, TListNotification::lnAdded);
}

void TList::Delete(int Index) {
    CheckIndex(Index);
    void* p = FList[static_cast<size_t>(Index)];
    FList.erase(FList.begin() + Index);
    if (p) Notify(p, TListNotification::lnDeleted);
}

int TList::Remove(void* Item) {
    int i = IndexOf(Item);
    if (i >= 0) Delete(i);
    return i;
}

void* TList::Extract(void* Item) {
    int i = IndexOf(Item);
    if (i < 0) return nullptr;
    FList.erase(FList.begin() + i);
    Notify(Item, TListNotification::lnExtracted);
    return Item;
}

int TList::IndexOf(void* Item) const {
    auto it = std::find(FList.begin(), FList.end(), Item);
    return it == FList.end() ? -1 : static_cast<int>(it - FList.begin());
}

void* TList::Items(int Index) const {
    CheckIndex(Index);
    return FList[static_cast<size_t>(Index)];
}

void TList::SetItems(int Index, void* Item) {
    CheckIndex(Index);
    void* old = FList[static_cast<size_t>(Index)];
    if (old == Item) return;
    FList[static_cast<size_t>(Index)] = Item;
    if (old) Notify(old, TListNotification::lnDeleted);
    if (Item) Notify(Item, TListNotification::lnAdded);
}

void TList::SetCount(int NewCount) {
    if (NewCount < 0) ListIndexError(NewCount);
    while (Count() > NewCount) Delete(Count() - 1);
    FList.resize(static_cast<size_t>(NewCount), nullptr);
}

void TList::Clear() {
    // Entries go one by one so that a descendant's Notify sees each of them.
    while (!FList.empty()) Delete(Count() - 1);
}

void TList::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    CheckIndex(CurIndex);
    CheckIndex(NewIndex);
    void* p = FList[static_cast<size_t>(CurIndex)];
    FList.erase(FList.begin() + CurIndex);
    FList.insert(FList.begin() + NewIndex, p);
}

void TList::Exchange(int Index1, int Index2) {
    CheckIndex(Index1);
    CheckIndex(Index2);
    std::swap(FList[static_cast<size_t>(Index1)], FList[static_cast<size_t>(Index2)]);
}

void TList::Pack() { FList.erase(std::remove(FList.begin(), FList.end(), nullptr), FList.end()); }

void TList::Sort(const std::function<int(void*, void*)>& Compare) {
    std::stable_sort(FList.begin(), FList.end(), [&](void* a, void* b) { return Compare(a, b) < 0; });
}

void TList::Notify(void*, TListNotification) {}

// ---------------------------------------------------------------------------

// clang-format off
CLASSLIB_DEFINE_CLASS(TStrings, TPersistent,
    StrProp<TStrings>("Text", &TStrings::Text, &TStrings::SetText),
    StrProp<TStrings>("CommaText", &TStrings::CommaText, &TStrings::SetCommaText))
// clang-format on

TObject* TStrings::GetObject(int) const { return nullptr; }

void TStrings::Put(int Index, const String& S) {
    TObject* obj = GetObject(Index);
    Delete(Index);
    InsertObject(Index, S, obj);
}

void TStrings::PutObject(int, TObject*) {}

int TStrings::Add(const String& S) {
    int i = GetCount();
    Insert(i, S);
    return i;
}

int TStrings::AddObject(const String& S, TObject* AObject) {
    int i = Add(S);
    PutObject(i, AObject);
    return i;
}

void TStrings::InsertObject(int Index, const String& S, TObject* AObject) {
    Insert(Index, S);
    PutObject(Index, AObject);
}

void TStrings::Exchange(int Index1, int Index2) {
    BeginUpdate();
    String s1 = Get(Index1), s2 = Get(Index2);
    TObject* o1 = GetObject(Index1);
    TObject* o2 = GetObject(Index2);
    Put(Index1, s2);
    Put(Index2, s1);
    PutObject(Index1, o2);
    PutObject(Index2, o1);
    EndUpdate();
}

void TStrings::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    BeginUpdate();
    String s = Get(CurIndex);
    TObject* o = GetObject(CurIndex);
    Delete(CurIndex);
    InsertObject(NewIndex, s, o);
    EndUpdate();
}

int TStrings::IndexOf(const String& S) const {
    for (int i = 0, n = GetCount(); i < n; ++i)
        if (CompareStrings(Get(i), S) == 0) return i;
    return -1;
}

int TStrings::IndexOfName(const String& Name) const {
    for (int i = 0, n = GetCount(); i < n; ++i) {
        String s = Get(i);
        size_t p = s.find(NameValueSeparator);
        if (p != String::npos && CompareStrings(s.substr(0, p), Name) == 0) return i;
    }
    return -1;
}

int TStrings::IndexOfObject(TObject* AObject) const {
    for (int i = 0, n = GetCount(); i < n; ++i)
        if (GetObject(i) == AObject) return i;
    return -1;
}

void TStrings::AddStrings(TStrings* Strings) {
    if (!Strings) return;
    Updating(*this, [&] {
        for (int i = 0, n = Strings->Count(); i < n; ++i) AddObject(Strings->Get(i), Strings->GetObject(i));
    });
}

bool TStrings::Equals(const TStrings* Strings) const {
    if (!Strings || Strings->GetCount() != GetCount()) return false;
    for (int i = 0, n = GetCount(); i < n; ++i)
        if (Get(i) != Strings->Get(i)) return false;
    return true;
}

String TStrings::Names(int Index) const {
    String s = Get(Index);
    size_t p = s.find(NameValueSeparator);
    return p == String::npos ? String() : s.substr(0, p);
}

String TStrings::ValueFromIndex(int Index) const {
    String s = Get(Index);
    size_t p = s.find(NameValueSeparator);
    return p == String::npos ? String() : s.substr(p + 1);
}

String TStrings::Values(const String& Name) const {
    int i = IndexOfName(Name);
    return i < 0 ? String() : ValueFromIndex(i);
}

void TStrings::SetValues(const String& Name, const String& Value) {
    int i = IndexOfName(Name);
    if (Value.empty()) {
        if (i >= 0) Delete(i);
        return;
    }
    String line = Name + NameValueSeparator + Value;
    if (i < 0) Add(line);
    else Put(i, line);
}

String TStrings::Text() const {
    String r;
    for (int i = 0, n = GetCount(); i < n; ++i) {
        r += Get(i);
        r += "\r\n";
    }
    return r;
}

void TStrings::SetText(const String& Value) {
    Updating(*this, [&] {
        Clear();
        size_t i = 0, n = Value.size();
        while (i < n) {
            size_t start = i;
            while (i < n && Value[i] != '\r' && Value[i] != '\n') ++i;
            Add(Value.substr(start, i - start));
            if (i < n && Value[i] == '\r') ++i;
            if (i < n && Value[i] == '\n') ++i;
        }
    });
}

String TStrings::DelimitedText() const { return JoinDelimited(Delimiter, QuoteChar); }

void TStrings::SetDelimitedText(const String& Value) { SplitDelimited(Value, Delimiter, QuoteChar); }

// The comma form always uses ',' and '"', whatever the list's own choice.
String TStrings::CommaText() const { return JoinDelimited(',', '"'); }

void TStrings::SetCommaText(const String& Value) { SplitDelimited(Value, ',', '"'); }

String TStrings::JoinDelimited(char Delim, char Quote) const {
    int n = GetCount();
    if (n == 1 && Get(0).empty()) return String(2, Quote);
    String r;
    for (int i = 0; i < n; ++i) {
        String s = Get(i);
        bool quote = false;
        for (char c : s)
            if (static_cast<unsigned char>(c) <= ' ' || c == Quote || c == Delim) quote = true;
        if (quote) {
            String q(1, Quote);
            for (char c : s) {
                if (c == Quote) q += Quote;
                q += c;
            }
            q += Quote;
            s = q;
        }
        if (i > 0) r += Delim;
        r += s;
    }
    return r;
}

void TStrings::SplitDelimited(const String& Value, char Delim, char Quote) {
    auto blank = [](char c) { return c != 0 && static_cast<unsigned char>(c) <= ' '; };
    Updating(*this, [&] {
        Clear();
        size_t i = 0, n = Value.size();
        while (i < n && blank(Value[i])) ++i;
        while (i < n) {
            String item;
            if (Value[i] == Quote) {
                ++i;
                while (i < n) {
                    if (Value[i] == Quote) {
                        if (i + 1 < n && Value[i + 1] == Quote) {
                            item += Quote;
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    item += Value[i++];
                }
            } else {
                while (i < n && !blank(Value[i]) && Value[i] != Delim) item += Value[i++];
            }
            Add(item);
            while (i < n && blank(Value[i])) ++i;
            if (i < n && Value[i] == Delim) {
                ++i;
                // A delimiter at the very end still separates an empty line.
                if (i >= n) Add(String());
                while (i < n && blank(Value[i])) ++i;
            }
        }
    });
}

void TStrings::BeginUpdate() {
    if (FUpdateCount++ == 0) SetUpdateState(true);
}

void TStrings::EndUpdate() {
    if (FUpdateCount <= 0) return;
    if (--FUpdateCount == 0) SetUpdateState(false);
}

void TStrings::SetUpdateState(bool) {}

int TStrings::CompareStrings(const String& S1, const String& S2) const { return CompareTextNoCase(S1, S2); }

void TStrings::Assign(TPersistent* Source) {
    if (auto* src = dynamic_cast<TStrings*>(Source)) {
        if (src == this) return;
        Updating(*this, [&] {
            Clear();
            Delimiter = src->Delimiter;
            QuoteChar = src->QuoteChar;
            NameValueSeparator = src->NameValueSeparator;
            AddStrings(src);
        });
        return;
    }
    TPersistent::Assign(Source);
}

void TStrings::LoadFromFile(const String& FileName) {
    FILE* f = std::fopen(FileName.c_str(), "rb");
    if (!f) throw EClassLibError("Cannot open file \"" + FileName + "\"");
    String data;
    char buf[4096];
    size_t got;
    while ((got = std::fread(buf, 1, sizeof(buf), f)) > 0) data.append(buf, got);
    std::fclose(f);
    SetText(data);
}

void TStrings::SaveToFile(const String& FileName) const {
    FILE* f = std::fopen(FileName.c_str(), "wb");
    if (!f) throw EClassLibError("Cannot create file \"" + FileName + "\"");
    String data = Text();
    bool ok = data.empty() || std::fwrite(data.data(), data.size(), 1, f) == 1;
    if (std::fclose(f) != 0 || !ok) throw EClassLibError("Cannot write file \"" + FileName + "\"");
}

// ---------------------------------------------------------------------------

// clang-format off
CLASSLIB_DEFINE_CLASS(TStringList, TStrings,
    OrdProp<TStringList>("Sorted", TTypeKind::tkBool, &TStringList::Sorted, &TStringList::SetSorted, 0),
    OrdField<TStringList>("Duplicates", TTypeKind::tkEnumeration, &TStringList::Duplicates, dupIgnore),
    OrdProp<TStringList>("CaseSensitive", TTypeKind::tkBool, &TStringList::CaseSensitive,
                         &TStringList::SetCaseSensitive, 0))
// clang-format on

TStringList::~TStringList() {
    OnChange = nullptr;
    OnChanging = nullptr;
    if (OwnsObjects)
        for (auto& item : FList) delete item.FObject;
    FList.clear();
}

void TStringList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= GetCount()) ListIndexError(Index);
}

String TStringList::Get(int Index) const {
    CheckIndex(Index);
    return FList[static_cast<size_t>(Index)].FString;
}

TObject* TStringList::GetObject(int Index) const {
    CheckIndex(Index);
    return FList[static_cast<size_t>(Index)].FObject;
}

void TStringList::Put(int Index, const String& S) {
    if (FSorted) SortedListError();
    CheckIndex(Index);
    Changing();
    FList[static_cast<size_t>(Index)].FString = S;
    Changed();
}

void TStringList::PutObject(int Index, TObject* AObject) {
    CheckIndex(Index);
    Changing();
    FList[static_cast<size_t>(Index)].FObject = AObject;
    Changed();
}

void TStringList::Clear() {
    if (FList.empty()) return;
    Changing();
    std::vector<TStringItem> old;
    old.swap(FList);
    if (OwnsObjects)
        for (auto& item : old) delete item.FObject;
    Changed();
}

void TStringList::Delete(int Index) {
    CheckIndex(Index);
    Changing();
    TObject* obj = FList[static_cast<size_t>(Index)].FObject;
    FList.erase(FList.begin() + Index);
    if (OwnsObjects) delete obj;
    Changed();
}

void TStringList::Insert(int Index, const String& S) {
    if (FSorted) SortedListError();
    if (Index < 0 || Index > GetCount()) ListIndexError(Index);
    InsertItem(Index, S, nullptr);
}

void TStringList::InsertItem(int Index, const String& S, TObject* AObject) {
    Changing();
    FList.insert(FList.begin() + Index, TStringItem{S, AObject});
    Changed();
}

int TStringList::AddChecked(const String& S, TObject* AObject) {
    int index;
    if (!FSorted) {
        index = GetCount();
    } else if (Find(S, index)) {
        if (Duplicates == dupIgnore) return index;
        if (Duplicates == dupError) throw EClassLibError("String list does not allow duplicates");
        // dupAccept: after the equal lines, so that equal lines keep their order.
        while (index < GetCount() && CompareStrings(FList[static_cast<size_t>(index)].FString, S) == 0) ++index;
    }
    InsertItem(index, S, AObject);
    return index;
}

int TStringList::Add(const String& S) { return AddChecked(S, nullptr); }

int TStringList::AddObject(const String& S, TObject* AObject) { return AddChecked(S, AObject); }

void TStringList::Exchange(int Index1, int Index2) {
    CheckIndex(Index1);
    CheckIndex(Index2);
    Changing();
    std::swap(FList[static_cast<size_t>(Index1)], FList[static_cast<size_t>(Index2)]);
    Changed();
}

int TStringList::IndexOf(const String& S) const {
    if (!FSorted) return TStrings::IndexOf(S);
    int i;
    return Find(S, i) ? i : -1;
}

bool TStringList::Find(const String& S, int& Index) const {
    if (!FSorted) throw EClassLibError("Find needs a sorted list");
    int lo = 0, hi = GetCount() - 1;
    bool found = false;
    while (lo <= hi) {
        int mid = (lo + hi) / 2;
        int c = CompareStrings(FList[static_cast<size_t>(mid)].FString, S);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) found = true;  // keep going left: the first equal line
        }
    }
    Index = lo;
    return found;
}

void TStringList::Sort() {
    CustomSort([](TStringList* list, int a, int b) { return list->CompareStrings(list->Get(a), list->Get(b)); });
}

void TStringList::CustomSort(const std::function<int(TStringList*, int, int)>& Compare) {
    if (FList.size() < 2) return;
    Changing();
    // The comparer speaks in indexes, so sort a permutation and apply it.
    std::vector<int> order(FList.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return Compare(this, a, b) < 0; });
    std::vector<TStringItem> sorted;
    sorted.reserve(FList.size());
    for (int i : order) sorted.push_back(FList[static_cast<size_t>(i)]);
    FList.swap(sorted);
    Changed();
}

void TStringList::SetSorted(bool Value) {
    if (FSorted == Value) return;
    if (Value) Sort();
    FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
    if (FCaseSensitive == Value) return;
    FCaseSensitive = Value;
    if (FSorted) Sort();
}

int TStringList::CompareStrings(const String& S1, const String& S2) const {
    if (FCaseSensitive) return S1 < S2 ? -1 : (S1 == S2 ? 0 : 1);
    return CompareTextNoCase(S1, S2);
}

void TStringList::Changing() {
    if (UpdateCount() == 0 && OnChanging) {
        TNotifyEvent handler = OnChanging;
        handler(this);
    }
}

void TStringList::Changed() {
    if (UpdateCount() == 0 && OnChange) {
        TNotifyEvent handler = OnChange;
        handler(this);
    }
}

void TStringList::SetUpdateState(bool Updating) {
    // A batch of changes is reported once: changing at its start, changed at
    // its end.
    if (Updating) {
        if (OnChanging) {
            TNotifyEvent handler = OnChanging;
            handler(this);
        }
    } else if (OnChange) {
        TNotifyEvent handler = OnChange;
        handler(this);
    }
}

// ---------------------------------------------------------------------------

CLASSLIB_DEFINE_CLASS(TCollectionItem, TPersistent)

TCollectionItem::TCollectionItem(TCollection* Collection) { SetCollection(Collection); }

TCollectionItem::~TCollectionItem() { SetCollection(nullptr); }

void TCollectionItem::SetCollection(TCollection* Value) {
    if (FCollection == Value) return;
    if (FCollection) FCollection->RemoveItem(this);
    if (Value) Value->InsertItem(this);
}

int TCollectionItem::Index() const {
    if (!FCollection) return -1;
    auto& items = FCollection->FItems;
    auto it = std::find(items.begin(), items.end(), this);
    return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

void TCollectionItem::SetIndex(int Value) {
    int cur = Index();
    if (cur < 0 || cur == Value) return;
    auto& items = FCollection->FItems;
    if (Value < 0 || Value >= static_cast<int>(items.size())) ListIndexError(Value);
    items.erase(items.begin() + cur);
    items.insert(items.begin() + Value, this);
    Changed(true);
}

String TCollectionItem::GetDisplayName() const { return ClassName(); }

void TCollectionItem::SetDisplayName(const String&) { Changed(false); }

void TCollectionItem::Changed(bool AllItems) {
    if (!FCollection || FCollection->FUpdateCount > 0) {
        if (FCollection) FCollection->FChangedInUpdate = true;
        return;
    }
    TCollection* c = FCollection;
    c->Update(AllItems ? nullptr : this);
    if (c->OnUpdate) c->OnUpdate(c, AllItems ? nullptr : this);
}

// ---------------------------------------------------------------------------

CLASSLIB_DEFINE_CLASS(TCollection, TPersistent)
CLASSLIB_DEFINE_CLASS(TOwnedCollection, TCollection)

TCollection::TCollection(TCollectionItemClass ItemClass) : FItemClass(ItemClass) {}

TCollection::~TCollection() {
    OnUpdate = nullptr;
    FUpdateCount = 1;  // no more notifications while we go
    while (!FItems.empty()) FItems.back()->Free();
}

TCollectionItem* TCollection::Add() {
    if (!FItemClass) throw EClassLibError("Collection has no item class");
    // The item joins from its constructor; the change is reported once it is
    // fully built.
    TCollectionItem* item = nullptr;
    Updating(*this, [&] { item = FItemClass(this); });
    return item;
}

TCollectionItem* TCollection::Insert(int Index) {
    if (Index < 0 || Index > Count()) ListIndexError(Index);
    BeginUpdate();
    TCollectionItem* item = Add();
    item->SetIndex(Index);
    EndUpdate();
    return item;
}

void TCollection::Delete(int Index) {
    TCollectionItem* item = Items(Index);
    Notify(item, TCollectionNotification::cnDeleting);
    item->Free();
}

void TCollection::Clear() {
    if (FItems.empty()) return;
    BeginUpdate();
    while (!FItems.empty()) Delete(Count() - 1);
    EndUpdate();
}

TCollectionItem* TCollection::Items(int Index) const {
    if (Index < 0 || Index >= Count()) ListIndexError(Index);
    return FItems[static_cast<size_t>(Index)];
}

TCollectionItem* TCollection::FindItemID(int ID) const {
    for (TCollectionItem* item : FItems)
        if (item->FID == ID) return item;
    return nullptr;
}

void TCollection::BeginUpdate() { ++FUpdateCount; }

void TCollection::EndUpdate() {
    if (FUpdateCount <= 0) return;
    if (--FUpdateCount == 0 && FChangedInUpdate) {
        FChangedInUpdate = false;
        Changed();
    }
}

void TCollection::Changed() {
    if (FUpdateCount > 0) {
        FChangedInUpdate = true;
        return;
    }
    Update(nullptr);
    if (OnUpdate) OnUpdate(this, nullptr);
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Notify(TCollectionItem*, TCollectionNotification) {}

void TCollection::InsertItem(TCollectionItem* Item) {
    FItems.push_back(Item);
    Item->FCollection = this;
    Item->FID = FNextID++;
    Notify(Item, TCollectionNotification::cnAdded);
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item) {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    if (it == FItems.end()) return;
    FItems.erase(it);
    Item->FCollection = nullptr;
    Changed();
}

void TCollection::Assign(TPersistent* Source) {
    if (auto* src = dynamic_cast<TCollection*>(Source)) {
        if (src == this) return;
        Updating(*this, [&] {
            Clear();
            for (TCollectionItem* item : src->FItems) Add()->Assign(item);
        });
        return;
    }
    TPersistent::Assign(Source);
}
