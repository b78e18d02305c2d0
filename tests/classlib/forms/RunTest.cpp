// The program's life: the first form made by CreateForm becomes the main
// form, Run shows it and runs the loop with idle work until it is closed.
// Kept in an executable of its own: the ended loop leaves the application
// terminated for good, as a program's end does.
#include "TestControls.h"

#include "Timers.h"

using namespace ctltest;

namespace {

TEST(Application, RunShowsTheMainFormAndEndsWhenItCloses) {
    ASSERT_EQ(Application->MainForm(), nullptr);
    TForm* main = nullptr;
    Application->CreateForm(main);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(Application->MainForm(), main);
    EXPECT_EQ(main->Owner(), static_cast<TComponent*>(Application));
    TForm* second = nullptr;
    Application->CreateForm(second);
    EXPECT_EQ(Application->MainForm(), main);
    // Secondary forms belong to the main form's window.
    EXPECT_EQ(GetWindow(second->Handle(), GW_OWNER), main->Handle());

    bool shown = false;
    main->OnShow = [&](TObject*) { shown = true; };
    int idles = 0;
    Application->OnIdle = [&](TObject*, bool& Done) {
        ++idles;
        Done = true;
    };
    TTimer timer(nullptr);
    timer.SetInterval(50);
    timer.OnTimer = [&](TObject*) {
        timer.SetEnabled(false);
        main->Close();
    };
    Application->Run();
    Application->OnIdle = nullptr;
    EXPECT_TRUE(shown);
    EXPECT_TRUE(Application->Terminated());
    EXPECT_GT(idles, 0);
    main->Free();
    EXPECT_EQ(Application->MainForm(), nullptr);
    second->Free();
}

}  // namespace
