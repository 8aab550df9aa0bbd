#pragma once

#include <memory>
#include <string>

#include "platform/code_page.h"

struct PlayerOptions;

// What the command line names to open: the project's code page, the program the menu runs as,
// its data file and the archive password; or the message that says why there is none.
struct ChosenProject {
    std::unique_ptr<CodePage> codePage;
    std::string executable;
    std::string dataFile;
    std::string password;
    std::string error;  // set when no data file was found; the rest may be empty then
};

// The opening steps every start shares: the code page (windows-1252 when the one named is
// unknown), the project chosen from the path given (or the player's own data file), the data
// file found for it, and the password.
ChosenProject OpenChosenProject(const PlayerOptions& options);
