#include "app/event_log.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>

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
