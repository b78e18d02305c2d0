// A skinned form with one button, built against the installed library: the
// built-in "Light" skin must come with SkinLibrary::skin. Exits 0 when the
// skin loaded from the program's own resources and the button took it.
#include "Forms.h"
#include "sButton.h"
#include "sSkinManager.h"

#include <cstdio>

int main() {
    Application->Initialize();
    TForm* form = nullptr;
    Application->CreateForm(form);
    auto* manager = TObject::Create<TsSkinManager>(form);
    String error;
    if (!manager->LoadSkin("Light", error)) {
        std::printf("built-in skin not loaded: %s\n", error.c_str());
        return 1;
    }
    auto* button = TObject::Create<TsButton>(form);
    button->SetParent(form);
    button->SetBounds(16, 16, 90, 28);
    button->SetCaption("OK");
    form->Show();
    Application->ProcessMessages();
    const bool skinned = manager->Active() && button->SkinData()->SkinIndex >= 0 && button->HandleAllocated();
    std::printf("%s: %s\n", manager->SkinData().Name.c_str(), skinned ? "skinned" : "not skinned");
    return skinned ? 0 : 1;
}
