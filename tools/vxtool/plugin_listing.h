#pragma once

#include <ostream>
#include <string>

// Writes one JSON line for each .tns file in folder and its sub-folders, in the order the player
// scans them: {"file", "name"} for a transition plugin, {"file", "skipped"} with the reason for
// any other. Returns the number of plugins found.
int ListTransitionPlugins(const std::string& folder, std::ostream& out);
