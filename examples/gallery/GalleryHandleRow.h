// The gallery's row of plain system windows skinned through their handles.
#pragma once

class TForm;
class TsSkinManager;

// A multi-line EDIT and a LISTBOX, made with CreateWindowEx on Form at
// (Left, Top), each with enough lines to scroll both ways, given skinned
// scroll bars by window adapters of Manager. The adapters live until the
// program ends (they let go of their windows when the windows go).
// Also adds AddHandleSkinnedLists 320 pixels to the right.
void AddHandleSkinnedRow(TForm* Form, TsSkinManager* Manager, int Left, int Top);
// A drop-down COMBOBOX with a long list, a report list view with a header and
// many rows, and a tree view, made the same way, in a column at (Left, Top);
// the form is widened to hold it.
void AddHandleSkinnedLists(TForm* Form, TsSkinManager* Manager, int Left, int Top);
