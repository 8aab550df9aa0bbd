// Video playback on the player window, headless, on a movie this program makes with ffmpeg
// (1280 x 720, 30 frames a second, H.264) shown in 800 x 450:
//   - from the open to its first picture on screen, and from Play to the next one;
//   - pictures shown and dropped over 10 s of playback, and the processor time it took, as a
//     share of one core;
//   - the processor time of 3 s with the movie paused.
//
//   vx_bench_video [FOLDER]   (default: a fresh folder under the temporary directory)
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "media/video/direct_show_player_wnd.h"

namespace {

double ProcessorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void RunFor(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs the event loop until the player has shown more than count pictures, at most a few
// seconds; the milliseconds.
double WaitForPicture(const CDirectShowPlayerWnd& player, std::int64_t count) {
    QElapsedTimer clock;
    clock.start();
    while (player.FramesShown() <= count && clock.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    return clock.nsecsElapsed() / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    std::filesystem::path folder =
        argc > 1 ? std::filesystem::path(argv[1]) : std::filesystem::temp_directory_path() / "vx_bench_video";
    std::filesystem::create_directories(folder);
    std::string movie = (folder / "bench.mp4").string();
    std::string command =
        "ffmpeg -loglevel error -y -f lavfi -i testsrc=size=1280x720:rate=30:duration=14 "
        "-c:v libx264 -preset veryfast -pix_fmt yuv420p '" +
        movie + "'";
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "vx_bench_video: ffmpeg could not make the movie\n");
        return 1;
    }

    VideoPlayerSetup setup;
    setup.controllerShown = false;
    setup.audio = false;
    CDirectShowPlayerWnd player(nullptr, setup);
    player.resize(800, 450);
    player.show();

    QElapsedTimer clock;
    clock.start();
    if (!player.LoadMovie(movie)) {
        std::fprintf(stderr, "vx_bench_video: the movie does not open\n");
        return 1;
    }
    double opened = clock.nsecsElapsed() / 1e6;
    double firstPicture = opened + WaitForPicture(player, 0);
    std::int64_t before = player.FramesShown();
    clock.restart();
    player.Play();
    double playToPicture = WaitForPicture(player, before);

    std::int64_t shownBefore = player.FramesShown(), droppedBefore = player.DroppedFrames();
    double processorBefore = ProcessorSeconds();
    RunFor(10000);
    double processor = ProcessorSeconds() - processorBefore;
    long long shown = player.FramesShown() - shownBefore, dropped = player.DroppedFrames() - droppedBefore;

    player.Pause();
    RunFor(200);
    double idleBefore = ProcessorSeconds();
    RunFor(3000);
    double idle = ProcessorSeconds() - idleBefore;

    std::printf("open: %.0f ms; open to first picture: %.0f ms; Play to the next picture: %.0f ms\n", opened,
                firstPicture, playToPicture);
    std::printf("10 s of playback: %lld pictures shown (30 a second makes 300), %lld dropped, %.0f%% of one core\n",
                shown, dropped, processor / 10 * 100);
    std::printf("dropped before the 10 s began: %lld\n", static_cast<long long>(droppedBefore));
    std::printf("3 s paused: %.3f s of processor time\n", idle);
    return 0;
}
