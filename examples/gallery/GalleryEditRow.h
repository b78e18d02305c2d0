// The gallery's row of skinned editors.
#pragma once

class TForm;

// A skinned edit with its caption label bound at the left and a skinned rich
// edit with enough lines to scroll, at (Left, Top) of Form; the form grows to
// show them.
void AddEditRow(TForm* Form, int Left, int Top);
