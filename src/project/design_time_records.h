#pragma once

#include <string>

#include "project/serializable.h"

// Records of the publishing side. They are part of the format, so they read and write
// themselves, but the lists the player reads never hold them.

class CVantorixBuildConfiguration : public CKXSerializable {
public:
    const char* ClassName() const override { return "CVantorixBuildConfiguration"; }
    void Serialize(CKXFieldVisitor& v) override {
        v.Dword("version", version);
        v.String("name", name);
        v.Objects("items", items, nullptr);
    }

    std::uint32_t version = 1;
    std::string name;
    ObjectList items;
};

class CVantorixBuildSettings : public CKXSerializable {
public:
    CVantorixBuildSettings();
    const char* ClassName() const override { return "CVantorixBuildSettings"; }
    void Serialize(CKXFieldVisitor& v) override;

    std::uint32_t version = 1;
    std::string outputFileName = "autorun.exe";
    std::int32_t number1 = 1;
    std::string dataFolder = "DATA";
    std::int32_t number2 = 1;
    std::int32_t number3 = 0;
    std::string text1;
    std::int32_t number4 = 0;
    std::int32_t number5 = 0;
    std::string text2;
    std::string text3;
    std::int32_t number6 = 0;
    std::int32_t number7 = 0;
    std::int32_t number8 = 0;
    std::string text4;
    std::string text5;
    std::int32_t number9 = 0;
    std::int32_t number10 = 0;
    std::string buildName = "Default Build";
    ObjectList configurations;
};

class CVantorixConstant : public CKXSerializable {
public:
    const char* ClassName() const override { return "CVantorixConstant"; }
    void Serialize(CKXFieldVisitor& v) override {
        v.Dword("version", version);
        v.String("text1", text1);
        v.String("text2", text2);
        v.String("text3", text3);
    }

    std::uint32_t version = 1;
    std::string text1, text2, text3;
};

class CVantorixLanguageSetting : public CKXSerializable {
public:
    const char* ClassName() const override { return "CVantorixLanguageSetting"; }
    void Serialize(CKXFieldVisitor& v) override {
        v.Dword("version", version);
        v.Int("number1", number1);
        v.String("text", text);
        v.Int("number2", number2);
    }

    std::uint32_t version = 1;
    std::int32_t number1 = 0;
    std::string text;
    std::int32_t number2 = 0;
};

// The two classes of the format that carry no data and are not versionable.
class CVantorixMessage : public CKXSerializable {
public:
    const char* ClassName() const override { return "CVantorixMessage"; }
    void Serialize(CKXFieldVisitor&) override {}
};

class CVantorixLanguage : public CKXSerializable {
public:
    const char* ClassName() const override { return "CVantorixLanguage"; }
    void Serialize(CKXFieldVisitor&) override {}
};

// The design tool's font list: built empty with its file-name pattern and the platform kind
// (2 for Windows NT systems, which is what menus see here; 1 for others).
class CFontManagerInfo : public CKXSerializable {
public:
    const char* ClassName() const override { return "CFontManagerInfo"; }
    void Serialize(CKXFieldVisitor& v) override {
        v.String("text1", text1);
        v.String("text2", text2);
        v.String("text3", text3);
    }

    std::string text1, text2, text3;
};

class CFontManager : public CKXSerializable {
public:
    const char* ClassName() const override { return "CFontManager"; }
    void Serialize(CKXFieldVisitor& v) override {
        v.Objects("fonts", fonts, "CFontManagerInfo");
        v.String("fileNamePattern", fileNamePattern);
        v.Int("platformKind", platformKind);
    }

    ObjectList fonts;
    std::string fileNamePattern = "font%d.dat";
    std::int32_t platformKind = 2;
};
