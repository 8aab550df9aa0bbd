#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Builds a small Flash movie in memory for the tests and the demo menu: plain frames with a
// background colour, solid rectangles and the frame actions a menu disc's movies use (FSCommand,
// getURL, stop, and an endless loop for testing script timeouts).
//
// Tags go into the current frame until ShowFrame closes it; the frame count in the header is the
// number of ShowFrame calls. Bad values (a size or rate out of range, a string holding a NUL,
// more characters or frames than the format counts) raise std::invalid_argument.
class SwfWriter {
public:
    struct Options {
        int width = 550;  // pixels
        int height = 400;
        double frameRate = 12;  // frames per second; kept in 1/256, below 256
        int version = 8;        // 1 to 255; from 8 on the movie opens with a FileAttributes tag
        // zlib body ("CWS"); players take that from format 6 on, but older formats are written too,
        // so that tests can see them refused.
        bool compressed = false;
    };

    explicit SwfWriter(const Options& options);

    void SetBackgroundColor(std::uint8_t r, std::uint8_t g, std::uint8_t b);
    // A solid rectangle in pixels, as its own shape placed above everything placed before it.
    void AddRectangle(int x, int y, int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b);
    // Frame actions, one DoAction tag each.
    void FsCommand(const std::string& command, const std::string& args = "");
    void GetUrlAction(const std::string& url, const std::string& target = "");
    void StopAction();
    // A jump to itself: the frame never finishes its actions (ActionJump needs format 4).
    void LoopForeverAction();
    void ShowFrame();

    int FrameCount() const { return frameCount; }
    // The whole movie with its End tag; the writer can take more tags afterwards.
    std::vector<std::uint8_t> Bytes() const;

private:
    void AddTag(int code, const std::vector<std::uint8_t>& body);
    void AddActions(const std::vector<std::uint8_t>& actions);

    Options options;
    int rateTimes256 = 0;
    std::vector<std::uint8_t> tags;
    int frameCount = 0;
    int nextCharacterId = 1;
    int nextDepth = 1;
};
