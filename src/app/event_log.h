#pragma once

#include <chrono>
#include <iosfwd>
#include <memory>
#include <mutex>
#include <string>

#include <nlohmann/json.hpp>

#include "engine/run_observer.h"

class CodePage;

// The record of a headless run: one JSON object a line, {"t": ms since start, "ev": name, ...},
// written and flushed as each thing happens, so that a run that crashes still leaves its story.
// Texts arrive as UTF-8; bytes that are not valid UTF-8 are written as U+FFFD. A log that is not
// open takes every event and writes nothing. Lines may come from any thread (the run's watchdog
// writes the exit of a run it ends). As the run's observer it turns what the document, the view
// and the media report into lines; every line of the player's log is written here.
class EventLog : public CRunObserver {
public:
    using Clock = std::chrono::steady_clock;

    // Not open until Open succeeds.
    explicit EventLog(Clock::time_point start = Clock::now());
    // Writes to a stream the caller keeps alive; a null stream gives a log that is not open.
    explicit EventLog(std::ostream* out, Clock::time_point start = Clock::now());
    ~EventLog() override;
    EventLog(const EventLog&) = delete;
    EventLog& operator=(const EventLog&) = delete;

    // Creates (or empties) the file at path, or takes standard output for "-". On failure
    // returns false with a message naming the file, and the log stays as it was.
    bool Open(const std::string& path, std::string& error);
    bool IsOpen() const { return out != nullptr; }

    // The code page of the project's texts that reports bring (windows-1252 until set).
    void SetCodePage(const CodePage& projectCodePage) { codePage = &projectCodePage; }

    void Start();
    void Page(int index, const std::string& nameUtf8);
    void Script(const std::string& contextUtf8, int status);
    // answer: the button ID for message boxes, the text or files chosen, null when cancelled.
    void Dialog(const std::string& kind, const std::string& titleUtf8, const std::string& textUtf8, unsigned style,
                const nlohmann::ordered_json& answer);
    void Debug(const std::string& textUtf8);
    void Shot(const std::string& file);
    void Exit(int code);
    // Any event: an object with "ev" and its fields. "t" is put first and "ev" second; the other
    // fields keep their order.
    void Write(const nlohmann::ordered_json& event);

    // CRunObserver
    void PageEntered(int index, const std::string& name) override;
    void ScriptRan(const std::string& context, int status) override;
    void AudioEvent(const char* action, int channel, const std::string& file, int result) override;
    void SoundOff(const std::string& reason) override;
    void VideoEvent(const VideoLogEntry& entry) override;
    void FlashEvent(const FlashLogEntry& entry) override;
    void IntroEvent(const IntroLogEntry& entry) override;
    void TransitionPlayed(const CKXTransitionDLLInfo& plugin, const TransitionOutcome& outcome) override;
    void FontEvent(const CKXTTFManager::FontEvent& event) override;
    void PluginSkipped(const std::string& path, const std::string& reason) override;

private:
    std::string Utf8(const std::string& projectText) const;

    const CodePage* codePage = nullptr;
    Clock::time_point start;
    std::unique_ptr<std::ostream> file;
    std::ostream* out = nullptr;
    std::mutex writing;
};
