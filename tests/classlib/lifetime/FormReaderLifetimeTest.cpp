// Form descriptions whose later lines free what earlier lines left waiting,
// read on a heap whose freed memory cannot be read.
#include <gtest/gtest.h>

#include "FormReader.h"
#include "FormTestSupport.h"
#include "Lists.h"
#include "StdCtrls.h"

namespace guardedheap {
void Enable(bool On);
bool IsFreedMemory(const void* p);
}  // namespace guardedheap

namespace {

// An item that names a component of the form, as an action link would.
class TLinkItem : public TCollectionItem {
    CLASSLIB_DECLARE_CLASS(TLinkItem)
public:
    using TCollectionItem::TCollectionItem;
    TComponent* Target() const { return FTarget; }
    void SetTarget(TComponent* Value) { FTarget = Value; }

private:
    TComponent* FTarget = nullptr;
};
CLASSLIB_DEFINE_CLASS(TLinkItem, TCollectionItem,
                      ObjProp<TLinkItem, TComponent>("Target", &TLinkItem::Target, &TLinkItem::SetTarget))

// Holds the items, and an inner holder whose items are freed with the outer ones.
class TLinkHolder : public TComponent {
    CLASSLIB_DECLARE_CLASS(TLinkHolder)
public:
    explicit TLinkHolder(TComponent* AOwner) : TComponent(AOwner), Links(this, CollectionItemClass<TLinkItem>()) {}
    TCollection* GetLinks() const { return const_cast<TOwnedCollection*>(&Links); }
    TOwnedCollection Links;
};
CLASSLIB_DEFINE_CLASS(TLinkHolder, TComponent, ObjProp<TLinkHolder, TCollection>("Links", &TLinkHolder::GetLinks))

class FormReaderLifetime : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterComponentClass<TLinkHolder>();
        guardedheap::Enable(true);
    }
    void TearDown() override { guardedheap::Enable(false); }
};

// The second Links line rewrites the collection: the first line's items, and
// the reference one of them waited for, are gone; the new items' are kept.
const struct {
    const char* Second;  // the items of the second Links line
    const char* Target;  // what its first item names once read ("" for none)
} kRewrites[] = {
    {"<\n   item\n   end>", ""},
    {"<\n   item\n    Target = B\n   end>", "B"},
    {"<\n   item\n    Target = H\n   end\n   item\n    Target = B\n   end>", "H"},
    {"<>", nullptr},
};

TEST_F(FormReaderLifetime, ACollectionRewrittenByALaterLineDropsItsItemsWaitingReferences) {
    for (const auto& c : kRewrites) {
        const String text =
            "object F: TForm\n object H: TLinkHolder\n  Links = <\n   item\n    Target = B\n   end\n"
            "   item\n    Target = F\n   end>\n  Links = " +
            String(c.Second) + "\n end\n object B: TButton\n end\nend";
        formtest::FormPtr form(TObject::Create<TForm>(nullptr));
        ReadComponentFromText(form.get(), text);
        auto* holder = dynamic_cast<TLinkHolder*>(form->FindComponent("H"));
        ASSERT_NE(holder, nullptr) << text;
        if (!c.Target) {
            EXPECT_EQ(holder->Links.Count(), 0) << text;
            continue;
        }
        ASSERT_GE(holder->Links.Count(), 1) << text;
        auto* first = static_cast<TLinkItem*>(holder->Links.Items(0));
        EXPECT_EQ(first->Target(), *c.Target ? form->FindComponent(c.Target) : nullptr) << text;
    }
}

}  // namespace
