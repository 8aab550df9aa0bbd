#pragma once

#include <initializer_list>
#include <string>

// The line run before an event's script: `local this="<name>";` naming the page or object the
// event belongs to, then the event's own values, each a statement, separated by ";".
std::string ScriptPrefix(const std::string& thisName, std::initializer_list<std::string> values = {});
