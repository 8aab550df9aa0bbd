#pragma once

// Serving events while a script waits. Pointer moves and left-button presses and releases are
// dropped, so a click cannot start another page's scripts in the middle; timers, painting, keys
// and right clicks go on.

#include <functional>

// Serves events for the given time without burning the processor; a negative time serves what
// is waiting once. The wait ends early once interrupted (checked after each event) says so.
void PumpMessagesFiltered(int milliseconds, const std::function<bool()>& interrupted = {});
// Serves whatever is waiting once, with the same filter; returns the number of events handled.
int PumpOneMessage();
