// The gallery's rows of labels, speed buttons, panels and the drag bar.
#pragma once

class TWinControl;

// Adds the rows to Parent from Top down: labels of every kind, a toolbar of
// speed buttons, nested panels with buttons on them, and a drag bar that
// moves the form. The controls are owned by Parent.
void AddControlRows(TWinControl* parent, int top);
