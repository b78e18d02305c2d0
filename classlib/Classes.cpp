#include "Classes.h"

#include <algorithm>
#include <cctype>

namespace {
bool SameText(const String& a, const char* b) {
    size_t n = a.size();
    for (size_t i = 0; i < n; ++i) {
        if (b[i] == 0) return false;
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    }
    return b[n] == 0;
}
}  // namespace

const TPropInfo* TClassInfo::FindProp(const String& name) const {
    for (const TClassInfo* c = this; c; c = c->Parent)
        for (const TPropInfo& p : c->Props)
            if (SameText(name, p.Name.c_str())) return &p;
    return nullptr;
}

bool TClassInfo::InheritsFrom(const char* className) const {
    for (const TClassInfo* c = this; c; c = c->Parent)
        if (SameText(className, c->Name)) return true;
    return false;
}

const TClassInfo& TObject::StaticClassInfo() {
    static const TClassInfo info("TObject", nullptr);
    return info;
}

bool TObject::ClassNameIs(const String& name) const { return SameText(name, ClassInfo()->Name); }

void TObject::Free() {
    BeforeDestruction();
    delete this;
}

// ---------------------------------------------------------------------------

CLASSLIB_DEFINE_CLASS(TPersistent, TObject)

void TPersistent::Assign(TPersistent* Source) {
    if (Source) {
        Source->AssignTo(this);
        return;
    }
    throw EClassLibError("Cannot assign a nil to a " + ClassName());
}

void TPersistent::AssignTo(TPersistent* Dest) {
    throw EClassLibError("Cannot assign a " + ClassName() + " to a " + Dest->ClassName());
}

// ---------------------------------------------------------------------------

// clang-format off
CLASSLIB_DEFINE_CLASS(TComponent, TPersistent,
    StrProp<TComponent>("Name", &TComponent::Name,
                        &TComponent::SetName),
    OrdProp<TComponent>("Tag", TTypeKind::tkInteger, &TComponent::Tag, &TComponent::SetTag, 0))
// clang-format on

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    if (!FComponentState.Contains(csDestroying)) Destroying();
    NotifyFreeing();
    DestroyComponents();
    if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::NotifyFreeing() {
    // Tell everyone who asked that we are going.
    while (!FFreeNotifies.empty()) {
        TComponent* other = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        other->RemoveNotification(this);
        other->Notification(this, TOperation::opRemove);
    }
}

void TComponent::BeforeDestruction() {
    if (!FComponentState.Contains(csDestroying)) Destroying();
    // Newest first, as DestroyComponents does; controls stay for the destructor
    // (a parent frees its children itself; others keep their place until then).
    for (size_t i = FComponents.size(); i-- > 0;) {
        if (i >= FComponents.size()) continue;  // one destructor freed others
        TComponent* c = FComponents[i];
        if (c->InheritsFrom("TControl")) continue;
        Remove(c);
        c->Free();
    }
}

void TComponent::Destroying() {
    if (FComponentState.Contains(csDestroying)) return;
    FComponentState.Include(csDestroying);
    for (TComponent* c : FComponents) c->Destroying();
}

TComponent* TComponent::Components(int Index) const {
    if (Index < 0 || Index >= ComponentCount()) throw EClassLibError("List index out of bounds");
    return FComponents[static_cast<size_t>(Index)];
}

int TComponent::ComponentIndex() const {
    if (!FOwner) return -1;
    auto& list = FOwner->FComponents;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

TComponent* TComponent::FindComponent(const String& AName) const {
    if (AName.empty()) return nullptr;
    for (TComponent* c : FComponents)
        if (SameText(AName, c->FName.c_str())) return c;
    return nullptr;
}

void TComponent::SetName(const String& NewName) {
    if (NewName == FName) return;
    if (FOwner && !NewName.empty()) {
        TComponent* other = FOwner->FindComponent(NewName);
        if (other && other != this) throw EClassLibError("A component named " + NewName + " already exists");
    }
    FName = NewName;
}

void TComponent::InsertComponent(TComponent* AComponent) {
    if (AComponent->FOwner) AComponent->FOwner->RemoveComponent(AComponent);
    Insert(AComponent);
    Notification(AComponent, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
    Notification(AComponent, TOperation::opRemove);
    Remove(AComponent);
}

void TComponent::Insert(TComponent* AComponent) {
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
}

void TComponent::Remove(TComponent* AComponent) {
    auto it = std::find(FComponents.begin(), FComponents.end(), AComponent);
    if (it != FComponents.end()) FComponents.erase(it);
    AComponent->FOwner = nullptr;
}

void TComponent::DestroyComponents() {
    while (!FComponents.empty()) {
        TComponent* c = FComponents.back();
        Remove(c);
        c->Free();
    }
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == TOperation::opRemove && AComponent) RemoveFreeNotification(AComponent);
    // Owned components hear of each other's removal, as owners do.
    for (size_t i = FComponents.size(); i-- > 0;) {
        if (i >= FComponents.size()) continue;
        if (FComponents[i] != AComponent) FComponents[i]->Notification(AComponent, Operation);
    }
}

void TComponent::FreeNotification(TComponent* AComponent) {
    if (!AComponent || AComponent == this) return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end())
        FFreeNotifies.push_back(AComponent);
    if (std::find(AComponent->FFreeNotifies.begin(), AComponent->FFreeNotifies.end(), this) ==
        AComponent->FFreeNotifies.end())
        AComponent->FFreeNotifies.push_back(this);
    FComponentState.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
    RemoveNotification(AComponent);
    if (AComponent) AComponent->RemoveNotification(this);
}

void TComponent::RemoveNotification(TComponent* AComponent) {
    auto it = std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent);
    if (it != FFreeNotifies.end()) FFreeNotifies.erase(it);
}

void TComponent::BeginLoading() {
    FComponentState.Include(csLoading);
    FComponentState.Include(csReading);
    for (TComponent* c : FComponents) c->BeginLoading();
}

void TComponent::EndLoading() {
    for (TComponent* c : FComponents) c->EndLoading();
    FComponentState.Exclude(csReading);
    if (FComponentState.Contains(csLoading)) Loaded();
}

void TComponent::Loaded() { FComponentState.Exclude(csLoading); }

void TComponent::SetDesigning(bool Value) {
    if (Value) FComponentState.Include(csDesigning);
    else FComponentState.Exclude(csDesigning);
    for (TComponent* c : FComponents) c->SetDesigning(Value);
}

// ---------------------------------------------------------------------------

TFreeWatch::TFreeWatch(TComponent* AComponent) : TComponent(nullptr), FTarget(AComponent) {
    if (FTarget) FreeNotification(FTarget);
}

TFreeWatch::~TFreeWatch() {
    // Leave quietly: the target hears nothing of the watch going.
    if (FTarget) RemoveFreeNotification(FTarget);
}

void TFreeWatch::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == TOperation::opRemove && AComponent == FTarget) FTarget = nullptr;
}

// ---------------------------------------------------------------------------

const TPropInfo* GetPropInfo(const TObject* Obj, const String& Name) {
    return Obj ? Obj->ClassInfo()->FindProp(Name) : nullptr;
}

bool HasPublishedProperty(const TObject* Obj, const String& Name) { return GetPropInfo(Obj, Name) != nullptr; }

std::int64_t GetOrdProp(const TObject* Obj, const String& Name) {
    const TPropInfo* p = GetPropInfo(Obj, Name);
    return p && p->GetOrd ? p->GetOrd(Obj) : 0;
}

void SetOrdProp(TObject* Obj, const String& Name, std::int64_t Value) {
    const TPropInfo* p = GetPropInfo(Obj, Name);
    if (p && p->SetOrd) p->SetOrd(Obj, Value);
}

TObject* GetObjectProp(const TObject* Obj, const String& Name) {
    const TPropInfo* p = GetPropInfo(Obj, Name);
    return p && p->GetObject ? p->GetObject(Obj) : nullptr;
}

void SetObjectProp(TObject* Obj, const String& Name, TObject* Value) {
    const TPropInfo* p = GetPropInfo(Obj, Name);
    if (p && p->SetObject) p->SetObject(Obj, Value);
}

std::any GetMethodProp(const TObject* Obj, const String& Name) {
    const TPropInfo* p = GetPropInfo(Obj, Name);
    return p && p->GetMethod ? p->GetMethod(Obj) : std::any();
}

bool SetMethodProp(TObject* Obj, const String& Name, const std::any& Value) {
    const TPropInfo* p = GetPropInfo(Obj, Name);
    if (!p || !p->SetMethod) return false;
    p->SetMethod(Obj, Value);
    return true;
}

String GetStrProp(const TObject* Obj, const String& Name) {
    const TPropInfo* p = GetPropInfo(Obj, Name);
    return p && p->GetStr ? p->GetStr(Obj) : String();
}

void SetStrProp(TObject* Obj, const String& Name, const String& Value) {
    const TPropInfo* p = GetPropInfo(Obj, Name);
    if (p && p->SetStr) p->SetStr(Obj, Value);
}
