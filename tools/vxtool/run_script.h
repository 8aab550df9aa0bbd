#pragma once

#include <string>

class CodePage;

struct RunScriptOptions {
    std::string scriptFile;
    std::string projectFile;  // optional data file whose environment the script gets
    std::string password;
    bool trace = false;
};

// Runs a Lua file as a project's startup script would run, printing dialogs and debug output as
// JSON lines on standard output. Returns the script's status (0 when it ran without error).
int RunScript(const RunScriptOptions& options, const CodePage& codePage);
