#include "GalleryEditRow.h"

#include "Forms.h"
#include "StdCtrls.h"
#include "sEdit.h"
#include "sRichEdit.h"

#include <algorithm>
#include <string>

void AddEditRow(TForm* Form, int Left, int Top) {
    auto* title = TObject::Create<TLabel>(Form);
    title->SetParent(Form);
    title->SetBounds(Left, Top, 0, 0);
    title->Font()->SetHeight(-18);
    title->Font()->SetStyle(TFontStyles{fsBold});
    title->SetCaption("Skinned edit and rich edit");

    auto* edit = TObject::Create<TsEdit>(Form);
    edit->SetName("SkinnedEdit");
    edit->SetParent(Form);
    edit->SetBounds(Left + 60, Top + 40, 200, 24);
    edit->SetText("");
    edit->BoundLabel()->SetCaption("&City:");
    edit->BoundLabel()->SetActive(true);

    auto* rich = TObject::Create<TsRichEdit>(Form);
    rich->SetName("SkinnedRichEdit");
    rich->SetParent(Form);
    rich->SetScrollBars(ssVertical);
    rich->SetBounds(Left + 60, Top + 90, 360, 84);
    std::string text;
    for (int i = 1; i <= 24; ++i) text += "Rich edit line " + std::to_string(i) + "\r\n";
    rich->SetText(text);
    rich->BoundLabel()->SetCaption("Notes");
    rich->BoundLabel()->SetLayout(sclTopRight);
    rich->BoundLabel()->SetIndent(2);
    rich->BoundLabel()->SetActive(true);
}
