#pragma once

// The Windows virtual-key code of a Qt key (0 when the key has none), as "On Key" scripts
// expect it.
int VirtualKeyOfQtKey(int qtKey);
// The Qt key of a virtual-key code (0 when none), for replayed key presses.
int QtKeyOfVirtualKey(int virtualKey);
