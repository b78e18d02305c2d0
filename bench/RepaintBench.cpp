// Client repaints of whole forms, skinned (built-in "Light" skin) against the
// same forms unskinned:
//   buttons.form      100 push buttons on a form skinned by its provider, as
//                     a program sees it (the window-creation hook gives every
//                     form a provider);
//   buttons.controls  the same buttons on a form the hook leaves alone
//                     (Tag -98): the controls' own share;
//   mixed.form        the buttons with panels, speed buttons and labels;
//   every.form        one of every skinned control that has a plain twin;
//   dialog.hook       a system dialog box skinned by the hook, against the
//                     same dialog with the skin off.
#include "BenchSkin.h"
#include "Buttons.h"
#include "ComCtrls.h"
#include "ComCtrlsLists.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "StdCtrlsLists.h"
#include "sButton.h"
#include "sCheckBox.h"
#include "sComboBox.h"
#include "sEdit.h"
#include "sGroupBox.h"
#include "sLabel.h"
#include "sAlphaListBox.h"
#include "sListControls.h"
#include "sListView.h"
#include "sPageControl.h"
#include "sPanel.h"
#include "sRadioButton.h"
#include "sSkinManager.h"
#include "sSpeedButton.h"
#include "sTrackBar.h"
#include "sTreeView.h"
#include "acProgressBar.h"

#include <cstdio>
#include <string>

namespace {

constexpr int kColumns = 10, kRows = 10;

constexpr int kPanels = 4, kPerPanel = 5;

// A form the hook skips keeps only its controls skinned.
constexpr int kNoProviderTag = -98;

template <typename T>
T* Put(TWinControl* parent, int left, int top, int width, int height) {
    T* c = TObject::Create<T>(parent);
    c->SetParent(parent);
    c->SetBounds(left, top, width, height);
    return c;
}

template <typename Button>
void AddButtons(TForm* form) {
    for (int i = 0; i < kColumns * kRows; ++i)
        Put<Button>(form, 8 + (i % kColumns) * 84, 8 + (i / kColumns) * 32, 80, 28)
            ->SetCaption("Button " + std::to_string(i + 1));
}

// Under the buttons: kPanels panels, each holding kPerPanel speed buttons
// and as many labels, with kPerPanel more labels on the form itself.
template <typename Panel, typename Speed, typename Label>
void AddOtherControls(TForm* form) {
    const int top = kRows * 32 + 16;
    for (int p = 0; p < kPanels; ++p) {
        auto* panel = Put<Panel>(form, 8 + p * 210, top, 200, 96);
        panel->SetCaption("");
        for (int i = 0; i < kPerPanel; ++i) {
            Put<Speed>(panel, 6 + i * 38, 8, 36, 28)->SetCaption("S" + std::to_string(i + 1));
            Put<Label>(panel, 6 + i * 38, 50, 36, 16)->SetCaption("L" + std::to_string(i + 1));
        }
    }
    for (int i = 0; i < kPerPanel; ++i)
        Put<Label>(form, 8 + i * 120, top + 104, 110, 16)->SetCaption("Form label " + std::to_string(i + 1));
}

// The controls of a form of every kind, skinned or plain.
struct TSkinnedKinds {
    using Button = TsButton;
    using Edit = TsEdit;
    using CheckBox = TsCheckBox;
    using RadioButton = TsRadioButton;
    using ComboBox = TsComboBox;
    using ListBox = TsListBox;
    using ListView = TsListView;
    using TreeView = TsTreeView;
    using GroupBox = TsGroupBox;
    using Panel = TsPanel;
    using PageControl = TsPageControl;
    using TabSheet = TsTabSheet;
    using TrackBar = TsTrackBar;
    using ProgressBar = TsProgressBar;
    using Label = TsLabel;
    using SpeedButton = TsSpeedButton;
};

struct TPlainKinds {
    using Button = TButton;
    using Edit = TEdit;
    using CheckBox = TCheckBox;
    using RadioButton = TRadioButton;
    using ComboBox = TComboBox;
    using ListBox = TListBox;
    using ListView = TListView;
    using TreeView = TTreeView;
    using GroupBox = TGroupBox;
    using Panel = TPanel;
    using PageControl = TPageControl;
    using TabSheet = TTabSheet;
    using TrackBar = TTrackBar;
    using ProgressBar = TProgressBar;
    using Label = TLabel;
    using SpeedButton = TSpeedButton;
};

template <typename K>
void AddEveryControl(TForm* form) {
    for (int i = 0; i < 4; ++i) {
        const int y = 8 + i * 32;
        Put<typename K::Button>(form, 8, y, 90, 26)->SetCaption("Button " + std::to_string(i + 1));
        Put<typename K::Edit>(form, 106, y, 120, 24)->SetText("Edit " + std::to_string(i + 1));
        Put<typename K::CheckBox>(form, 234, y, 110, 22)->SetCaption("Check " + std::to_string(i + 1));
        Put<typename K::RadioButton>(form, 352, y, 110, 22)->SetCaption("Radio " + std::to_string(i + 1));
        Put<typename K::SpeedButton>(form, 470, y, 60, 26)->SetCaption("Speed");
        Put<typename K::Label>(form, 538, y + 4, 80, 18)->SetCaption("Label " + std::to_string(i + 1));
    }
    auto* combo = Put<typename K::ComboBox>(form, 626, 8, 150, 24);
    for (const char* s : {"One", "Two", "Three"}) combo->Items()->Add(s);
    combo->SetItemIndex(0);
    auto* list = Put<typename K::ListBox>(form, 8, 140, 180, 150);
    for (int i = 1; i <= 40; ++i) list->Items()->Add("List line " + std::to_string(i));
    auto* view = Put<typename K::ListView>(form, 196, 140, 220, 150);
    view->SetViewStyle(vsReport);
    for (const char* c : {"Name", "Size"}) view->Columns()->Add()->SetCaption(c);
    for (int i = 1; i <= 20; ++i) {
        TListItem* item = view->Items()->Add();
        item->SetCaption("Item " + std::to_string(i));
        item->SubItems()->Add(std::to_string(i * 10));
    }
    auto* tree = Put<typename K::TreeView>(form, 424, 140, 180, 150);
    for (int i = 1; i <= 5; ++i) {
        TTreeNode* n = tree->Items()->AddChild(nullptr, "Node " + std::to_string(i));
        for (int j = 1; j <= 3; ++j) tree->Items()->AddChild(n, "Leaf " + std::to_string(j));
    }
    auto* group = Put<typename K::GroupBox>(form, 612, 40, 170, 110);
    group->SetCaption("Group");
    Put<typename K::CheckBox>(group, 10, 24, 140, 22)->SetCaption("In a group");
    auto* panel = Put<typename K::Panel>(form, 612, 160, 170, 130);
    panel->SetCaption("");
    Put<typename K::TrackBar>(panel, 6, 6, 156, 36);
    Put<typename K::ProgressBar>(panel, 6, 50, 156, 20)->SetPosition(60);
    auto* pages = Put<typename K::PageControl>(form, 8, 300, 774, 130);
    for (const char* caption : {"First", "Second", "Third"}) {
        auto* page = TObject::Create<typename K::TabSheet>(form);
        page->SetCaption(caption);
        page->SetPageControl(pages);
    }
    Put<typename K::Button>(pages->Pages(0), 8, 8, 100, 28)->SetCaption("On a page");
}

TForm* MakeForm(int width, int height, void (*fill)(TForm*), int tag = 0) {
    TForm* form = TObject::Create<TForm>(nullptr);
    form->SetTag(tag);
    form->SetBounds(10, 10, width, height);
    fill(form);
    form->Show();
    Application->ProcessMessages();
    return form;
}

// Every control invalidated and painted at once, as after an uncovering.
double RepaintTime(const std::string& key, HWND window) {
    return Measure(key, 20, [window] {
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        GdiFlush();
    });
}

double FormRepaint(const std::string& key, int width, int height, void (*fill)(TForm*), int tag = 0) {
    TForm* form = MakeForm(width, height, fill, tag);
    const double us = RepaintTime(key, form->Handle());
    form->Free();
    return us;
}

void AddSkinnedButtons(TForm* f) { AddButtons<TsButton>(f); }
void AddPlainButtons(TForm* f) { AddButtons<TButton>(f); }
void AddSkinnedMixed(TForm* f) {
    AddButtons<TsButton>(f);
    AddOtherControls<TsPanel, TsSpeedButton, TsLabel>(f);
}
void AddPlainMixed(TForm* f) {
    AddButtons<TButton>(f);
    AddOtherControls<TPanel, TSpeedButton, TLabel>(f);
}

// A dialog box of the system's dialog manager, built from a template in
// memory: push buttons, check boxes, edits, a list box and a group box.
class TDialogTemplate {
public:
    TDialogTemplate() {
        Align();
        DLGTEMPLATE t{};
        t.style = DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
        t.cx = 300;
        t.cy = 200;
        t.cdit = 0;
        FCountAt = FBytes.size() + offsetof(DLGTEMPLATE, cdit);
        Append(&t, sizeof t);
        Word(0), Word(0), Text("A dialog box");  // no menu, the standard class
        Word(8), Text("MS Shell Dlg");
        for (int i = 0; i < 12; ++i)
            Item(0x0080, BS_PUSHBUTTON | WS_TABSTOP, 8 + (i % 4) * 70, 8 + (i / 4) * 20, 64, 14, "Button");
        for (int i = 0; i < 6; ++i)
            Item(0x0080, BS_AUTOCHECKBOX | WS_TABSTOP, 8 + (i % 3) * 90, 72 + (i / 3) * 14, 84, 12, "Check box");
        for (int i = 0; i < 3; ++i)
            Item(0x0081, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 8 + i * 96, 104, 88, 14, "Edit");
        Item(0x0083, LBS_NOTIFY | WS_VSCROLL | WS_BORDER, 8, 124, 140, 70, "");
        Item(0x0080, BS_GROUPBOX, 156, 122, 136, 72, "Group");
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(FBytes.data()); }

private:
    void Align() {
        while (FBytes.size() % 4) FBytes.push_back(0);
    }
    void Append(const void* p, std::size_t n) {
        const auto* b = static_cast<const unsigned char*>(p);
        FBytes.insert(FBytes.end(), b, b + n);
    }
    void Word(WORD w) { Append(&w, sizeof w); }
    void Text(const char* s) {
        for (; *s; ++s) Word(WORD(static_cast<unsigned char>(*s)));
        Word(0);
    }
    void Item(WORD cls, DWORD style, short x, short y, short cx, short cy, const char* text) {
        Align();
        DLGITEMTEMPLATE it{};
        it.style = style | WS_CHILD | WS_VISIBLE;
        it.x = x, it.y = y, it.cx = cx, it.cy = cy;
        it.id = WORD(100 + ++FItems);
        Append(&it, sizeof it);
        Word(0xFFFF), Word(cls), Text(text), Word(0);
        reinterpret_cast<DLGTEMPLATE*>(FBytes.data() + FCountAt - offsetof(DLGTEMPLATE, cdit))->cdit = WORD(FItems);
    }
    std::vector<unsigned char> FBytes;
    std::size_t FCountAt = 0;
    int FItems = 0;
};

INT_PTR CALLBACK DialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

double DialogRepaint(const std::string& key) {
    static const TDialogTemplate dialogTemplate;
    HWND dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), dialogTemplate.Get(), nullptr, DialogProc, 0);
    if (!dialog) return 0;
    SetWindowPos(dialog, HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    Application->ProcessMessages();
    const double us = RepaintTime(key, dialog);
    DestroyWindow(dialog);
    Application->ProcessMessages();
    return us;
}

struct TFigures {
    double Buttons, ButtonsAlone, Mixed, Every, Dialog;
};

TFigures Run(const char* side, bool skinned) {
    const std::string s = side;
    TFigures f{};
    const int w = kColumns * 84 + 24, h = kRows * 32 + 48;
    f.ButtonsAlone =
        FormRepaint("buttons.controls." + s, w, h, skinned ? AddSkinnedButtons : AddPlainButtons, kNoProviderTag);
    f.Buttons = FormRepaint("buttons.form." + s, w, h, skinned ? AddSkinnedButtons : AddPlainButtons);
    f.Mixed = FormRepaint("mixed.form." + s, w, h + 136, skinned ? AddSkinnedMixed : AddPlainMixed);
    f.Every = FormRepaint("every.form." + s, 800, 480,
                          skinned ? AddEveryControl<TSkinnedKinds> : AddEveryControl<TPlainKinds>);
    f.Dialog = DialogRepaint("dialog.hook." + s);
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    TsSkinManager* manager = StartWithLightSkin(argc, argv);
    if (!manager) return 1;
    const TFigures skinned = Run("skinned", true);
    manager->SetActive(false);
    const TFigures plain = Run("plain", false);
    manager->Free();

    std::printf("client repaint, us (skinned / plain, ratio; goal 1.10):\n");
    auto line = [](const char* what, const char* key, double s, double p) {
        std::printf("  %-52s %9.0f %9.0f  %5.2f\n", what, s, p, ReportRatio(key, s, p, 1.10));
    };
    line("100 buttons, the form skinned by its provider", "buttons.form", skinned.Buttons, plain.Buttons);
    line("100 buttons alone (no provider on the form)", "buttons.controls", skinned.ButtonsAlone, plain.ButtonsAlone);
    line("100 buttons, 4 panels, 20 speed buttons, 25 labels", "mixed.form", skinned.Mixed, plain.Mixed);
    line("a form of every kind of control", "every.form", skinned.Every, plain.Every);
    line("a system dialog box skinned by the hook", "dialog.hook", skinned.Dialog, plain.Dialog);
    return 0;
}
