#pragma once

#include <string>

// Gives the run a private runtime folder (XDG_RUNTIME_DIR) when the environment has none, as
// under root or CI, so the toolkit neither complains on standard error nor uses a shared folder.
// The folder is the user's own, mode 0700: an existing one is taken only when it is a real folder
// of this user with that mode. Returns the folder in use (empty when none could be made).
std::string EnsurePrivateRuntimeFolder();
