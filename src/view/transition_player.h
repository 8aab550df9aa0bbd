#pragma once

#include <QImage>
#include <QRect>

#include <functional>
#include <string>

#include "plugins/transition_dll_manager.h"

// Loads the transition plugin at pluginPath for one call and plays its effect: screen (the
// client area, showing the old page) is drawn into frame by frame, each presented rectangle
// handed to present while the call runs; newPage holds the new page in a picture of the same
// size. page is the page's rectangle in the client area. Both pictures are 32-bit
// (Format_RGB32). The library is unloaded again before this returns.
TransitionOutcome PlayTransitionPlugin(const std::string& pluginPath, QImage& screen, QImage& newPage, QRect page,
                                       const std::string& settings, const std::function<void(const QRect&)>& present);
