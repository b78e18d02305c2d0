// The gallery's row of plain system windows skinned through their handles.
#pragma once

class TForm;
class TsSkinManager;

// A multi-line EDIT and a LISTBOX, made with CreateWindowEx on Form at
// (Left, Top), each with enough lines to scroll both ways, given skinned
// scroll bars by window adapters of Manager. The adapters live until the
// program ends (they let go of their windows when the windows go).
void AddHandleSkinnedRow(TForm* Form, TsSkinManager* Manager, int Left, int Top);
