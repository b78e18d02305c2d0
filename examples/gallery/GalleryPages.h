// The gallery's page control.
#pragma once

class TWinControl;

// Adds at Top of Parent a skinned page control of three pages: "Buttons",
// "Gauges" and "Closable", the last with a close button on its tab. The
// controls are owned by Parent.
void AddPagesRow(TWinControl* Parent, int Top);
