// Actions and their links: clients hear of every change, a freed action
// leaves no dangling link, execution follows Enabled, AutoCheck and groups.
#include <gtest/gtest.h>

#include "ActnList.h"
#include "ImgList.h"

namespace {

TEST(TCustomAction, TellsItsLinkedClientsOfChanges) {
    auto* action = new TAction(nullptr);
    TObject client;
    TBasicActionLink link(&client);
    int changes = 0;
    link.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, action);
        ++changes;
    };
    link.SetAction(action);
    EXPECT_EQ(action->ClientCount(), 1);
    action->SetCaption("Open");
    action->SetEnabled(false);
    action->SetImageIndex(3);
    action->SetImageIndex(3);  // no change, no news
    action->SetShortCut(0x404F);
    EXPECT_EQ(changes, 4);
    EXPECT_EQ(GetStrProp(action, "Caption"), "Open");
    EXPECT_EQ(GetOrdProp(action, "ImageIndex"), 3);

    {
        TBasicActionLink second(&client);
        second.SetAction(action);
        EXPECT_EQ(action->ClientCount(), 2);
    }
    EXPECT_EQ(action->ClientCount(), 1);  // a freed link unregisters

    bool freedHeard = false;
    link.OnActionFreed = [&](TObject* sender) {
        freedHeard = sender == action;
        EXPECT_EQ(link.Action(), nullptr);
    };
    action->Free();
    EXPECT_TRUE(freedHeard);
    EXPECT_EQ(link.Action(), nullptr);
    link.SetAction(nullptr);  // nothing to unregister from
}

TEST(TCustomAction, ExecutesOnlyWhenEnabledAndChecksGroups) {
    TComponent owner(nullptr);
    auto* list = new TActionList(&owner);
    auto* a = new TAction(&owner);
    auto* b = new TAction(&owner);
    a->SetActionList(list);
    b->SetActionList(list);
    EXPECT_EQ(list->ActionCount(), 2);
    EXPECT_EQ(b->Index(), 1);

    int executed = 0, updated = 0;
    a->OnExecute = [&](TObject*) { ++executed; };
    a->OnUpdate = [&](TObject*) { ++updated; };
    EXPECT_TRUE(a->Execute());
    EXPECT_EQ(executed, 1);
    EXPECT_EQ(updated, 1);  // an action is brought up to date before it runs
    a->SetEnabled(false);
    EXPECT_FALSE(a->Execute());
    EXPECT_EQ(executed, 1);
    a->SetEnabled(true);

    a->SetAutoCheck(true);
    a->SetGroupIndex(1);
    b->SetGroupIndex(1);
    b->SetChecked(true);
    a->Execute();
    EXPECT_TRUE(a->Checked());
    EXPECT_FALSE(b->Checked());

    // The list may take the execution over.
    list->OnExecute = [&](TBasicAction* act, bool& handled) { handled = act == b; };
    int bRuns = 0;
    b->OnExecute = [&](TObject*) { ++bRuns; };
    EXPECT_TRUE(b->Execute());
    EXPECT_EQ(bRuns, 0);

    auto* images = new TImageList(&owner);
    list->SetImages(images);
    EXPECT_EQ(a->Images(), images);
    images->Free();
    EXPECT_EQ(list->Images(), nullptr);
    b->Free();
    EXPECT_EQ(list->ActionCount(), 1);
    list->Free();
    EXPECT_EQ(a->ActionList(), nullptr);
}

}  // namespace
