#pragma once
// The entry points every platform's module exports (defined in module_entry.cpp).
#include "pluginterfaces/base/ipluginbase.h"

extern "C" {
SMTG_EXPORT_SYMBOL Steinberg::IPluginFactory* PLUGIN_API GetPluginFactory();
SMTG_EXPORT_SYMBOL bool InitDll();
SMTG_EXPORT_SYMBOL bool ExitDll();
}
