// The gallery's buttons that open system dialogs, skinned through the
// window-creation hook: a message box, the open-file dialog, the colour dialog.
#pragma once

class TForm;

// A column of three skinned buttons on Form at (Left, Top).
void AddDialogButtons(TForm* Form, int Left, int Top);
