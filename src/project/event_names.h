#pragma once

// The names of the events the player raises, as projects store them.
namespace VxEvent {
inline constexpr const char* onStartup = "On Startup";
inline constexpr const char* onShutdown = "On Shutdown";
inline constexpr const char* onPreload = "On Preload";
inline constexpr const char* onShow = "On Show";
inline constexpr const char* onClose = "On Close";
inline constexpr const char* onAudio = "On Audio";
inline constexpr const char* onKey = "On Key";
inline constexpr const char* onEnter = "On Enter";
// The context a paragraph runs its "On Enter" script under.
inline constexpr const char* onOver = "On Over";
inline constexpr const char* onLeave = "On Leave";
inline constexpr const char* onClick = "On Click";
}  // namespace VxEvent
