// The gallery's menus: a main menu and a popup menu on the form's background.
#pragma once

class TForm;

// Gives Form a main menu and a popup menu (right click on the background)
// holding every kind of item: plain, with a shortcut, disabled, default,
// checked, radio items, separators and a caption divider, a sub-menu, and
// glyphs from an image list and from the item's own bitmap. Made before the
// skin is loaded, so that loading it makes them owner-drawn.
void AddGalleryMenus(TForm* Form);
