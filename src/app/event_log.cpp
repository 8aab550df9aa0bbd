#include "app/event_log.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>

#include "platform/code_page.h"

using Json = nlohmann::ordered_json;

EventLog::EventLog(Clock::time_point start) : start(start) {}

EventLog::EventLog(std::ostream* out, Clock::time_point start) : start(start), out(out) {}

EventLog::~EventLog() = default;

bool EventLog::Open(const std::string& path, std::string& error) {
    if (path == "-") {
        file.reset();
        out = &std::cout;
        return true;
    }
    errno = 0;
    auto opened = std::make_unique<std::ofstream>(path, std::ios::binary | std::ios::trunc);
    if (!*opened) {
        error = "cannot create the log file " + path +
                (errno != 0 ? std::string(": ") + std::strerror(errno) : std::string());
        return false;
    }
    file = std::move(opened);
    out = file.get();
    return true;
}

void EventLog::Start() {
    Write({{"ev", "start"}});
}

void EventLog::Page(int index, const std::string& nameUtf8) {
    Write({{"ev", "page"}, {"index", index}, {"name", nameUtf8}});
}

void EventLog::Script(const std::string& contextUtf8, int status) {
    Write({{"ev", "script"}, {"context", contextUtf8}, {"status", status}});
}

void EventLog::Dialog(const std::string& kind, const std::string& titleUtf8, const std::string& textUtf8,
                      unsigned style, const Json& answer) {
    Write({{"ev", "dialog"},
           {"kind", kind},
           {"title", titleUtf8},
           {"text", textUtf8},
           {"style", style},
           {"answer", answer}});
}

void EventLog::Debug(const std::string& textUtf8) {
    Write({{"ev", "debug"}, {"text", textUtf8}});
}

void EventLog::Shot(const std::string& file) {
    Write({{"ev", "shot"}, {"file", file}});
}

void EventLog::Exit(int code) {
    Write({{"ev", "exit"}, {"code", code}});
}

void EventLog::Write(const Json& event) {
    if (!out || !event.is_object()) return;
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    Json line = {{"t", elapsed.count()}};
    if (auto ev = event.find("ev"); ev != event.end()) line["ev"] = *ev;
    for (const auto& [key, value] : event.items()) {
        if (key != "t" && key != "ev") line[key] = value;
    }
    // Replacing bad bytes keeps a stray code-page string from ending the run with an exception.
    std::string text = line.dump(-1, ' ', false, Json::error_handler_t::replace) + '\n';
    std::lock_guard<std::mutex> lock(writing);
    *out << text;
    out->flush();
}

std::string EventLog::Utf8(const std::string& projectText) const {
    return (codePage ? *codePage : CodePage::Default()).ToUtf8(projectText);
}

void EventLog::PageEntered(int index, const std::string& name) {
    Page(index, Utf8(name));
}

void EventLog::ScriptRan(const std::string& context, int status) {
    Script(Utf8(context), status);
}

void EventLog::AudioEvent(const char* action, int channel, const std::string& file, int result) {
    Json event = {{"ev", "audio"}, {"action", action}, {"channel", channel}};
    if (!file.empty()) event["file"] = Utf8(file);
    event["result"] = result;
    Write(event);
}

void EventLog::SoundOff(const std::string& reason) {
    Write({{"ev", "audio"}, {"action", "off"}, {"reason", reason}});
}

void EventLog::VideoEvent(const VideoLogEntry& entry) {
    Json event = {{"ev", "video"}, {"action", entry.action}};
    if (!entry.file.empty()) event["file"] = entry.file;
    if (entry.width >= 0) event["width"] = entry.width;
    if (entry.height >= 0) event["height"] = entry.height;
    if (entry.length >= 0) event["length"] = entry.length;
    if (entry.position >= 0) event["position"] = entry.position;
    if (!entry.error.empty()) event["error"] = entry.error;
    Write(event);
}

void EventLog::FlashEvent(const FlashLogEntry& entry) {
    Json event = {{"ev", "flash"}, {"action", entry.action}, {"file", entry.file}};
    if (entry.action == "ready") {
        event["state"] = std::atoi(entry.detail.c_str());
    } else if (!entry.detail.empty()) {
        event["detail"] = entry.detail;
    }
    Write(event);
}

void EventLog::IntroEvent(const IntroLogEntry& entry) {
    auto box = [](const VxRect& r) { return Json::array({r.left, r.top, r.right, r.bottom}); };
    Json event = {{"ev", "intro"}, {"action", entry.action}};
    if (entry.action == "start") {
        event["kind"] = entry.kind;
        event["file"] = entry.file;
        event["window"] = box(entry.window);
        event["media"] = box(entry.media);
    } else {
        event["reason"] = entry.reason;
    }
    Write(event);
}

void EventLog::TransitionPlayed(const CKXTransitionDLLInfo& plugin, const TransitionOutcome& outcome) {
    Json event = {{"ev", "transition"}, {"file", plugin.path}, {"name", Utf8(plugin.name)}};
    if (outcome.played) {
        event["frames"] = outcome.frames;
        event["ms"] = static_cast<long long>(outcome.milliseconds + 0.5);
    } else {
        event["error"] = outcome.error;
    }
    Write(event);
}

void EventLog::FontEvent(const CKXTTFManager::FontEvent& event) {
    Json entry = {{"ev", "font"}, {"face", event.face}, {"action", event.action}};
    if (!event.detail.empty()) entry[event.action == "installed" ? "file" : "reason"] = event.detail;
    Write(entry);
}

void EventLog::PluginSkipped(const std::string& path, const std::string& reason) {
    Write({{"ev", "plugin"}, {"file", path}, {"reason", reason}});
}
