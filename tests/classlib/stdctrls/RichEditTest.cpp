// The edit's password character and new window on a Ctl3D change, and the rich
// edit on riched20's "RichEdit20A": what it keeps across a new window, and its
// change event.
#include "StdTest.h"

#include "StdCtrls.h"

#include <richedit.h>

using namespace stdtest;

TEST(Edit, PasswordCharAndNewBorderKeepTextLimitAndMask) {
    FormPtr form = MakeForm(60, 60, 360, 260);
    auto* edit = Make<TEdit>(form.get(), 10, 10, 150, 22);
    edit->SetText("secret");
    edit->SetMaxLength(12);
    edit->SetPasswordChar('*');
    const HWND first = edit->Handle();
    EXPECT_EQ(SendMessageA(first, EM_GETPASSWORDCHAR, 0, 0), '*');

    // The border is made with the window: a Ctl3D change makes a new one.
    edit->SetCtl3D(false);
    const HWND second = edit->Handle();
    EXPECT_NE(second, first);
    EXPECT_FALSE(GetWindowLongA(second, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(edit->Text(), "secret");
    EXPECT_EQ(SendMessageA(second, EM_GETLIMITTEXT, 0, 0), 12);
    EXPECT_EQ(SendMessageA(second, EM_GETPASSWORDCHAR, 0, 0), '*');
}

TEST(RichEdit, RichEdit20AWindowKeepsLimitTextAndColoursWhenMadeAgain) {
    FormPtr form = MakeForm(60, 60, 360, 260);
    auto* rich = Make<TRichEdit>(form.get(), 10, 10, 200, 100);
    int changes = 0;
    rich->OnChange = [&](TObject*) { ++changes; };
    rich->SetTextLimit(100000);
    rich->SetText("first line");
    rich->SetColor(TColor(0x203040));
    const HWND first = rich->Handle();
    WNDCLASSA sys{};
    ASSERT_TRUE(GetClassInfoA(nullptr, RICHEDIT_CLASSA, &sys)) << "riched20 loaded with the first rich edit";
    EXPECT_EQ(rich->DefWndProc(), sys.lpfnWndProc);

    // A limit sent to the control is kept too, like one set through the property.
    rich->Perform(EM_EXLIMITTEXT, 0, 70000);
    EXPECT_EQ(rich->TextLimit(), 70000);
    rich->SetScrollBars(ssVertical);
    const HWND second = rich->Handle();
    EXPECT_NE(second, first);
    EXPECT_EQ(SendMessageA(second, EM_GETLIMITTEXT, 0, 0), 70000);
    EXPECT_EQ(rich->Text(), "first line");

    // The default text colour follows the font, on the new window too.
    rich->Font()->SetColor(TColor(0x0000C0));
    EXPECT_EQ(rich->DefAttributesColor(), TColor(0x0000C0));
    CHARFORMAT2A cf{};
    cf.cbSize = sizeof cf;
    SendMessageA(second, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
    EXPECT_EQ(cf.crTextColor, ColorToRGB(TColor(0x0000C0)));

    // Typing is a change; the text the window was made with is not.
    EXPECT_EQ(changes, 0);
    SendMessageA(second, WM_CHAR, 'x', 1);
    EXPECT_EQ(changes, 1);
}
