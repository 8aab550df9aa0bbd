#pragma once

#include <string>
#include <vector>

#include "project/zip_entry_info.h"

// The ordered directory of an archive, restricted to the entries matching a file spec.
class CKXZipDir {
public:
    // Lists the entries of the archive whose names match fileSpec ('*' and '?' wildcards,
    // letter case ignored). Surrounding double quotes of fileSpec are ignored. The listing
    // option is accepted for callers' sake and changes nothing: callers look entries up by
    // their stored name afterwards. Returns 0 on success; on failure the list is empty.
    int ReadDirectory(const std::string& archivePath, const std::string& fileSpec, int listingOption);

    // The last entry whose stored name equals name ignoring case, or nullptr.
    const CKXZipEntryInfo* FindEntry(const std::string& name) const;

    const std::vector<CKXZipEntryInfo>& Entries() const { return entries; }

private:
    std::vector<CKXZipEntryInfo> entries;
};
