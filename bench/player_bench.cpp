// The player's page work, headless: (a) start to the first page painted for the demo, (b) a page
// change between two 800 x 600 pages of 20 objects with their pictures loaded, from the request
// to the end of the repaint, (c) a full repaint of such a page.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "actions/action_tables.h"
#include "app/main_frame.h"
#include "app/project_settings.h"
#include "engine/px_runtime_doc.h"
#include "platform/code_page.h"
#include "platform/dialogs.h"
#include "platform/windows_paths.h"
#include "project/archive_password.h"
#include "project/vantorix_event.h"
#include "project/vantorix_image_object.h"
#include "project/vantorix_text_object.h"
#include "project/zip_writer.h"
#include "view/px_runtime_view.h"

namespace fs = std::filesystem;

namespace {

struct Player {
    ScriptedDialogs dialogs;
    CKXFrameServices frameServices;
    std::unique_ptr<CPXRuntimeDoc> document;
    std::unique_ptr<CMainFrame> frame;

    explicit Player(const std::string& dataFile) {
        document = std::make_unique<CPXRuntimeDoc>(dialogs, frameServices, CodePage::Default(), ActionTables());
        RuntimeAppSettings settings;
        std::string message;
        LoadProjectSettings(dataFile, archivePassword, CodePage::Default(), settings, message);
        if (!document->OnNewDocument(dataFile, dataFile, archivePassword, nullptr)) std::abort();
        frame = std::make_unique<CMainFrame>(settings, *document, QSize(1024, 768), QRect(0, 0, 1024, 768),
                                             std::vector<std::string>{});
        frame->show();
        // The demo opens with a picture intro: a key skips it at once.
        CPXRuntimeView& view = frame->View();
        view.beforeIntro = [&view] {
            QTimer::singleShot(0, &view, [&view] {
                QKeyEvent key(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
                if (QWidget* intro = view.IntroWindow()) QApplication::sendEvent(intro, &key);
            });
        };
        view.OnInitialUpdate();
        QApplication::processEvents();
    }
};

// Two pages of 20 objects: pictures, and labels between them.
std::string MakeProject(const fs::path& folder) {
    QImage picture(160, 120, QImage::Format_ARGB32);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) picture.setPixel(x, y, qRgba(x, y * 2, (x + y) % 256, 255));
    }
    picture.save(QString::fromStdString((folder / "picture.png").string()));
    CVantorixProject project;
    project.info.windowWidth = 800;
    project.info.windowHeight = 600;
    for (int p = 0; p < 2; ++p) {
        auto page = std::make_unique<CVantorixMenuPage>();
        page->pageName = "Page" + std::to_string(p);
        page->backgroundType = 1;
        for (int o = 0; o < 20; ++o) {
            VxRect rect{(o % 5) * 160, (o / 5) * 150, (o % 5) * 160 + 150, (o / 5) * 150 + 110};
            if (o % 2 == 0) {
                auto image = std::make_shared<CVantorixImageObject>();
                image->imageFile = "picture.png";
                image->rect = rect;
                image->opacity = 80;
                page->pageObjects.push_back(image);
            } else {
                auto label = std::make_shared<CVantorixTextObject>();
                label->text = "Label " + std::to_string(o) + "\r\nsecond line";
                label->rect = rect;
                page->pageObjects.push_back(label);
            }
        }
        project.pages.push_back(std::move(page));
    }
    std::string path = (folder / "bench.cdd").string();
    std::string error;
    WriteZipArchive(path, {{"_proj.dat", WriteProjectEntry(project), true}}, archivePassword, &error);
    return path;
}

fs::path Workspace() {
    static fs::path folder = [] {
        fs::path path = fs::temp_directory_path() / ("vx-player-bench-" + std::to_string(getpid()));
        fs::create_directories(path);
        WindowsPathLayer::Instance().SetDataHome((path / "data").string());
        return path;
    }();
    return folder;
}

// One page of 100 overlapping labels and pictures.
std::string MakeCrowdedProject(const fs::path& folder) {
    QImage picture(60, 40, QImage::Format_ARGB32);
    picture.fill(qRgba(200, 120, 40, 255));
    picture.save(QString::fromStdString((folder / "small.png").string()));
    CVantorixProject project;
    project.info.windowWidth = 800;
    project.info.windowHeight = 600;
    auto page = std::make_unique<CVantorixMenuPage>();
    for (int o = 0; o < 100; ++o) {
        VxRect rect{100 + (o % 10) * 20, 100 + (o / 10) * 15, 100 + (o % 10) * 20 + 200, 100 + (o / 10) * 15 + 150};
        if (o % 2 == 0) {
            auto image = std::make_shared<CVantorixImageObject>();
            image->imageFile = "small.png";
            image->rect = rect;
            image->objectEvents = {std::make_shared<CVantorixEvent>("On Enter")};
            page->pageObjects.push_back(image);
        } else {
            auto label = std::make_shared<CVantorixTextObject>();
            label->text = "Item " + std::to_string(o);
            label->rect = rect;
            page->pageObjects.push_back(label);
        }
    }
    project.pages.push_back(std::move(page));
    std::string path = (folder / "crowded.cdd").string();
    std::string error;
    WriteZipArchive(path, {{"_proj.dat", WriteProjectEntry(project), true}}, archivePassword, &error);
    return path;
}

// A pointer move over the crowd: the hit test, Leave for all others, Enter for one, and the
// repaint of the label that changes its highlight.
void BM_PointerMove(benchmark::State& state) {
    Player player(MakeCrowdedProject(Workspace()));
    CPXRuntimeView& view = player.frame->View();
    view.alwaysActive = true;
    view.repaint();
    // On to the topmost label and off to empty page: one hover repaint per move.
    QPointF points[] = {QPointF(330, 260), QPointF(50, 50)};
    int i = 0;
    for (auto _ : state) {
        QMouseEvent move(QEvent::MouseMove, points[i], view.mapToGlobal(points[i]), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(&view, &move);
        QApplication::processEvents();
        i = 1 - i;
    }
}

void BM_StartToFirstPaint(benchmark::State& state) {
    std::string demo = std::string(VX_BIN_DIR) + "/../examples/demo/demo.cdd";
    for (auto _ : state) {
        Player player(demo);
        benchmark::DoNotOptimize(player.document.get());
    }
}

void BM_PageChange(benchmark::State& state) {
    Player player(MakeProject(Workspace()));
    CPXRuntimeDoc& document = *player.document;
    // Both pages once, so their pictures are loaded.
    document.ShowPage(1, true);
    document.ShowPage(0, true);
    int next = 1;
    for (auto _ : state) {
        document.ShowPage(next, true);
        next = 1 - next;
    }
}

void BM_FullRepaint(benchmark::State& state) {
    Player player(MakeProject(Workspace()));
    CPXRuntimeView& view = player.frame->View();
    view.repaint();
    for (auto _ : state) view.repaint();
}

BENCHMARK(BM_StartToFirstPaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageChange)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PointerMove)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(Workspace());
    return 0;
}
