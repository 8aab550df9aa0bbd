#include "replay_generator.h"

#include <string>
#include <vector>

std::string GenerateReplay(std::mt19937& random, int width, int height, int maxWaitMs) {
    auto between = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    // Points a little past the edges too, as a drag out of the window goes.
    auto point = [&] {
        return std::to_string(between(-20, width + 20)) + " " + std::to_string(between(-20, height + 20));
    };
    static const std::vector<std::string> keys = {"SPACE", "RETURN", "ESCAPE", "LEFT", "RIGHT", "UP", "DOWN",
                                                  "TAB",   "1",      "2",      "5",    "A",     "F1", "0x41"};
    static const std::vector<std::string> answers = {"answer OK", "answer CANCEL",    "answer YES",
                                                     "answer NO", "answer-text soak", "answer-cancel"};
    std::string replay;
    int waited = 0;
    int steps = between(3, 80);
    for (int i = 0; i < steps && waited < maxWaitMs; ++i) {
        switch (between(0, 11)) {
            case 0:
            case 1:
            case 2: {
                int ms = std::min(between(0, 500), maxWaitMs - waited);
                waited += ms;
                replay += "wait " + std::to_string(ms) + "\n";
                break;
            }
            case 3:
            case 4:
                replay += "move " + point() + "\n";
                break;
            case 5:
                replay += "click " + point() + (between(0, 5) == 0 ? " right" : "") + "\n";
                break;
            case 6:
                // A drag: press, moves, release somewhere else.
                replay += "down " + point() + "\n";
                for (int m = between(0, 4); m > 0; --m) replay += "move " + point() + "\n";
                replay += "up " + point() + "\n";
                break;
            case 7:
                replay += "dblclick " + point() + "\n";
                break;
            case 8:
                replay += "wheel " + point() + " " + std::to_string(between(-3, 3) * 120) + "\n";
                break;
            case 9: {
                std::string key = keys[static_cast<std::size_t>(between(0, static_cast<int>(keys.size()) - 1))];
                replay += "key " + key + (between(0, 4) == 0 ? " shift" : "") + "\n";
                break;
            }
            case 10:
                replay += answers[static_cast<std::size_t>(between(0, static_cast<int>(answers.size()) - 1))] + "\n";
                break;
            default:
                if (between(0, 3) == 0) {
                    replay += "close\n";
                    return replay;
                }
                break;
        }
    }
    return replay;
}
