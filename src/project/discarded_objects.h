#pragma once

#include <string>

#include "project/vantorix_base_object.h"

// Object kinds whose records carry nothing at all, not even the common part; pages drop them.
template <std::int32_t Kind>
class CVantorixEmptyObject : public CVantorixBaseObject {
public:
    CVantorixEmptyObject() : CVantorixBaseObject(Kind) {}
    void Serialize(CKXFieldVisitor&) override {}
};

class CVantorixWebObject : public CVantorixEmptyObject<kindWeb> {
public:
    const char* ClassName() const override { return "CVantorixWebObject"; }
};

class CVantorixEditFieldObject : public CVantorixEmptyObject<kindInput> {
public:
    const char* ClassName() const override { return "CVantorixEditFieldObject"; }
};

class CVantorixHotspotObject : public CVantorixEmptyObject<kindHotspot> {
public:
    const char* ClassName() const override { return "CVantorixHotspotObject"; }
};

class CVantorixListBoxObject : public CVantorixEmptyObject<kindListBox> {
public:
    const char* ClassName() const override { return "CVantorixListBoxObject"; }
};

// A list box entry; list box objects read nothing, so no stream holds one in practice.
class CListBoxItem : public CKXSerializable {
public:
    const char* ClassName() const override { return "CListBoxItem"; }
    void Serialize(CKXFieldVisitor& v) override {
        v.Dword("version", version);
        v.String("text", text);
        v.String("value", value);
    }

    std::uint32_t version = 1;
    std::string text;
    std::string value;
};
