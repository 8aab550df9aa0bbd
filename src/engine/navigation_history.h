#pragma once

#include <string>
#include <vector>

#include "script/script_document.h"

// The pages a run went back and forward through, by name. A step is recorded before its page
// change, whether or not the change then happens.
class CPXNavigationHistory {
public:
    // Records leaving currentPage by step; Backward and Forward return the page taken from the
    // history, empty when there is none.
    std::string Record(NavigationStep step, const std::string& currentPage);
    void Clear();

    const std::vector<std::string>& Back() const { return back; }
    const std::vector<std::string>& Forward() const { return forward; }

private:
    std::vector<std::string> back;
    std::vector<std::string> forward;
};
