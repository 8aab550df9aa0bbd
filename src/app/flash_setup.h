#pragma once

#include <string>

class CKXRegistry;

// Finds the Flash player module and Ruffle's files from the player program's own location
// (beside the build's programs, or where the install put them) and, when both are there,
// registers the player as the Flash control, answering with the Flash version it emulates.
// Returns whether Flash can play.
bool SetUpFlashPlayer(const std::string& playerPath, CKXRegistry& registry);
