// Edits keep what is set before their window exists (as properties or as the
// edit messages themselves) and give it to each window they make.
#include "StdTest.h"

#include "StdCtrls.h"

using namespace stdtest;

namespace {

TEST(Edit, SettingsMadeBeforeTheWindowReachItAndItsSuccessor) {
    FormPtr form = MakeForm(60, 60, 360, 260);
    auto* edit = TObject::Create<TEdit>(form.get());
    EXPECT_EQ(edit->Perform(EM_LIMITTEXT, 4, 0), 1);  // no parent, no window yet
    edit->Perform(EM_SETREADONLY, TRUE, 0);
    edit->SetModified(true);
    EXPECT_EQ(edit->Perform(EM_GETMODIFY, 0, 0), 1);
    EXPECT_TRUE(edit->ReadOnly());

    edit->SetParent(form.get());
    HWND h = edit->Handle();
    EXPECT_EQ(SendMessageA(h, EM_GETLIMITTEXT, 0, 0), 4);
    EXPECT_TRUE(GetWindowLongA(h, GWL_STYLE) & ES_READONLY);
    EXPECT_EQ(SendMessageA(h, EM_GETMODIFY, 0, 0), 1);

    // A new window (for a new border) starts as the last one ended.
    edit->SetReadOnly(false);
    edit->SetModified(false);
    SendMessageA(h, EM_SETMODIFY, TRUE, 0);
    edit->SetBorderStyle(bsNone);
    ASSERT_NE(edit->Handle(), h);
    EXPECT_TRUE(edit->Modified());

    // Typed by the user, the text stops at the limit.
    form->Show();
    SetForegroundWindow(form->Handle());
    edit->SetFocus();
    for (char key : std::string("ABCDEF")) {
        INPUT in[2] = {};
        in[0].type = in[1].type = INPUT_KEYBOARD;
        in[0].ki.wVk = in[1].ki.wVk = static_cast<WORD>(key);
        in[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, in, sizeof(INPUT));
    }
    Pump(150);
    EXPECT_STRCASEEQ(edit->Text().c_str(), "abcd");
}

}  // namespace
