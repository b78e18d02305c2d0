// The gallery's row of skinned list controls.
#pragma once

class TWinControl;

// Adds at (Left, Top) of Parent, in a column 436 wide and 170 high: a combo box whose list outgrows its drop-down, a
// list box, a list view in report view with a sorted column, and a tree
// view with an unfolded node. The controls are owned by Parent.
void AddListRow(TWinControl* Parent, int Left, int Top);
