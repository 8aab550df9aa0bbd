#include "engine/navigation_history.h"

namespace {

std::string TakeLast(std::vector<std::string>& history) {
    if (history.empty()) return {};
    std::string last = history.back();
    history.pop_back();
    return last;
}

}  // namespace

std::string CPXNavigationHistory::Record(NavigationStep step, const std::string& currentPage) {
    switch (step) {
        case NavigationStep::Backward:
            forward.push_back(currentPage);
            return TakeLast(back);
        case NavigationStep::Forward:
            back.push_back(currentPage);
            return TakeLast(forward);
        case NavigationStep::Other:
            back.push_back(currentPage);
            forward.clear();
            return {};
    }
    return {};
}

void CPXNavigationHistory::Clear() {
    back.clear();
    forward.clear();
}
