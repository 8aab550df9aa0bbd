#pragma once

#include <span>

// The fixed data every script sees as globals: the named constants for action arguments, the
// messages behind the last-error codes (_tblErrorMessages) and the texts of the host's own
// notifications (_tblNotificationMessages), each in the order the globals are set.

struct NamedConstant {
    const char* name;
    int value;
};

struct ErrorMessage {
    int code;
    const char* text;
};

struct NotificationMessage {
    const char* key;
    const char* text;
};

std::span<const NamedConstant> ScriptConstants();
std::span<const ErrorMessage> ErrorMessages();
std::span<const NotificationMessage> NotificationMessages();
