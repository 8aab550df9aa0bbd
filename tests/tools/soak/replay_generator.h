#pragma once

#include <random>
#include <string>

// A random replay for a page of width x height: pointer moves, clicks, drags, the wheel, keys,
// answers for dialogs, and waits of 0 to 500 ms, with the window closed at a random point (or by
// the end of the file). Its waits add up to at most maxWaitMs.
std::string GenerateReplay(std::mt19937& random, int width, int height, int maxWaitMs);
