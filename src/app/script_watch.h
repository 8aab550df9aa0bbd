#pragma once

#include <functional>

class CLUAEngine;
class QWidget;

// For a person at the screen: a script that has run a while without the event loop getting a
// turn (or that runs when the close box is used) gets the choice browsers give, a box "A script
// of this menu is not responding" with Stop and Wait. True for Stop.
bool AskToStopScript(QWidget* parent);
// Lets the engine ask that for its scripts, and restarts its clock at every turn of the event
// loop (each time the loop waits for events).
void WatchScriptsAtTheScreen(CLUAEngine& engine, std::function<QWidget*()> parent);
