// vx_swfgen: writes a small Flash movie for the tests and the demo menu.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "swf_writer.h"

namespace {

const char usage[] =
    "usage: vx_swfgen OUT.swf [--size WxH] [--rate FPS] [--version N] [--compress] [--frames N]\n"
    "                 [--colors RRGGBB,RRGGBB,...] [--paint-frames] [--rect X,Y,W,H,RRGGBB]\n"
    "                 [--fscommand-at FRAME COMMAND [ARGS]] [--geturl-at FRAME URL [TARGET]]\n"
    "                 [--stop-at FRAME] [--loop-forever-at FRAME]\n"
    "\n"
    "Writes a Flash movie of N frames (as many as there are colours, one when none are given) of\n"
    "WxH pixels (550x400) at FPS frames per second (12, fractions allowed), format N (8),\n"
    "zlib-compressed with --compress (players take that from format 6 on).\n"
    "Frame F (from 0) has the background colour F modulo the number of colours (white when none\n"
    "are given). Players keep the first background colour only: --paint-frames also covers each\n"
    "frame with a rectangle of its colour. Each --rect puts a solid rectangle, in pixels, on frame 0\n"
    "(on every frame, over the paint, with --paint-frames).\n"
    "The -at options give frame FRAME an action, in the order given: an FSCommand, a getURL, a\n"
    "stop, or a jump to itself that never ends (format 4 on). ARGS and TARGET are the next\n"
    "argument unless that starts with --.\n"
    "Exit status: 0 when written, 1 when the file cannot be written, 2 for a bad option.\n";

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Color {
    std::uint8_t r = 0xFF, g = 0xFF, b = 0xFF;
};

struct Rectangle {
    int x = 0, y = 0, width = 0, height = 0;
    Color color;
};

struct FrameAction {
    enum Kind { fsCommand, getUrl, stop, loopForever } kind;
    std::string option;  // as given, for messages
    int frame;
    std::string text;   // the command or URL
    std::string extra;  // the arguments or target
};

struct Options {
    std::string output;
    SwfWriter::Options movie;
    int frames = 0;  // 0: as many as there are colours
    std::vector<Color> colors;
    bool paintFrames = false;
    std::vector<Rectangle> rectangles;
    std::vector<FrameAction> actions;
};

long long Integer(const std::string& text, const std::string& what, long long min, long long max) {
    errno = 0;
    char* end = nullptr;
    long long value = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno == ERANGE || value < min || value > max) {
        throw UsageError(what + " is not a whole number from " + std::to_string(min) + " to " + std::to_string(max) +
                         ": " + text);
    }
    return value;
}

Color ParseColor(const std::string& text) {
    bool hex = text.size() == 6 && text.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
    if (!hex) throw UsageError("not a colour RRGGBB: " + text);
    unsigned long value = std::strtoul(text.c_str(), nullptr, 16);
    return {static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8 & 0xFF),
            static_cast<std::uint8_t>(value & 0xFF)};
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + 1) {
        parts.push_back(text.substr(start, at - start));
    }
    parts.push_back(text.substr(start));
    return parts;
}

Rectangle ParseRectangle(const std::string& text) {
    std::vector<std::string> parts = Split(text, ',');
    if (parts.size() != 5) throw UsageError("--rect needs X,Y,W,H,RRGGBB: " + text);
    constexpr long long limit = 1'000'000;
    return {static_cast<int>(Integer(parts[0], "the rectangle's X", -limit, limit)),
            static_cast<int>(Integer(parts[1], "the rectangle's Y", -limit, limit)),
            static_cast<int>(Integer(parts[2], "the rectangle's width", 1, limit)),
            static_cast<int>(Integer(parts[3], "the rectangle's height", 1, limit)), ParseColor(parts[4])};
}

Options ParseOptions(const std::vector<std::string>& args) {
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= args.size()) throw UsageError(arg + " needs a value");
            return args[++i];
        };
        auto optionalValue = [&]() -> std::string {
            if (i + 1 >= args.size() || args[i + 1].rfind("--", 0) == 0) return "";
            return args[++i];
        };
        auto frame = [&] { return static_cast<int>(Integer(value(), arg + "'s frame", 0, 0xFFFF)); };
        if (arg == "--size") {
            std::string size = value();
            std::size_t x = size.find_first_of("xX");
            if (x == std::string::npos) throw UsageError("--size needs WxH: " + size);
            options.movie.width = static_cast<int>(Integer(size.substr(0, x), "the width", 0, 1'000'000));
            options.movie.height = static_cast<int>(Integer(size.substr(x + 1), "the height", 0, 1'000'000));
        } else if (arg == "--rate") {
            std::string rate = value();
            char* end = nullptr;
            double fps = std::strtod(rate.c_str(), &end);
            if (rate.empty() || *end != '\0' || !(fps >= 0) || std::lround(fps * 256) > 0xFFFF) {
                throw UsageError("the frame rate is not a number from 0 to below 256: " + rate);
            }
            options.movie.frameRate = fps;
        } else if (arg == "--version") {
            options.movie.version = static_cast<int>(Integer(value(), "the version", 1, 255));
        } else if (arg == "--compress") {
            options.movie.compressed = true;
        } else if (arg == "--frames") {
            options.frames = static_cast<int>(Integer(value(), "the frame count", 1, 0xFFFF));
        } else if (arg == "--colors") {
            options.colors.clear();
            for (const std::string& color : Split(value(), ',')) options.colors.push_back(ParseColor(color));
        } else if (arg == "--paint-frames") {
            options.paintFrames = true;
        } else if (arg == "--rect") {
            options.rectangles.push_back(ParseRectangle(value()));
        } else if (arg == "--fscommand-at") {
            int at = frame();
            std::string command = value();
            options.actions.push_back({FrameAction::fsCommand, arg, at, command, optionalValue()});
        } else if (arg == "--geturl-at") {
            int at = frame();
            std::string url = value();
            options.actions.push_back({FrameAction::getUrl, arg, at, url, optionalValue()});
        } else if (arg == "--stop-at") {
            options.actions.push_back({FrameAction::stop, arg, frame(), "", ""});
        } else if (arg == "--loop-forever-at") {
            options.actions.push_back({FrameAction::loopForever, arg, frame(), "", ""});
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError("unknown option " + arg);
        } else if (!options.output.empty()) {
            throw UsageError("one output file only, not also " + arg);
        } else {
            options.output = arg;
        }
    }
    if (options.output.empty()) throw UsageError("no output file given");
    if (options.frames == 0) options.frames = options.colors.empty() ? 1 : static_cast<int>(options.colors.size());
    if (options.colors.empty()) options.colors.push_back(Color{});
    for (const FrameAction& action : options.actions) {
        if (action.frame >= options.frames) {
            throw UsageError(action.option + " " + std::to_string(action.frame) + ": the movie's frames are 0 to " +
                             std::to_string(options.frames - 1));
        }
    }
    return options;
}

std::vector<std::uint8_t> Movie(const Options& options) {
    SwfWriter writer(options.movie);
    for (int f = 0; f < options.frames; ++f) {
        const Color& background = options.colors[static_cast<std::size_t>(f) % options.colors.size()];
        writer.SetBackgroundColor(background.r, background.g, background.b);
        if (options.paintFrames) {
            writer.AddRectangle(0, 0, options.movie.width, options.movie.height, background.r, background.g,
                                background.b);
        }
        // Painted frames would cover shapes placed once, so those come again on each.
        if (f == 0 || options.paintFrames) {
            for (const Rectangle& r : options.rectangles) {
                writer.AddRectangle(r.x, r.y, r.width, r.height, r.color.r, r.color.g, r.color.b);
            }
        }
        for (const FrameAction& action : options.actions) {
            if (action.frame != f) continue;
            switch (action.kind) {
                case FrameAction::fsCommand:
                    writer.FsCommand(action.text, action.extra);
                    break;
                case FrameAction::getUrl:
                    writer.GetUrlAction(action.text, action.extra);
                    break;
                case FrameAction::stop:
                    writer.StopAction();
                    break;
                case FrameAction::loopForever:
                    writer.LoopForeverAction();
                    break;
            }
        }
        writer.ShowFrame();
    }
    return writer.Bytes();
}

// False with *error set; a file left half written is removed.
bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string* error) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        *error = path + ": " + std::strerror(errno);
        return false;
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    int writeErrno = errno;
    if (std::fclose(file) != 0 && written) {
        written = false;
        writeErrno = errno;
    }
    if (!written) {
        *error = path + ": " + std::strerror(writeErrno);
        std::remove(path.c_str());
    }
    return written;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            std::cout << usage;
            return 0;
        }
    }
    Options options;
    std::vector<std::uint8_t> movie;
    try {
        options = ParseOptions(args);
        movie = Movie(options);
    } catch (const UsageError& e) {
        std::cerr << "vx_swfgen: " << e.what() << " (see vx_swfgen --help)\n";
        return 2;
    } catch (const std::invalid_argument& e) {
        // A value the options let through but the movie cannot hold.
        std::cerr << "vx_swfgen: " << e.what() << "\n";
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "vx_swfgen: " << e.what() << "\n";
        return 1;
    }
    std::string error;
    if (!WriteFile(options.output, movie, &error)) {
        std::cerr << "vx_swfgen: cannot write " << error << "\n";
        return 1;
    }
    return 0;
}
