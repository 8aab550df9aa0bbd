#pragma once

#include <string>

class CKXFlashControl;
class CVantorixFlashObject;

// The control's alignment bits (left 1, right 2, top 4, bottom 8) for an object's alignment:
// 0 centre, 1 top, 2 left, 3 bottom, 4 right, 5 top left, 6 bottom left, 7 top right, 8 bottom
// right; any other value centres.
int FlashAlignBits(int alignment);
// The quality's text: 0 "low", 1 "high", 2 "autolow", 3 "autohigh"; any other value "autohigh".
std::string FlashQualityText(int quality);
// 0xRRGGBB of the object's own colour when it asks for one, else -1 (the movie's).
int FlashBackgroundColor(const CVantorixFlashObject& flash);

// Gives a new control the object's settings in the order the control expects them: quality,
// scale mode, alignment, background, menu, device fonts, the movie, looping, then Play or Stop.
// False when the control failed one of them.
bool ApplyFlashSettings(CKXFlashControl& control, const CVantorixFlashObject& flash, const std::string& movieHostPath);
