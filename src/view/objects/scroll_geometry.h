#pragma once

// The arithmetic of a paragraph's scroll bars, along one bar: positions count lines (vertical)
// or steps of 10 pixels (horizontal); the track is the part of the bar between its two boxes.

// A position fitted to the content: at most count - visible, then at least 0.
int ClampScrollPosition(int position, int count, int visible);
// The thumb's length: visible / count of the track, truncated; at most one bar width makes it one
// bar width, less than two makes it two.
int ThumbLength(int visible, int count, int trackLength, int barWidth);
// Where the thumb starts: the track's start plus track length x position / count, truncated;
// a thumb that would reach past the track's end is placed to end there.
int ThumbStart(int trackStart, int trackEnd, int position, int count, int thumbLength);
