// The pointer list, the string lists and collections: ordering, duplicates,
// name=value lines, the text forms, change events and ownership.
#include <gtest/gtest.h>

#include "Lists.h"
#include "TestSupport.h"

#include <string>
#include <vector>

namespace {

template <typename F>
std::string ErrorText(F f) {
    try {
        f();
    } catch (const EClassLibError& e) {
        return e.what();
    }
    return "(no exception)";
}

TEST(TList, KeepsOrderAndReportsBadIndexesWithFixedText) {
    int a = 1, b = 2, c = 3, d = 4;
    TList list;
    EXPECT_EQ(list.Add(&a), 0);
    EXPECT_EQ(list.Add(&c), 1);
    list.Insert(1, &b);
    list.Add(&d);
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list[1], &b);
    list.Move(3, 0);      // d a b c
    list.Exchange(1, 3);  // d c b a
    EXPECT_EQ(list.Items(0), &d);
    EXPECT_EQ(list.Items(1), &c);
    EXPECT_EQ(list.Items(3), &a);
    EXPECT_EQ(list.Remove(&c), 1);
    EXPECT_EQ(list.Remove(&c), -1);
    EXPECT_EQ(list.IndexOf(&a), 2);
    list.Add(nullptr);
    list.Pack();
    EXPECT_EQ(list.Count(), 3);

    EXPECT_EQ(ErrorText([&] { list.Items(3); }), "List index out of bounds (3)");
    EXPECT_EQ(ErrorText([&] { list.Delete(-1); }), "List index out of bounds (-1)");
    EXPECT_EQ(ErrorText([&] { list.Insert(5, &a); }), "List index out of bounds (5)");
    EXPECT_EQ(ErrorText([&] { list.Move(0, 7); }), "List index out of bounds (7)");
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(ErrorText([&] { list.First(); }), "List index out of bounds (0)");
}

class TRecordingList : public TList {
public:
    std::vector<std::pair<void*, TListNotification>> Log;
    ~TRecordingList() override { Clear(); }

protected:
    void Notify(void* Ptr, TListNotification Action) override { Log.emplace_back(Ptr, Action); }
};

TEST(TList, TellsADescendantOfEveryEntryThatComesAndGoes) {
    int a = 1, b = 2;
    TRecordingList list;
    list.Add(&a);
    list.Add(&b);
    list.Extract(&a);
    list.Clear();
    ASSERT_EQ(list.Log.size(), 4u);
    EXPECT_EQ(list.Log[2], std::make_pair(static_cast<void*>(&a), TListNotification::lnExtracted));
    EXPECT_EQ(list.Log[3], std::make_pair(static_cast<void*>(&b), TListNotification::lnDeleted));
}

TEST(TStringList, SortedListsFindAndHandleDuplicatesAsAsked) {
    TStringList list;
    list.SetSorted(true);
    for (const char* s : {"pear", "Apple", "fig", "apple", "Banana"}) list.Add(s);
    // Case-insensitive by default: "apple" is a duplicate of "Apple" and ignored.
    EXPECT_EQ(list.CommaText(), "Apple,Banana,fig,pear");
    int index = -1;
    EXPECT_TRUE(list.Find("BANANA", index));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(list.Find("cherry", index));
    EXPECT_EQ(index, 2);
    EXPECT_EQ(list.IndexOf("FIG"), 2);

    list.Duplicates = dupError;
    EXPECT_EQ(ErrorText([&] { list.Add("PEAR"); }), "String list does not allow duplicates");
    list.Duplicates = dupAccept;
    list.AddObject("fig", &list);
    EXPECT_EQ(list.Count(), 5);
    EXPECT_EQ(list.Objects(3), &list);  // after the first "fig"
    EXPECT_EQ(ErrorText([&] { list.Insert(0, "x"); }), "Operation not allowed on sorted list");
    EXPECT_EQ(ErrorText([&] { list.SetStrings(0, "x"); }), "Operation not allowed on sorted list");

    list.SetCaseSensitive(true);
    list.Duplicates = dupIgnore;
    list.Add("apple");  // capitals sort first now
    EXPECT_EQ(list.IndexOf("apple"), 2);
    EXPECT_EQ(list.IndexOf("APPLE"), -1);

    TStringList unsorted;
    unsorted.SetCommaText("c,a,b");
    EXPECT_EQ(ErrorText([&] { unsorted.Find("a", index); }), "Find needs a sorted list");
    unsorted.SetSorted(true);
    EXPECT_EQ(unsorted.CommaText(), "a,b,c");
}

TEST(TStringList, NameValueLines) {
    TStringList list;
    list.Add("Skin=Default");
    list.Add("Folder=C:\\skins");
    list.Add("plain line");
    EXPECT_EQ(list.Values("skin"), "Default");
    EXPECT_EQ(list.Names(1), "Folder");
    EXPECT_EQ(list.ValueFromIndex(1), "C:\\skins");
    EXPECT_EQ(list.Names(2), "");
    EXPECT_EQ(list.IndexOfName("FOLDER"), 1);
    EXPECT_EQ(list.Values("missing"), "");
    list.SetValues("Skin", "Dark=er");
    EXPECT_EQ(list.Strings(0), "Skin=Dark=er");
    EXPECT_EQ(list.Values("Skin"), "Dark=er");
    list.SetValues("New", "1");
    EXPECT_EQ(list.Strings(3), "New=1");
    list.SetValues("Folder", "");
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.IndexOfName("Folder"), -1);
}

TEST(TStringList, TextAndCommaTextRoundTrip) {
    TStringList list;
    list.SetText("one\r\ntwo\nthree\rfour\r\n\r\nsix");
    ASSERT_EQ(list.Count(), 6);
    EXPECT_EQ(list[2], "three");
    EXPECT_EQ(list[4], "");
    EXPECT_EQ(list.Text(), "one\r\ntwo\r\nthree\r\nfour\r\n\r\nsix\r\n");
    TStringList copy;
    copy.SetText(list.Text());
    EXPECT_TRUE(copy.Equals(&list));

    list.Clear();
    list.Add("plain");
    list.Add("with space");
    list.Add("say \"hi\"");
    list.Add("a,b");
    list.Add("");
    std::string comma = list.CommaText();
    EXPECT_EQ(comma, "plain,\"with space\",\"say \"\"hi\"\"\",\"a,b\",");
    TStringList back;
    back.SetCommaText(comma);
    EXPECT_TRUE(back.Equals(&list)) << back.Text();
    // Blanks separate unquoted words too.
    back.SetCommaText("  x y , \"z w\"");
    EXPECT_EQ(back.Text(), "x\r\ny\r\nz w\r\n");
    back.Delimiter = ';';
    back.SetDelimitedText("a;b c;\"d;e\"");
    EXPECT_EQ(back.Count(), 4);
    EXPECT_EQ(back[3], "d;e");
    EXPECT_EQ(back.CommaText(), "a,b,c,d;e");
}

TEST(TStringList, ChangeEventsAreBatchedByUpdates) {
    TStringList list;
    int changing = 0, changed = 0;
    list.OnChanging = [&](TObject* s) {
        EXPECT_EQ(s, &list);
        ++changing;
    };
    list.OnChange = [&](TObject*) { ++changed; };
    list.Add("a");
    list.Add("b");
    EXPECT_EQ(changed, 2);
    EXPECT_EQ(changing, 2);
    list.BeginUpdate();
    list.Add("c");
    list.Delete(0);
    list.BeginUpdate();
    list.Exchange(0, 1);
    list.EndUpdate();
    EXPECT_EQ(changed, 2);
    list.EndUpdate();
    EXPECT_EQ(changed, 3);
    EXPECT_EQ(changing, 3);
    list.SetText("x\ny");  // one batch
    EXPECT_EQ(changed, 4);
    EXPECT_EQ(list.Text(), "x\r\ny\r\n");
}

TEST(TStringList, AssignFilesAndOwnedObjects) {
    std::string folder = testsupport::MakeTempFolder("lists");
    ASSERT_FALSE(folder.empty());
    std::string file = folder + "\\list.txt";
    TStringList list;
    list.SetCommaText("alpha,beta,\"gamma delta\"");
    list.SaveToFile(file);
    TStringList loaded;
    loaded.LoadFromFile(file);
    EXPECT_TRUE(loaded.Equals(&list));
    EXPECT_EQ(ErrorText([&] { loaded.LoadFromFile(folder + "\\missing.txt"); }),
              "Cannot open file \"" + folder + "\\missing.txt\"");
    testsupport::RemoveTree(folder);

    TStringList copy;
    copy.Add("old");
    copy.Assign(&list);
    EXPECT_EQ(copy.Text(), list.Text());

    static int freed = 0;
    struct TCounted : TObject {
        ~TCounted() override { ++freed; }
    };
    {
        TStringList owning;
        owning.OwnsObjects = true;
        owning.AddObject("a", new TCounted);
        owning.AddObject("b", new TCounted);
        owning.AddObject("c", new TCounted);
        owning.Delete(1);
        EXPECT_EQ(freed, 1);
    }
    EXPECT_EQ(freed, 3);
}

// --------------------------------------------------------------------------

int gItemsAlive = 0;

class TTestItem : public TCollectionItem {
public:
    explicit TTestItem(TCollection* C) : TCollectionItem(C) { ++gItemsAlive; }
    ~TTestItem() override { --gItemsAlive; }
    void Assign(TPersistent* Source) override {
        if (auto* s = dynamic_cast<TTestItem*>(Source)) {
            Value = s->Value;
            Changed(false);
            return;
        }
        TCollectionItem::Assign(Source);
    }
    void SetValue(int v) {
        Value = v;
        Changed(false);
    }
    int Value = 0;
};

class TTestCollection : public TOwnedCollection {
public:
    explicit TTestCollection(TPersistent* Owner) : TOwnedCollection(Owner, CollectionItemClass<TTestItem>()) {}
    TTestItem* Item(int i) const { return static_cast<TTestItem*>(Items(i)); }
    std::vector<TCollectionItem*> Updates;

protected:
    void Update(TCollectionItem* Item) override { Updates.push_back(Item); }
};

TEST(TCollection, OwnsItsItemsAndNumbersThem) {
    TPersistent owner;
    {
        TTestCollection c(&owner);
        EXPECT_EQ(c.GetOwner(), &owner);
        auto* a = static_cast<TTestItem*>(c.Add());
        auto* b = static_cast<TTestItem*>(c.Add());
        auto* x = new TTestItem(&c);  // joins by itself
        EXPECT_EQ(gItemsAlive, 3);
        EXPECT_EQ(c.Count(), 3);
        EXPECT_EQ(x->Index(), 2);
        EXPECT_NE(a->ID(), b->ID());
        EXPECT_EQ(c.FindItemID(b->ID()), b);
        EXPECT_EQ(b->DisplayName(), "TCollectionItem");  // class name by default

        x->SetIndex(0);
        EXPECT_EQ(c.Items(0), x);
        EXPECT_EQ(a->Index(), 1);

        c.Delete(1);  // frees a
        EXPECT_EQ(gItemsAlive, 2);
        int bID = b->ID();
        b->Free();  // an item freed by itself leaves the collection
        EXPECT_EQ(c.Count(), 1);
        EXPECT_EQ(c.FindItemID(bID), nullptr);
        EXPECT_EQ(ErrorText([&] { c.Items(1); }), "List index out of bounds (1)");

        TTestCollection other(nullptr);
        x->SetCollection(&other);
        EXPECT_EQ(c.Count(), 0);
        EXPECT_EQ(other.Items(0), x);
        c.Add();
        c.Add();
    }
    EXPECT_EQ(gItemsAlive, 0);  // both collections freed what they held
}

TEST(TCollection, ReportsChangesOnceAndCopiesItems) {
    TTestCollection c(nullptr);
    auto* a = static_cast<TTestItem*>(c.Add());
    ASSERT_EQ(c.Updates.size(), 1u);
    EXPECT_EQ(c.Updates[0], nullptr);  // a new item changes the whole collection
    a->SetValue(5);
    ASSERT_EQ(c.Updates.size(), 2u);
    EXPECT_EQ(c.Updates[1], a);
    c.BeginUpdate();
    c.Add();
    c.Add();
    a->SetValue(6);
    EXPECT_EQ(c.Updates.size(), 2u);
    c.EndUpdate();
    EXPECT_EQ(c.Updates.size(), 3u);

    TTestCollection copy(nullptr);
    copy.Add();
    copy.Assign(&c);
    ASSERT_EQ(copy.Count(), 3);
    EXPECT_EQ(copy.Item(0)->Value, 6);
    EXPECT_NE(copy.Items(0), c.Items(0));
    c.Clear();
    EXPECT_EQ(c.Count(), 0);
    EXPECT_EQ(copy.Count(), 3);
}

}  // namespace
