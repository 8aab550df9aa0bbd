#pragma once

#include <string>

// Shell verbs on a document, folder or address, carried out by the desktop's own tools: "open"
// and "explore" by xdg-open, "mailto:" addresses by xdg-email (xdg-open when it is missing),
// "print" by lp. Verbs compare ignoring case; an empty verb means "open". The target is a host
// path (callers convert Windows paths; a relative one counts from workingFolder when given, else
// from the current directory) or an address (it holds "://" or starts with "mailto:"), which is
// passed on unchecked. showMode is accepted for the callers' sake; the desktop decides how the
// document's window appears.
//
// Returns a ShellExecute result: 42 (above 32) on success, otherwise the error number:
//   2   the file does not exist (its folder does)
//   3   its folder does not exist; for "explore", the target is not a folder; the working folder
//       does not exist
//   31  no tool on PATH for the verb, the tool found nothing to open the document with or failed,
//       an unknown verb, or "print" of a folder or an address
int ShellExecuteVerb(const std::string& verb, const std::string& target, const std::string& workingFolder,
                     int showMode);
