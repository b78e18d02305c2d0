// Makes the skinned controls and the skin manager known to form
// descriptions by their class names.
#pragma once

// Registers every skinned class a form description may name; call it once
// before reading such a description (more calls do no harm).
void RegisterSkinnedClasses();
