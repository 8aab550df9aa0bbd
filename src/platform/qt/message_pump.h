#pragma once

// Serving events while a script waits. Pointer moves and left-button presses and releases are
// dropped, so a click cannot start another page's scripts in the middle; timers, painting, keys
// and right clicks go on.

// Serves events for the given time without burning the processor; a negative time serves what
// is waiting once.
void PumpMessagesFiltered(int milliseconds);
// Serves whatever is waiting once, with the same filter; returns the number of events handled.
int PumpOneMessage();
