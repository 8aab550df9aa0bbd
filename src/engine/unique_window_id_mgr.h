#pragma once

#include <vector>

// Hands out identifiers of one range to the child windows of page objects.
class CUniqueWindowIDMgr {
public:
    CUniqueWindowIDMgr(int first, int last) : first(first), used(static_cast<std::size_t>(last - first + 1)) {}
    // The lowest free identifier, marked used; -1 when all are used.
    int Acquire() {
        for (std::size_t i = 0; i < used.size(); ++i) {
            if (!used[i]) {
                used[i] = true;
                return first + static_cast<int>(i);
            }
        }
        return -1;
    }
    void Release(int id) {
        if (id >= first && id < first + static_cast<int>(used.size()))
            used[static_cast<std::size_t>(id - first)] = false;
    }
    void ReleaseAll() { used.assign(used.size(), false); }

private:
    int first;
    std::vector<bool> used;
};
