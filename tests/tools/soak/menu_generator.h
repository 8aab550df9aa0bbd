#pragma once

#include <nlohmann/json.hpp>

#include <random>
#include <set>

// A random but valid menu description, as `vxtool pack` reads it: pages holding every object
// kind, and scripts that jump, navigate, play sounds, videos and Flash movies, show dialogs and
// change texts. Its files are the demo menu's (pictures, button file, sounds, movie), found beside
// the packed data file.
struct GeneratedMenu {
    nlohmann::ordered_json description;
    std::set<int> kinds;  // the object kinds it holds
};

GeneratedMenu GenerateMenu(std::mt19937& random, bool withFlash);
