#pragma once

#include <QPoint>

class CVantorixBaseObject;
class CPXRuntimeDoc;
class CPXRuntimeView;

// What the drawn objects do when the view routes the pointer to them: highlight, press, play
// their sounds and run their "On Enter", "On Leave" and "On Click" scripts.

// Whether the object takes the pointer at point: visible, enabled, in its rectangle, and, for a
// picture with its alpha test on, over a pixel whose alpha is above 200.
bool HitTest(CVantorixBaseObject& object, QPoint point);

void ObjectEnter(CVantorixBaseObject& object, CPXRuntimeView& view, CPXRuntimeDoc& document);
void ObjectLeave(CVantorixBaseObject& object, CPXRuntimeView& view, CPXRuntimeDoc& document);
void ObjectPress(CVantorixBaseObject& object, CPXRuntimeView& view, CPXRuntimeDoc& document);
void ObjectRelease(CVantorixBaseObject& object, CPXRuntimeView& view, CPXRuntimeDoc& document);
