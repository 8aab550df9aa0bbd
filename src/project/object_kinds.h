#pragma once

#include <cstdint>
#include <vector>

// What the program knows about each object kind, in one place: a new kind is one row here (with
// its record class), then its view and, when scripts reach it, its action table.
struct ObjectKindInfo {
    std::int32_t code;           // the objects' typeCode
    const char* className;       // the record class the stream names
    const char* name;            // its name in vxtool's JSON blocks and reports
    const char* scriptTable;     // the action table scripts reach it through; null when none
    bool shown;                  // whether the player shows it (pages keep only these)
    const char* missingFeature;  // what a report says a menu needs when the player cannot show it
};

// Every kind, in the order of their codes.
const std::vector<ObjectKindInfo>& ObjectKinds();
// The kind of a code; null when no kind has it.
const ObjectKindInfo* FindObjectKind(std::int64_t code);
// Pages keep only the kinds the player shows.
bool IsShownKind(std::int32_t typeCode);
