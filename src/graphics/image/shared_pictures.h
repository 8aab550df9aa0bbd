#pragma once

#include <map>
#include <memory>

// Decoded pictures shared by everything that shows the same file the same way: pages on one
// background, objects on one picture. An entry lives as long as someone holds it, so a page
// that is left gives its pictures back.
template <typename Key, typename Picture>
class CSharedPictures {
public:
    // The picture for key; make() (a shared_ptr to a new picture, null on failure) runs only
    // when no holder has it now. Failures are not kept: a file that appears later loads.
    template <typename Make>
    std::shared_ptr<const Picture> Get(const Key& key, Make make) {
        std::erase_if(held, [](const auto& entry) { return entry.second.expired(); });
        if (auto found = held.find(key); found != held.end()) return found->second.lock();
        std::shared_ptr<const Picture> picture = make();
        if (picture) held[key] = picture;
        return picture;
    }

private:
    std::map<Key, std::weak_ptr<const Picture>> held;
};
