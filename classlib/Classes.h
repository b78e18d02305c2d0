// The root of the class library: objects with class information and
// published properties, persistent objects and owned components.
#pragma once

#include "Types.h"

#include <any>
#include <cstdint>
#include <utility>
#include <vector>

class TObject;
class TComponent;

// ---------------------------------------------------------------------------
// Published properties: one table per class, read and written by name.

enum class TTypeKind { tkInteger, tkEnumeration, tkBool, tkSet, tkChar, tkClass, tkString, tkMethod };

struct TPropInfo {
    String Name;
    TTypeKind Kind = TTypeKind::tkInteger;
    // Ordinal kinds (integer, enumeration, bool, set, char).
    std::function<std::int64_t(const TObject*)> GetOrd;
    std::function<void(TObject*, std::int64_t)> SetOrd;
    // Class kind.
    std::function<TObject*(const TObject*)> GetObject;
    std::function<void(TObject*, TObject*)> SetObject;
    // String kind.
    std::function<String(const TObject*)> GetStr;
    std::function<void(TObject*, const String&)> SetStr;
    bool HasDefault = false;
    std::int64_t Default = 0;
    // Enumeration and set kinds: the names of the values by ordinal, when given.
    std::vector<String> ElementNames;
    // Method kind (events): the slot as a value of its own TMethod type.
    std::function<std::any(const TObject*)> GetMethod;
    std::function<void(TObject*, const std::any&)> SetMethod;
};

struct TClassInfo {
    const char* Name;
    const TClassInfo* Parent;
    std::vector<TPropInfo> Props;

    TClassInfo(const char* name, const TClassInfo* parent, std::vector<TPropInfo> props = {})
        : Name(name), Parent(parent), Props(std::move(props)) {}

    // Case-insensitive look-up through this class and its ancestors.
    const TPropInfo* FindProp(const String& name) const;
    bool InheritsFrom(const char* className) const;
};

// Declares the class information of a class; the matching definition is
// written with CLASSLIB_DEFINE_CLASS in the class's source file.
#define CLASSLIB_DECLARE_CLASS(Name)                                            \
public:                                                                         \
    static const TClassInfo& StaticClassInfo();                                 \
    const TClassInfo* ClassInfo() const override { return &StaticClassInfo(); } \
                                                                                \
private:

#define CLASSLIB_DEFINE_CLASS(Name, ParentName, ...)                                                              \
    const TClassInfo& Name::StaticClassInfo() {                                                                   \
        static const TClassInfo info(#Name, &ParentName::StaticClassInfo(), std::vector<TPropInfo>{__VA_ARGS__}); \
        return info;                                                                                              \
    }

// The identifiers of an enumeration's values by ordinal. Declared once beside
// the enumeration (CLASSLIB_ENUM_NAMES), they name the values of every
// published property of that type or of a set of it, so that a property can
// be set by the identifier of its value.
template <typename E>
struct TEnumNames {
    static std::vector<String> Get() { return {}; }
};
#define CLASSLIB_ENUM_NAMES(E, ...)                                \
    template <>                                                    \
    struct TEnumNames<E> {                                         \
        static std::vector<String> Get() { return {__VA_ARGS__}; } \
    };

namespace propdetail {
template <typename T>
struct SetOf {
    using Element = void;
};
template <typename E>
struct SetOf<TSet<E>> {
    using Element = E;
};
template <typename T>
std::vector<String> NamesOf() {
    if constexpr (std::is_enum_v<T>) return TEnumNames<T>::Get();
    else if constexpr (!std::is_void_v<typename SetOf<T>::Element>)
        return TEnumNames<typename SetOf<T>::Element>::Get();
    else return {};
}
template <typename T>
std::int64_t ToOrd(const T& v) {
    if constexpr (std::is_enum_v<T>) return static_cast<std::int64_t>(v);
    else if constexpr (std::is_integral_v<T>) return static_cast<std::int64_t>(v);
    else return static_cast<std::int64_t>(v.ToBits());
}
template <typename T>
T FromOrd(std::int64_t v) {
    if constexpr (std::is_enum_v<T>) return static_cast<T>(v);
    else if constexpr (std::is_integral_v<T>) return static_cast<T>(v);
    else return T::FromBits(static_cast<std::uint64_t>(v));
}
template <typename T>
struct Bare {
    using type = std::remove_cv_t<std::remove_reference_t<T>>;
};
}  // namespace propdetail

// An ordinal property read through Getter and written through Setter.
template <typename C, typename G, typename S>
TPropInfo OrdProp(const char* name, TTypeKind kind, G (C::*getter)() const, void (C::*setter)(S), std::int64_t def = 0,
                  bool hasDefault = true) {
    using V = typename propdetail::Bare<S>::type;
    TPropInfo p;
    p.Name = name;
    p.Kind = kind;
    p.GetOrd = [getter](const TObject* o) { return propdetail::ToOrd((static_cast<const C*>(o)->*getter)()); };
    p.SetOrd = [setter](TObject* o, std::int64_t v) { (static_cast<C*>(o)->*setter)(propdetail::FromOrd<V>(v)); };
    p.HasDefault = hasDefault;
    p.Default = def;
    p.ElementNames = propdetail::NamesOf<V>();
    return p;
}

// An ordinal property kept in a plain field.
template <typename C, typename V>
TPropInfo OrdField(const char* name, TTypeKind kind, V C::*field, std::int64_t def = 0, bool hasDefault = true) {
    TPropInfo p;
    p.Name = name;
    p.Kind = kind;
    p.GetOrd = [field](const TObject* o) { return propdetail::ToOrd(static_cast<const C*>(o)->*field); };
    p.SetOrd = [field](TObject* o, std::int64_t v) { static_cast<C*>(o)->*field = propdetail::FromOrd<V>(v); };
    p.HasDefault = hasDefault;
    p.Default = def;
    p.ElementNames = propdetail::NamesOf<V>();
    return p;
}

// An object property; setter may be null for a read-only sub-object.
template <typename C, typename T>
TPropInfo ObjProp(const char* name, T* (C::*getter)() const, void (C::*setter)(T*) = nullptr) {
    TPropInfo p;
    p.Name = name;
    p.Kind = TTypeKind::tkClass;
    p.GetObject = [getter](const TObject* o) -> TObject* { return (static_cast<const C*>(o)->*getter)(); };
    if (setter) p.SetObject = [setter](TObject* o, TObject* v) { (static_cast<C*>(o)->*setter)(dynamic_cast<T*>(v)); };
    return p;
}

template <typename C>
TPropInfo StrProp(const char* name, String (C::*getter)() const, void (C::*setter)(const String&)) {
    TPropInfo p;
    p.Name = name;
    p.Kind = TTypeKind::tkString;
    p.GetStr = [getter](const TObject* o) { return (static_cast<const C*>(o)->*getter)(); };
    p.SetStr = [setter](TObject* o, const String& v) { (static_cast<C*>(o)->*setter)(v); };
    return p;
}

// An event kept in a TMethod field; written only with a value of that type.
template <typename C, typename M>
TPropInfo MethodField(const char* name, M C::*field) {
    TPropInfo p;
    p.Name = name;
    p.Kind = TTypeKind::tkMethod;
    p.GetMethod = [field](const TObject* o) { return std::any(static_cast<const C*>(o)->*field); };
    p.SetMethod = [field](TObject* o, const std::any& v) {
        if (const M* m = std::any_cast<M>(&v)) static_cast<C*>(o)->*field = *m;
    };
    return p;
}

// ---------------------------------------------------------------------------

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    static const TClassInfo& StaticClassInfo();
    virtual const TClassInfo* ClassInfo() const { return &StaticClassInfo(); }

    String ClassName() const { return ClassInfo()->Name; }
    bool ClassNameIs(const String& name) const;
    bool InheritsFrom(const char* className) const { return ClassInfo()->InheritsFrom(className); }
    template <typename T>
    bool Is() const {
        return dynamic_cast<const T*>(this) != nullptr;
    }

    // Called once the object is fully constructed, when created through Create<T>().
    virtual void AfterConstruction() {}
    // Called before the destructor runs, while virtual calls still reach the
    // most derived class; Free() calls it, then deletes.
    virtual void BeforeDestruction() {}
    void Free();

    template <typename T, typename... A>
    static T* Create(A&&... args) {
        T* obj = new T(std::forward<A>(args)...);
        obj->AfterConstruction();
        return obj;
    }
};

// Frees an object through Free() and clears the pointer.
template <typename T>
void FreeAndNil(T*& obj) {
    T* tmp = obj;
    obj = nullptr;
    if (tmp) tmp->Free();
}

class TPersistent : public TObject {
    CLASSLIB_DECLARE_CLASS(TPersistent)
public:
    // Copies Source into this object; raises when the classes do not fit.
    virtual void Assign(TPersistent* Source);

protected:
    // Lets the source copy itself into Dest when Dest does not know it.
    virtual void AssignTo(TPersistent* Dest);
};

// ---------------------------------------------------------------------------

enum TComponentStateItem {
    csLoading,
    csReading,
    csWriting,
    csDestroying,
    csDesigning,
    csAncestor,
    csUpdating,
    csFixups,
    csFreeNotification,
    csInline,
    csDesignInstance
};
using TComponentState = TSet<TComponentStateItem>;

enum class TOperation { opInsert, opRemove };

class TComponent : public TPersistent {
    CLASSLIB_DECLARE_CLASS(TComponent)
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;
    // Marks the component as destroying and frees the components it owns
    // that are not controls (providers, menus, timers, image lists). Every
    // override calls this last, so those go at the end of the chain while
    // the owner is still whole: a provider's destructor may still write its
    // form's WindowProc. Controls are freed by their parents before that.
    void BeforeDestruction() override;

    TComponent* Owner() const { return FOwner; }
    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int Index) const;
    int ComponentIndex() const;
    TComponent* FindComponent(const String& AName) const;

    String Name() const { return FName; }
    virtual void SetName(const String& NewName);
    std::intptr_t Tag() const { return FTag; }
    void SetTag(std::intptr_t Value) { FTag = Value; }

    TComponentState ComponentState() const { return FComponentState; }

    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    void DestroyComponents();
    void Destroying();

    // Asks to be told (Notification opRemove) when AComponent is freed.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);
    // Tells everyone who asked that this component goes (opRemove). The
    // destructor does it; a class whose own members those told may still
    // use (unregistering from it) calls it first in its own destructor.
    void NotifyFreeing();

    // Marks the component (and what it owns) as loading; Loaded() ends it.
    void BeginLoading();
    void EndLoading();

protected:
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    virtual void Loaded();
    void SetDesigning(bool Value);
    TComponentState FComponentState;

private:
    void Insert(TComponent* AComponent);
    void Remove(TComponent* AComponent);
    void RemoveNotification(TComponent* AComponent);

    TComponent* FOwner = nullptr;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    String FName;
    std::intptr_t FTag = 0;
};

// Tells whether a component was freed while the watch was alive: set one up
// before calling code that may free it (an event handler, a broadcast to
// children), ask Freed() after, and touch the component only when false.
class TFreeWatch : private TComponent {
public:
    explicit TFreeWatch(TComponent* AComponent);
    ~TFreeWatch() override;
    bool Freed() const { return FTarget == nullptr; }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TComponent* FTarget;
};

// Published-property access by name; these return false / 0 / nullptr when
// the object has no such published property.
bool HasPublishedProperty(const TObject* Obj, const String& Name);
const TPropInfo* GetPropInfo(const TObject* Obj, const String& Name);
std::int64_t GetOrdProp(const TObject* Obj, const String& Name);
void SetOrdProp(TObject* Obj, const String& Name, std::int64_t Value);
TObject* GetObjectProp(const TObject* Obj, const String& Name);
void SetObjectProp(TObject* Obj, const String& Name, TObject* Value);
String GetStrProp(const TObject* Obj, const String& Name);
void SetStrProp(TObject* Obj, const String& Name, const String& Value);
// An event by name: empty when absent; the setter needs a value of the slot's type.
std::any GetMethodProp(const TObject* Obj, const String& Name);
bool SetMethodProp(TObject* Obj, const String& Name, const std::any& Value);
