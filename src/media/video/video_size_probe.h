#pragma once

#include <QSize>

#include <string>

// The picture size of a movie, read by opening it silently: 100 x 100 for a movie that does not
// open (or has no pictures), as a player window reports it.
QSize ProbeVideoSize(const std::string& hostPath);
