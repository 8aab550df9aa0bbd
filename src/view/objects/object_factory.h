#pragma once

#include <memory>

class CObjectView;
class CVantorixBaseObject;

// The view of an object's kind for a record (a plain one for kinds without their own, and for a
// record whose class does not fit its kind code).
std::unique_ptr<CObjectView> CreateObjectView(CVantorixBaseObject& object);

// The record's view, made on first use and kept in its runtime slot.
CObjectView& ObjectViewOf(CVantorixBaseObject& object);
