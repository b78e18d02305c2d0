#include "GalleryChecks.h"

#include "sCheckBox.h"
#include "sGroupBox.h"
#include "sPanel.h"
#include "sRadioButton.h"

namespace {

template <typename T>
T* Put(TWinControl* parent, int left, int top, int width, int height, const char* caption) {
    T* c = TObject::Create<T>(parent);
    c->SetParent(parent);
    c->SetBounds(left, top, width, height);
    c->SetCaption(caption);
    return c;
}

}  // namespace

void AddCheckRow(TWinControl* parent, int top) {
    // On a skinned panel, so that the boxes show its picture behind them
    // whatever the form's colour.
    auto* row = Put<TsPanel>(parent, 16, top, 754, 140, "");
    row->SetName("CheckRow");

    // Check boxes: unchecked, checked, grayed, disabled and read-only.
    Put<TsCheckBox>(row, 10, 8, 120, 22, "Unchecked");
    Put<TsCheckBox>(row, 10, 32, 120, 22, "Checked")->SetChecked(true);
    auto* grayed = Put<TsCheckBox>(row, 10, 56, 120, 22, "Grayed");
    grayed->SetAllowGrayed(true);
    grayed->SetState(cbGrayed);
    auto* off = Put<TsCheckBox>(row, 10, 80, 120, 22, "Disabled");
    off->SetChecked(true);
    off->SetEnabled(false);
    auto* fixed = Put<TsCheckBox>(row, 10, 104, 120, 22, "Read only");
    fixed->SetChecked(true);
    fixed->SetReadOnly(true);

    // Radio buttons of one parent, one of them disabled.
    Put<TsRadioButton>(row, 140, 8, 120, 22, "Radio one")->SetChecked(true);
    Put<TsRadioButton>(row, 140, 32, 120, 22, "Radio two");
    Put<TsRadioButton>(row, 140, 56, 120, 22, "Radio off")->SetEnabled(false);

    // A group box holding a check box, and a radio group of two columns.
    auto* group = Put<TsGroupBox>(row, 280, 6, 200, 126, "Group box");
    Put<TsCheckBox>(group, 12, 30, 160, 22, "Inside the group");
    auto* wrapped = Put<TsCheckBox>(group, 12, 60, 170, 44, "A caption wrapped at words, right aligned");
    wrapped->SetWordWrap(true);
    wrapped->SetBounds(12, 60, 176, 44);
    wrapped->SetAlignment(taLeftJustify);
    auto* radios = Put<TsRadioGroup>(row, 492, 6, 252, 126, "Radio group");
    for (const char* item : {"First", "Second", "Third", "Fourth", "Fifth"}) radios->Items()->Add(item);
    radios->SetColumns(2);
    radios->SetItemIndex(1);
}
