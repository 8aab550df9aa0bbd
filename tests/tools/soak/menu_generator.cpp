#include "menu_generator.h"

#include <array>
#include <string>
#include <vector>

namespace {

using json = nlohmann::ordered_json;

constexpr int width = 640, height = 480;
constexpr int kindButton = 0, kindLabel = 1, kindParagraph = 2, kindImage = 3, kindFlash = 4, kindVideo = 5;

class Generator {
public:
    Generator(std::mt19937& random, bool withFlash) : random(random), withFlash(withFlash) {}

    GeneratedMenu Menu() {
        pageCount = Between(2, 5);
        json pages = json::array();
        for (int p = 0; p < pageCount; ++p) pages.push_back(Page(p));
        json project = {{"projectTitle", "Soak"},
                        {"windowWidth", width},
                        {"windowHeight", height},
                        {"defaultHoverSound", "sounds\\hover.wav"},
                        {"defaultClickSound", "sounds\\click.wav"},
                        {"projectEvents", json::array({Event("On Startup", "Debug.Print('start')"),
                                                       Event("On Shutdown", "Debug.Print('end')")})}};
        if (Chance(3)) {
            project["backgroundMusic"] = {{"loopList", 1}, {"tracks", json::array({"sounds\\theme.ogg"})}};
        }
        return {{{"project", project}, {"pages", pages}}, kinds};
    }

private:
    int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }
    bool Chance(int oneIn) { return Between(1, oneIn) == 1; }
    template <typename T>
    const T& Pick(const std::vector<T>& from) {
        return from[static_cast<std::size_t>(Between(0, static_cast<int>(from.size()) - 1))];
    }

    static json Event(const std::string& name, const std::string& script) {
        return {{"eventName", name}, {"script", script}};
    }

    std::string PageName(int index) const { return "P" + std::to_string(index); }

    // The names every page's objects take, so that scripts can name objects of any page: those
    // not on the current one are refused with an error code, as on a real disc.
    static std::string ObjectName(int kind, int number) {
        static const std::array<const char*, 6> stems = {"Btn", "Lbl", "Par", "Img", "Fla", "Vid"};
        return stems[static_cast<std::size_t>(kind)] + std::to_string(number);
    }

    std::string Text() {
        static const std::vector<std::string> words = {"disc", "menu",  "page",      "one",
                                                       "two",  "three", "a",         "longer",
                                                       "word", "\\n",   "Tab\there", "\xC3\xA9t\xC3\xA9"};
        std::string text;
        int count = Between(0, 30);
        for (int i = 0; i < count; ++i) text += (i ? " " : "") + Pick(words);
        return text;
    }

    // What a script may not do where doing it raises the same event again at once, or nests the
    // next page change in its wait: a menu that asks for endless recursion gets the script
    // error it asked for.
    enum Without { nothing = 0, audio = 1, video = 2, waits = 4 };

    // One statement of a script, in Lua, with the project's actions.
    std::string Statement(int without = nothing) {
        std::string some = ObjectName(kindLabel, Between(0, 2)), quoted = "'" + Text() + "'";
        int choice = Between(0, 19);
        if ((without & audio) && choice >= 2 && choice <= 5) choice = 18;
        if ((without & video) && (choice == 6 || choice == 7)) choice = 18;
        if ((without & waits) && choice == 19) choice = 18;
        switch (choice) {
            case 0:
                return "Page.Jump('" + PageName(Between(0, pageCount - 1)) + "')";
            case 1:
                return "Page.Navigate(" +
                       Pick<std::string>(
                           {"PAGE_FIRST", "PAGE_LAST", "PAGE_NEXT", "PAGE_PREVIOUS", "PAGE_BACKWARD", "PAGE_FORWARD"}) +
                       ")";
            case 2:
                return "Audio.Load(CHANNEL_NARRATION, 'sounds\\\\narration.ogg') Audio.Play(CHANNEL_NARRATION)";
            case 3:
                return "Audio.TogglePlay(CHANNEL_NARRATION)";
            case 4:
                return "Audio.Stop(CHANNEL_NARRATION)";
            case 5:
                return "Audio.Load(CHANNEL_USER1, 'sounds\\\\click.wav') Audio.Play(CHANNEL_USER1)";
            case 6:
                return "Video.Load('" + ObjectName(kindVideo, Between(0, 1)) + "', 'assets\\\\film.mpg', true)";
            case 7:
                return "Video." + Pick<std::string>({"Play", "Pause", "Stop"}) + "('" +
                       ObjectName(kindVideo, Between(0, 1)) + "')";
            case 8:
                return "Flash." + Pick<std::string>({"Play", "Stop"}) + "('" + ObjectName(kindFlash, 0) + "')";
            case 9:
                return "Dialog.Message('Soak', " + quoted + ", " + std::to_string(Between(0, 5)) + ")";
            case 10:
                return "Dialog.Input('Soak', " + quoted + ")";
            case 11:
                return "Label.SetText('" + some + "', " + quoted + ")";
            case 12:
                return "Paragraph.SetText('" + ObjectName(kindParagraph, 0) + "', string.rep(" + quoted +
                       " .. '\\r\\n', " + std::to_string(Between(0, 60)) + "))";
            case 13:
                return "Image.Load('" + ObjectName(kindImage, 0) + "', 'assets\\\\" +
                       Pick<std::string>({"emblem.png", "landscape.png", "tile.png", "missing.png"}) + "')";
            case 14:
                return "Label.SetVisible('" + some + "', " + (Chance(2) ? "true" : "false") + ")";
            case 15:
                return "Button.SetText('" + ObjectName(kindButton, 0) + "', " + quoted + ")";
            case 16:
                return "Page.Redraw()";
            case 17:
                return "Application.SetRedraw(" + std::string(Chance(2) ? "true" : "false") + ")";
            case 18:
                return "Debug.Print(" + quoted + ")";
            default:
                return "Application.Sleep(" + std::to_string(Between(0, 50)) + ")";
        }
    }

    std::string Script(int without = nothing) {
        std::string script;
        int count = Between(1, 3);
        for (int i = 0; i < count; ++i) script += Statement(without) + "\r\n";
        return script;
    }

    json Rect() {
        int left = Between(0, width - 40), top = Between(0, height - 30);
        return json::array(
            {left, top, std::min(width, left + Between(20, 300)), std::min(height, top + Between(15, 250))});
    }

    json Object(int kind, int number) {
        kinds.insert(kind);
        json object = {{"typeCode", kind}, {"objectName", ObjectName(kind, number)}, {"rect", Rect()}};
        json events = json::array();
        if (Chance(2)) events.push_back(Event("On Click", Script()));
        if (Chance(3)) events.push_back(Event("On Enter", Script()));
        if (kind == kindVideo && Chance(2)) events.push_back(Event("On Play", Script(video)));
        if (kind == kindVideo && Chance(2)) events.push_back(Event("On Finish", Script()));
        object["objectEvents"] = events;
        if (Chance(3)) object["tooltipText"] = Text();
        switch (kind) {
            case kindButton:
                object["button"] = {
                    {"buttonFile", "buttons\\blue.btn"}, {"caption", Text()}, {"toggle", Between(0, 1)}};
                break;
            case kindLabel:
                object["label"] = {{"text", Text()},
                                   {"angle", Pick<int>({0, 0, 90, 180, 270})},
                                   {"autoSize", Between(0, 1)},
                                   {"font", {{"height", -Between(8, 40)}}}};
                break;
            case kindParagraph:
                object["paragraph"] = {{"text", Text()},
                                       {"verticalBarMode", Between(0, 2)},
                                       {"horizontalBarMode", Between(0, 2)},
                                       {"font", {{"height", -Between(8, 30)}}}};
                break;
            case kindImage:
                object["image"] = {{"imageFile", "assets\\" + Pick<std::string>({"emblem.png", "landscape.png",
                                                                                 "tile.png", "backdrop.jpg"})}};
                break;
            case kindFlash:
                object["flash"] = {{"file", "assets\\flash.swf"}};
                break;
            case kindVideo:
                object["video"] = {{"file", "assets\\film.mpg"},
                                   {"playOnShow", Between(0, 1)},
                                   {"loop", Between(0, 1)},
                                   {"controllerStyle", Between(0, 1)}};
                break;
        }
        return object;
    }

    json Page(int index) {
        json events = json::array({Event("On Show", Script(waits))});
        if (Chance(2)) events.push_back(Event("On Close", Script(waits)));
        if (Chance(2))
            events.push_back(Event("On Audio", "Debug.Print(e_Channel .. ' ' .. e_State)\r\n" +
                                                   (Chance(2) ? Script(audio | waits) : std::string())));
        if (Chance(2)) events.push_back(Event("On Key", "if e_Key == 39 then " + Statement() + " end"));
        std::vector<int> objectKinds = {kindButton, kindLabel, kindParagraph, kindImage, kindVideo};
        if (withFlash) objectKinds.push_back(kindFlash);
        // The first page holds every kind; the others a random few.
        std::vector<int> chosen = index == 0 ? objectKinds : std::vector<int>{};
        int extra = Between(1, 6);
        for (int i = 0; i < extra; ++i) chosen.push_back(Pick(objectKinds));
        json objects = json::array();
        std::array<int, 6> numbers{};
        for (int kind : chosen) {
            // At most one Flash movie a page: each one is a web page of its own.
            if (kind == kindFlash && numbers[kindFlash] > 0) continue;
            objects.push_back(Object(kind, numbers[static_cast<std::size_t>(kind)]++));
        }
        return {{"pageName", PageName(index)},
                {"backgroundColor", Between(0, 0xFFFFFF)},
                {"pageEvents", events},
                {"pageObjects", objects}};
    }

    std::mt19937& random;
    bool withFlash;
    int pageCount = 2;
    std::set<int> kinds;
};

}  // namespace

GeneratedMenu GenerateMenu(std::mt19937& random, bool withFlash) {
    return Generator(random, withFlash).Menu();
}
