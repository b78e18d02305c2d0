// The gallery's MDI example: a skinned frame whose children merge their menus
// into its menu line.
#pragma once

class TForm;

// Makes Frame an MDI frame titled "Skin gallery MDI" with a skin provider and
// the menu File and Window, and opens two children, each with a provider and
// a menu of its own; the second is maximized, so the frame's line shows its
// icon, its merged menu and its buttons. Frame must not have a window yet.
void BuildMDIExample(TForm* Frame);
