#include "engine/script_prefix.h"

std::string ScriptPrefix(const std::string& thisName, std::initializer_list<std::string> values) {
    std::string prefix = "local this=\"" + thisName + "\";";
    bool first = true;
    for (const std::string& value : values) {
        if (!first) prefix += ';';
        prefix += value;
        first = false;
    }
    return prefix;
}
