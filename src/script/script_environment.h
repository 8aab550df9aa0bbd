#pragma once

#include <string>

class CLUAEngine;
class CKXRegistry;

// The machine's folders that scripts see as built-in variables, in Windows form.
struct BuiltInFolders {
    std::string windowsFolder;
    std::string systemFolder;
    std::string tempFolder;
    std::string desktopFolder;
    std::string desktopFolderCommon;
    std::string programFilesFolder;
};

// Collects the folders from the path layer and the registry (the program files folder is the
// registry's "ProgramFilesDir"; "C:\Program Files" when its key is missing).
BuiltInFolders CollectBuiltInFolders(CKXRegistry* registry);

// Sets the eight built-in variables in their order. After _SourceFolder the process's current
// directory becomes the player's folder, so relative paths of scripts are found beside it.
class CBuiltInVariableSetter {
public:
    CBuiltInVariableSetter(CLUAEngine& engine, const BuiltInFolders& folders) : engine(engine), folders(folders) {}
    void Set();

private:
    CLUAEngine& engine;
    const BuiltInFolders& folders;
};

// Fills the globals every script relies on: last-error globals, built-in variables, constants,
// LUA_PATH, the error and notification tables and the start-up flags.
void BuildEnvironment(CLUAEngine& engine, const BuiltInFolders& folders);

// The drive part of a folder: the server part of a network path, else the first two characters.
std::string SourceDriveOf(const std::string& sourceFolder);

std::string GetNotificationMessage(CLUAEngine& engine, const std::string& key);
void SetNotificationMessage(CLUAEngine& engine, const std::string& key, const std::string& text);
void SetErrorMessage(CLUAEngine& engine, int code, const std::string& text);
