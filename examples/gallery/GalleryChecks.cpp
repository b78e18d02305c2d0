#include "GalleryChecks.h"

#include "FormReader.h"
#include "sPanel.h"
#include "sRegisterClasses.h"

void AddCheckRow(TWinControl* parent, int top) {
    // The row is described in GalleryChecks.txt, embedded as a resource; only
    // its place on the form, which the gallery's layout decides, is code.
    RegisterSkinnedClasses();
    auto* row = TObject::Create<TsPanel>(parent);
    row->SetParent(parent);
    row->SetBounds(16, top, 754, 140);
    row->SetCaption("");
    ReadComponentResource(row, "GALLERYCHECKS");
}
