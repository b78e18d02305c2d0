// Form descriptions: text that names a form's components, their classes and
// the published properties that differ from their defaults, read into a form
// from the program's resources when the form is created.
#pragma once

#include <windows.h>

#include "Classes.h"

// A description that cannot be read: Line (1-based; 0 when the fault is not
// on a line) and a text that names it.
class EReadError : public EClassLibError {
public:
    EReadError(int Line, const String& Text);
    int Line() const { return FLine; }

private:
    int FLine;
};

// Components are made by the name of their class, through this registry.
using TComponentFactory = TComponent* (*)(TComponent* Owner);
void RegisterComponentClass(const char* ClassName, TComponentFactory Factory);
bool IsComponentClassRegistered(const String& ClassName);

template <typename T>
void RegisterComponentClass() {
    RegisterComponentClass(T::StaticClassInfo().Name,
                           [](TComponent* Owner) -> TComponent* { return TObject::Create<T>(Owner); });
}

// Reads a description into Root, whose class (or an ancestor of it) the
// description's outer object names. The new components are owned by Root and
// placed on the control they are described in; every component loaded gets
// Loaded once, after all are read. On any fault the components made so far
// are freed, Root's own values written are put back (Root leaves loading
// again) and EReadError is raised.
void ReadComponentFromText(TComponent* Root, const String& Text);
// The same from an RCDATA resource of Module (nullptr: the program).
void ReadComponentResource(TComponent* Root, const String& ResourceName, HMODULE Module = nullptr);

// Makes a form of class T owned by Owner and reads its description from the
// resource ResourceName; a form that cannot be read is freed, never shown.
template <typename T>
T* CreateFormFromResource(TComponent* Owner, const String& ResourceName, HMODULE Module = nullptr) {
    T* form = TObject::Create<T>(Owner);
    try {
        ReadComponentResource(form, ResourceName, Module);
    } catch (...) {
        form->Free();
        throw;
    }
    return form;
}
