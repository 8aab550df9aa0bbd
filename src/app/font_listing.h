#pragma once

#include <ostream>

struct PlayerOptions;

// vantorix --list-fonts PROJECT: every face the project's pages name and every font it embeds,
// with the family drawing gets for it and where that comes from. Returns the exit status.
int ListProjectFonts(const PlayerOptions& options, int argc, char** argv, std::ostream& out);
