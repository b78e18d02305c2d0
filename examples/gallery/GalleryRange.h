// The gallery's row of skinned range controls.
#pragma once

class TWinControl;

// Adds at Top of Parent: a track bar, the up-down arrows that step it, two
// progress bars (smooth and in blocks) that follow it, and two panels
// divided by a splitter. The controls are owned by Parent.
void AddRangeRow(TWinControl* Parent, int Top);
