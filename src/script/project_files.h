#pragma once

#include <string>

#include "platform/host_path.h"

class CKXScriptDocument;

// Where the files a project names are found. Names come from scripts and project data in
// Windows form, relative to the player's folder or absolute; each kind of name has its rule, and
// all of them live here, beside CKXScriptDocument::PathBesideExe.

// Whether a Windows path names an existing file or folder.
bool WindowsPathExists(const std::string& path);

// A file name from a script or the project, found beside the player: the name under the
// player's folder when that exists, else (for a wildcard pattern with a folder) the pattern in
// that folder when the folder exists, else the name unchanged. Windows form.
std::string ResolveSourcePath(const CKXScriptDocument& document, const std::string& path);

// The host path of a name below the player's folder (page backgrounds, the window mask).
std::string BesideExeHostPath(const CKXScriptDocument& document, const std::string& name);

// The host path of a file of the plugins folder (skins); empty for a name that would leave it.
std::string PluginFileHostPath(const CKXScriptDocument& document, const std::string& fileName);
// The host path of the project's plugins folder.
std::string PluginsFolderHostPath(const CKXScriptDocument& document);

// The host path of an image object's file: the name itself when it exists, else beside the
// player.
std::string ImageFileHostPath(const CKXScriptDocument& document, const std::string& name);
