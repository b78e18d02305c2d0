// Edits: what is set before the window exists (properties, or the edit
// messages themselves) is kept and given to the window when it is made, and
// again to the next one when the window is made anew.
#include "StdTest.h"

#include "StdCtrls.h"

using namespace stdtest;

namespace {

void TypeKeys(const char* Keys) {
    for (const char* k = Keys; *k; ++k) {
        INPUT in[2] = {};
        in[0].type = in[1].type = INPUT_KEYBOARD;
        in[0].ki.wVk = in[1].ki.wVk = static_cast<WORD>(*k);
        in[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, in, sizeof(INPUT));
    }
    Pump(100);
}

TEST(Edit, SettingsMadeBeforeTheWindowReachItAndItsSuccessor) {
    FormPtr form = MakeForm();
    auto* edit = TObject::Create<TEdit>(form.get());
    // Sent as messages, before the edit has a parent to make a window on.
    EXPECT_EQ(edit->Perform(EM_LIMITTEXT, 4, 0), 1);
    edit->Perform(EM_SETREADONLY, TRUE, 0);
    edit->SetModified(true);
    EXPECT_FALSE(edit->HandleAllocated());
    EXPECT_EQ(edit->MaxLength(), 4);
    EXPECT_TRUE(edit->ReadOnly());
    EXPECT_TRUE(edit->Modified());
    EXPECT_EQ(edit->Perform(EM_GETMODIFY, 0, 0), 1);

    edit->SetParent(form.get());
    edit->SetBounds(10, 10, 150, 22);
    HWND h = edit->Handle();
    EXPECT_EQ(SendMessageA(h, EM_GETLIMITTEXT, 0, 0), 4);
    EXPECT_TRUE(GetWindowLongA(h, GWL_STYLE) & ES_READONLY);
    EXPECT_EQ(SendMessageA(h, EM_GETMODIFY, 0, 0), 1);

    // A new window (a new border) starts as the last one ended.
    edit->SetModified(false);
    edit->SetReadOnly(false);
    SendMessageA(h, EM_SETMODIFY, TRUE, 0);
    edit->SetBorderStyle(bsNone);
    ASSERT_NE(edit->Handle(), h);
    h = edit->Handle();
    EXPECT_TRUE(edit->Modified());
    EXPECT_FALSE(GetWindowLongA(h, GWL_STYLE) & ES_READONLY);

    // Typed by the user, the text stops at the limit set before any window.
    form->Show();
    Pump();
    SetForegroundWindow(form->Handle());
    edit->SetFocus();
    Pump();
    TypeKeys("ABCDEFG");
    EXPECT_STRCASEEQ(edit->Text().c_str(), "abcd");
}

}  // namespace
