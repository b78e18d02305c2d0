// The published properties that skinned controls share (SkinData,
// DisabledKind, AnimatEvents), each made once for a control class T.
#pragma once

#include "Classes.h"
#include "sSkinnedControl.h"

#include <utility>
#include <vector>

// A property whose set elements are read and written by these names.
inline TPropInfo acNamedProp(TPropInfo Prop, std::vector<String> Names) {
    Prop.ElementNames = std::move(Names);
    return Prop;
}

template <class T>
TPropInfo acSkinDataProp() {
    return ObjProp<T, TsCommonData>("SkinData", &T::SkinData);
}

template <class T>
TPropInfo acDisabledKindProp() {
    return acNamedProp(OrdProp<T, TsDisabledKind, TsDisabledKind>(
                           "DisabledKind", TTypeKind::tkSet, &T::DisabledKind, &T::SetDisabledKind,
                           static_cast<std::int64_t>(TsDisabledKind{dkBlended}.ToBits())),
                       {"dkBlended", "dkGrayed"});
}

template <class T>
TPropInfo acAnimatEventsProp() {
    return acNamedProp(OrdProp<T, TacAnimatEvents, TacAnimatEvents>(
                           "AnimatEvents", TTypeKind::tkSet, &T::AnimatEvents, &T::SetAnimatEvents,
                           static_cast<std::int64_t>(TacAnimatEvents{aeGlobalDef}.ToBits())),
                       {"aeMouseEnter", "aeMouseLeave", "aeMouseDown", "aeMouseUp", "aeGlobalDef"});
}
