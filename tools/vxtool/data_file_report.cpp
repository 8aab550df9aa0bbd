#include "data_file_report.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <vector>

#include "data_file_io.h"
#include "media_format.h"
#include "platform/ascii_case.h"
#include "platform/code_page.h"
#include "platform/host_path.h"
#include "plugins/transition_dll_manager.h"
#include "project/kx_ttf_info.h"
#include "project/object_kinds.h"
#include "project/vantorix_base_object.h"
#include "project/vantorix_event.h"
#include "project/vantorix_project.h"
#include "script/lua50_dialect.h"

namespace {

const char* KindName(std::int32_t typeCode) {
    const ObjectKindInfo* kind = FindObjectKind(typeCode);
    return kind ? kind->name : nullptr;
}

// What the player has no way to show yet, by object kind.
const char* MissingFeature(std::int32_t typeCode) {
    const ObjectKindInfo* kind = FindObjectKind(typeCode);
    return kind ? kind->missingFeature : nullptr;
}

// Which kind of use a field that names a file is, by the field and the group it is in.
const char* MediaUse(std::string_view key, std::string_view group) {
    if (key == "imageFile") return "picture";
    if (key == "buttonFile") return "button";
    if (key == "backgroundPicture") return "background";
    if (key == "iconFileName") return "icon";
    if (key == "maskFileName") return "mask";
    if (key == "pluginFile") return "plugin";
    if (key == "tracks") return "music";
    if (key == "hoverSoundFile" || key == "clickSoundFile" || key == "defaultHoverSound" ||
        key == "defaultClickSound") {
        return "sound";
    }
    if (key == "file") {
        if (group == "flash") return "flash";
        if (group == "video") return "video";
        if (group == "introSettings") return "intro";
    }
    return nullptr;
}

bool IsScriptField(std::string_view key) {
    return key == "script" || key == "preludeScript" || key == "startupScript" || key == "globalScript";
}

// The host path of a file a project names, relative to the folder the menu was published in; a
// drive letter is taken as the disc's own root, which is that folder.
std::optional<std::string> FindNamedFile(const std::string& menuFolder, std::string name) {
    if (name.size() > 2 && name[1] == ':' && (name[2] == '\\' || name[2] == '/')) name = name.substr(3);
    std::replace(name.begin(), name.end(), '\\', '/');
    name.erase(0, name.find_first_not_of('/'));
    if (name.empty()) return std::nullopt;
    return FindHostPathIgnoringCase(menuFolder + "/" + name);
}

// Walks every field of the project, for the files it names and the scripts it holds.
class ProjectWalker : public CKXFieldVisitor {
public:
    ProjectWalker(const CodePage& codePage, std::string menuFolder)
        : codePage(codePage), menuFolder(std::move(menuFolder)) {
        lua = luaL_newstate();
    }
    ~ProjectWalker() override { lua_close(lua); }

    void Enter(std::string where) { places.push_back(std::move(where)); }
    void Leave() { places.pop_back(); }

    void Byte(const char*, std::uint8_t&) override {}
    void Int(const char*, std::int32_t&) override {}
    void Dword(const char*, std::uint32_t&) override {}
    void Rect(const char*, VxRect&) override {}
    void Time(const char*, std::int32_t&) override {}
    void ByteArray(const char*, std::vector<std::uint8_t>&) override {}
    void String(const char* key, std::string& value) override {
        if (value.empty()) return;
        if (const char* use = MediaUse(key, groups.empty() ? "" : groups.back())) AddMedia(use, value);
        if (IsScriptField(key)) Compile(value);
        if (std::string_view(key) == "barSkinName" || std::string_view(key) == "skinName") skins.insert(Text(value));
    }
    void StringList(const char* key, CKXStringList& value) override {
        if (const char* use = MediaUse(key, "")) {
            for (std::string_view item : value) {
                if (!item.empty()) AddMedia(use, std::string(item));
            }
        }
    }
    void Objects(const char*, ObjectList& value, const char*) override {
        for (const RecordRef& record : value) {
            if (!record) continue;
            std::string place;
            if (auto* object = dynamic_cast<CVantorixBaseObject*>(record.get()))
                place = "object " + Text(object->objectName);
            if (auto* event = dynamic_cast<CVantorixEvent*>(record.get())) place = Text(event->eventName);
            if (!place.empty()) Enter(place);
            record->Serialize(*this);
            if (!place.empty()) Leave();
        }
    }
    void Nested(const char* key, const std::function<void()>& fields) override {
        groups.emplace_back(key);
        fields();
        groups.pop_back();
    }
    void MemberList(const char*, std::size_t size, const std::function<void()>&,
                    const std::function<CKXSerializable&()>&,
                    const std::function<CKXSerializable&(std::size_t)>& at) override {
        for (std::size_t i = 0; i < size; ++i) at(i).Serialize(*this);
    }

    nlohmann::ordered_json media = nlohmann::ordered_json::array();
    nlohmann::ordered_json scriptErrors = nlohmann::ordered_json::array();
    std::size_t missingMedia = 0;
    std::set<std::string> skins;

private:
    std::string Text(const std::string& stored) const { return codePage.ToUtf8(stored); }

    void AddMedia(const char* use, const std::string& name) {
        if (!seen.insert({use, name}).second) return;
        nlohmann::ordered_json entry{{"use", use}, {"name", Text(name)}};
        // A pattern of file names is not one file.
        if (name.find_first_of("*?") != std::string::npos) {
            entry["pattern"] = true;
        } else if (std::optional<std::string> found = FindNamedFile(menuFolder, name)) {
            entry["exists"] = true;
            entry["format"] = MediaFormatOf(*found);
        } else {
            entry["exists"] = false;
            ++missingMedia;
        }
        media.push_back(std::move(entry));
    }

    void Compile(const std::string& script) {
        std::string source = Lua50Source(script);
        if (luaL_loadbuffer(lua, source.data(), source.size(), "script") != 0) {
            const char* message = lua_tostring(lua, -1);
            std::string where;
            for (const std::string& place : places) where += (where.empty() ? "" : ", ") + place;
            scriptErrors.push_back({{"where", where}, {"error", Text(message ? message : "")}});
        }
        lua_settop(lua, 0);
    }

    const CodePage& codePage;
    std::string menuFolder;
    lua_State* lua = nullptr;
    std::vector<std::string> places;
    std::vector<std::string> groups;
    std::set<std::pair<std::string, std::string>> seen;
};

// The transition plugins in the menu's plugins folder, by their format: a Windows library
// cannot play here. They are looked at, never loaded.
nlohmann::ordered_json TransitionFilesOf(const std::string& menuFolder, const std::string& dataFolderName) {
    nlohmann::ordered_json files = nlohmann::ordered_json::array();
    std::string folder = (dataFolderName.empty() ? "" : dataFolderName + "\\") + "Plugins";
    std::optional<std::string> found = FindNamedFile(menuFolder, folder);
    if (!found) return files;
    for (const std::string& file : TransitionFilesIn(*found)) {
        std::string format = MediaFormatOf(file);
        files.push_back({{"file", std::filesystem::path(file).lexically_relative(menuFolder).string()},
                         {"format", format == "windows-program" || format == "elf" ? format : "unknown"}});
    }
    return files;
}

// The folder a menu was published in: the data file's, or above it for the "Vantorix" folder.
std::string MenuFolderOf(const std::string& dataFile) {
    std::filesystem::path folder = std::filesystem::absolute(dataFile).parent_path();
    if (EqualsIgnoringAsciiCase(folder.filename().string(), "Vantorix")) folder = folder.parent_path();
    return folder.string();
}

}  // namespace

nlohmann::ordered_json ReportDataFile(const std::string& path, const ReportSettings& settings,
                                      const CodePage& codePage) {
    const std::string& password = settings.password;
    nlohmann::ordered_json report{{"file", path}};
    std::unique_ptr<CVantorixProject> project;
    ObjectList fonts;
    try {
        project = LoadDataFile(path, password, codePage);
        fonts = LoadDataFileFonts(path, password, codePage);
    } catch (const std::exception& error) {
        report["reads"] = false;
        report["error"] = error.what();
        return report;
    }
    report["reads"] = true;
    report["title"] = codePage.ToUtf8(project->info.projectTitle);
    report["pages"] = project->pages.size();

    ProjectWalker walker(codePage, MenuFolderOf(path));
    walker.Enter("startup");
    walker.String("startupScript", project->header.startupScript);
    walker.Leave();
    walker.Enter("project");
    project->info.Serialize(walker);
    walker.Leave();

    std::map<std::string, int> kinds;
    std::set<std::string> transitions, plugins, needs;
    for (const auto& page : project->pages) {
        walker.Enter("page " + codePage.ToUtf8(page->pageName));
        page->Serialize(walker);
        walker.Leave();
        if (!page->transitionName.empty()) transitions.insert(codePage.ToUtf8(page->transitionName));
        for (const RecordRef& record : page->pageObjects) {
            auto* object = dynamic_cast<CVantorixBaseObject*>(record.get());
            if (!object) continue;
            const char* kind = KindName(object->typeCode);
            ++kinds[kind ? kind : "kind " + std::to_string(object->typeCode)];
            if (const char* missing = MissingFeature(object->typeCode)) needs.insert(missing);
        }
    }
    nlohmann::ordered_json objectCounts = nlohmann::ordered_json::object();
    for (const auto& [kind, count] : kinds) objectCounts[kind] = count;
    report["objects"] = std::move(objectCounts);
    for (const auto& entry : walker.media) {
        if (entry["use"] == "plugin") plugins.insert(entry["name"].get<std::string>());
    }
    report["flash"] = kinds.count("flash") ? kinds["flash"] : 0;
    report["video"] = kinds.count("video") ? kinds["video"] : 0;
    if (project->info.introSettings.enabled) {
        report["intro"] = project->info.introSettings.mediaKind == 1   ? "flash"
                          : project->info.introSettings.mediaKind == 0 ? "video"
                                                                       : "picture";
    }
    report["media"] = std::move(walker.media);
    report["missingMedia"] = walker.missingMedia;
    nlohmann::ordered_json fontNames = nlohmann::ordered_json::array();
    for (const RecordRef& record : fonts) {
        if (auto* font = dynamic_cast<CKXTTFInfo*>(record.get())) fontNames.push_back(codePage.ToUtf8(font->faceName));
    }
    report["fonts"] = std::move(fontNames);
    nlohmann::ordered_json transitionList = nlohmann::ordered_json::array();
    for (const std::string& name : transitions) {
        bool own = settings.ownTransitions.count(name) > 0;
        transitionList.push_back({{"name", name}, {"own", own}});
        if (!own) needs.insert("the transition \"" + name + "\" of the menu's own plugins");
    }
    report["transitions"] = std::move(transitionList);
    report["transitionFiles"] = TransitionFilesOf(MenuFolderOf(path), project->header.dataFolderName);
    report["plugins"] = plugins;
    report["skins"] = walker.skins;
    report["scriptErrors"] = std::move(walker.scriptErrors);
    report["needs"] = needs;
    return report;
}
