// The gallery's row of check boxes, radio buttons, a group box and a radio group.
#pragma once

class TWinControl;

// Adds the row to Parent at Top: a skinned panel 754 x 140 holding check
// boxes and radio buttons in their states, a group box and a radio group.
void AddCheckRow(TWinControl* parent, int top);
