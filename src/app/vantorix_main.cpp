// vantorix: plays a published menu.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "app/font_listing.h"
#include "app/px_runtime_app.h"

namespace {

const char usage[] =
    "Usage: vantorix [options] [PROJECT]\n"
    "\n"
    "PROJECT is a menu's data file (.cdd), the .exe it was published with, or a folder holding\n"
    "them, such as a disc: there the program that the folder's autorun.inf opens, else the\n"
    "folder's one menu. Without it the player looks for the data file named after itself beside\n"
    "itself.\n"
    "\n"
    "  --help               this text\n"
    "  --version            the player's version\n"
    "  --password TEXT      read a data file made with another archive password\n"
    "  --codepage NAME      the code page of the project's text (default windows-1252)\n"
    "  --drive X:=PATH      let scripts see the folder PATH as drive X:\n"
    "  --headless           run without a display (every pixel is still drawn)\n"
    "  --screen WxH         the screen of a headless run (default 1024x768)\n"
    "  --replay FILE        drive the run with the commands of FILE (see docs/automation.md)\n"
    "  --log FILE           write what happens as JSON lines to FILE (- for standard output)\n"
    "  --timeout MS         end a run that has not closed after MS milliseconds (status 3)\n"
    "  --audio-out FILE     write the sound to FILE (WAV, 44100 Hz, 16-bit stereo), not the device\n"
    "  --audio-driver NAME  play through this SDL audio driver only (pipewire, pulseaudio, alsa, ...)\n"
    "  --list-fonts         list the fonts PROJECT names and embeds, and what each one is drawn with\n"
    "  /x:N /y:N            the window's position\n";

bool HasDisplay() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform) return true;
    return (std::getenv("DISPLAY") && *std::getenv("DISPLAY")) ||
           (std::getenv("WAYLAND_DISPLAY") && *std::getenv("WAYLAND_DISPLAY"));
}

std::string OwnPath(const char* argv0) {
    char buffer[4096];
    ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) return argv0;
    buffer[length] = '\0';
    return buffer;
}

}  // namespace

int main(int argc, char** argv) {
    PlayerOptions options;
    options.playerPath = OwnPath(argv[0]);
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        options.arguments.push_back(arg);
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "vantorix: %s needs a value (see vantorix --help)\n", arg.c_str());
                std::exit(2);
            }
            return argv[++i];
        };
        if (arg == "--help" || arg == "-h") {
            std::cout << usage;
            return 0;
        } else if (arg == "--version") {
            std::cout << "vantorix " VX_VERSION "\n";
            return 0;
        } else if (arg == "--password") {
            options.password = value();
        } else if (arg == "--codepage") {
            options.codePage = value();
        } else if (arg == "--drive") {
            std::string mapping = value();
            if (mapping.size() < 4 || mapping[1] != ':' || mapping[2] != '=') {
                std::fprintf(stderr, "vantorix: --drive takes X:=PATH (see vantorix --help)\n");
                return 2;
            }
            options.drives.emplace_back(mapping[0], mapping.substr(3));
        } else if (arg == "--list-fonts") {
            options.listFonts = true;
        } else if (arg == "--headless") {
            options.headless = true;
        } else if (arg == "--screen") {
            int width = 0, height = 0;
            if (std::sscanf(value().c_str(), "%dx%d", &width, &height) != 2 || width <= 0 || height <= 0) {
                std::fprintf(stderr, "vantorix: --screen takes WIDTHxHEIGHT (see vantorix --help)\n");
                return 2;
            }
            options.screen = QSize(width, height);
        } else if (arg == "--replay") {
            options.replayFile = value();
        } else if (arg == "--log") {
            options.logFile = value();
        } else if (arg == "--timeout") {
            options.timeoutMilliseconds = std::atoi(value().c_str());
        } else if (arg == "--audio-out") {
            options.audioOut = value();
        } else if (arg == "--audio-driver") {
            options.audioDriver = value();
        } else if (arg.size() > 1 && arg[0] == '/' &&
                   (arg[1] == 'x' || arg[1] == 'X' || arg[1] == 'y' || arg[1] == 'Y')) {
            // Window position switches are read by the frame.
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "vantorix: unknown option %s (see vantorix --help)\n", arg.c_str());
            return 2;
        } else {
            options.project = arg;
        }
    }
    if (options.listFonts) return ListProjectFonts(options, argc, argv, std::cout);
    if (!options.headless && !HasDisplay()) {
        std::fprintf(stderr, "vantorix: no display to show the menu on; use --headless to run without one\n");
        return 2;
    }
    return RunPlayer(options, argc, argv);
}
