#pragma once
// The parameters a hosted plug-in announces, as the command-line tools
// resolve names and values against them (the program-change parameter left
// out: presets are chosen by name).
#include <vector>

#include "tools/render/param_resolve.h"
#include "tools/vst3host/hosted_plugin.h"

namespace selvarin {

std::vector<CatalogParam> BuildCatalog(HostedPlugin& plugin);

// Prints the catalogue as a table: index, name, default and values.
void PrintCatalog(const std::vector<CatalogParam>& params);

}  // namespace selvarin
