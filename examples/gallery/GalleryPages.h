// The gallery's page control.
#pragma once

class TWinControl;

// Adds at (Left, Top) of Parent a skinned page control, 754 x 150, of three
// pages: "Buttons", "Gauges" and "Closable", the last with a close button on
// its tab. The controls are owned by Parent.
void AddPagesRow(TWinControl* Parent, int Left, int Top);
