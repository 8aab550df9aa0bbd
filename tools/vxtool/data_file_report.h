#pragma once

#include <nlohmann/json.hpp>

#include <set>
#include <string>

class CodePage;

// What every report of a scan shares.
struct ReportSettings {
    std::string password;
    // The names of the player's own transition effects: a page's transition of another name
    // needs the menu's own plugin, which a scan never loads (it would run the disc's code).
    std::set<std::string> ownTransitions;
};

// What a corpus scan says about one data file: whether it reads (and why not), its pages and
// objects by kind, the media files it names with whether each exists and its format by content,
// its embedded fonts, the transitions, plugins and skins it names, its Flash and video, the
// scripts that do not compile as Lua 5.0, and what it needs that this player does not have.
// Reads the data file and the files it names; writes nothing.
nlohmann::ordered_json ReportDataFile(const std::string& path, const ReportSettings& settings,
                                      const CodePage& codePage);
