// The start of a benchmark that compares skinned windows with plain ones.
#pragma once

#include "BenchTimer.h"
#include "Forms.h"
#include "sSkinManager.h"

#include <cstdio>

// Reads the arguments, starts the application and loads the built-in "Light"
// skin into a new manager; nullptr (with the reason printed) when it fails.
inline TsSkinManager* StartWithLightSkin(int argc, char** argv) {
    ReadBenchArguments(argc, argv);
    Application->Initialize();
    TsSkinManager* manager = TObject::Create<TsSkinManager>(nullptr);
    if (manager->LoadSkin("Light")) return manager;
    std::printf("the built-in skin \"Light\" did not load: %s\n", manager->LastError().c_str());
    manager->Free();
    return nullptr;
}
