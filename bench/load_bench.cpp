// How long a large project takes to load: extraction of "_proj.dat" (decryption and inflation)
// against the parse of the extracted stream, for 250 pages of 40 objects each.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>

#include "platform/code_page.h"
#include "project/archive_password.h"
#include "project/unzip_to_memory.h"
#include "project/vantorix_button_object.h"
#include "project/vantorix_event.h"
#include "project/vantorix_image_object.h"
#include "project/vantorix_paragraph_object.h"
#include "project/vantorix_project.h"
#include "project/vantorix_text_object.h"
#include "project/zip_writer.h"

namespace {

constexpr int pageCount = 250;
constexpr int objectsPerPage = 40;

// Text that varies like an author's, so the entry compresses about as well as a real one.
std::string Words(int count) {
    static const char* const vocabulary[] = {
        "menu",          "page",       "the",        "disc",    "install",   "video",   "click",   "here",  "to",
        "start",         "of",         "and",        "product", "catalogue", "support", "contact", "music", "gallery",
        "open",          "file",       "Visits",     "local",   "then",      "else",    "end",     "if",    "Page.Jump",
        "Label.SetText", "Audio.Play", "\"Status\"", "=",       "+",         "1",       "--",      "(",     ")",
        "\r\n",          "nil",        "return",     "function"};
    static std::uint32_t state = 12345;
    std::string text;
    for (int i = 0; i < count; ++i) {
        state = state * 1103515245 + 12345;
        text += vocabulary[(state >> 16) % std::size(vocabulary)];
        text += ' ';
    }
    return text;
}

RecordRef ClickEvent() {
    auto event = std::make_shared<CVantorixEvent>("On Click");
    event->script = Words(25);
    return event;
}

RecordRef MakeObject(int index) {
    std::shared_ptr<CVantorixBaseObject> object;
    switch (index % 4) {
        case 0: {
            auto button = std::make_shared<CVantorixButtonObject>();
            button->buttonFile = "Buttons\\blue_glass.btn";
            button->caption = Words(2);
            object = button;
            break;
        }
        case 1: {
            auto label = std::make_shared<CVantorixTextObject>();
            label->text = Words(4);
            object = label;
            break;
        }
        case 2: {
            auto paragraph = std::make_shared<CVantorixParagraphObject>();
            paragraph->text = Words(60);
            object = paragraph;
            break;
        }
        default: {
            auto image = std::make_shared<CVantorixImageObject>();
            image->imageFile = "Images\\picture" + std::to_string(index) + ".png";
            object = image;
            break;
        }
    }
    object->objectName = "Object" + std::to_string(index);
    object->rect = {index * 10, index * 5, index * 10 + 120, index * 5 + 40};
    object->tooltipText = Words(3);
    object->objectEvents = {ClickEvent(), std::make_shared<CVantorixEvent>("On Enter")};
    return object;
}

struct Fixture {
    std::string path;
    std::vector<std::uint8_t> stream;

    Fixture() {
        CVantorixProject project;
        for (int p = 0; p < pageCount; ++p) {
            auto page = std::make_unique<CVantorixMenuPage>();
            page->pageName = "Page" + std::to_string(p);
            page->backgroundPicture = "Images\\background.jpg";
            for (int o = 0; o < objectsPerPage; ++o) page->pageObjects.push_back(MakeObject(o));
            project.pages.push_back(std::move(page));
        }
        stream = WriteProjectEntry(project);
        path = (std::filesystem::temp_directory_path() / ("vx-bench-" + std::to_string(getpid()) + ".cdd")).string();
        std::string error;
        if (!WriteZipArchive(path, {{projectEntryName, stream, true}}, archivePassword, &error)) {
            throw std::runtime_error(error);
        }
    }
    ~Fixture() { std::filesystem::remove(path); }
};

Fixture& TheFixture() {
    static Fixture fixture;
    return fixture;
}

void BM_ExtractProjectEntry(benchmark::State& state) {
    Fixture& fixture = TheFixture();
    for (auto _ : state) {
        ArchiveEntryResult entry = ReadArchiveEntry(fixture.path, projectEntryName, archivePassword);
        if (entry.status != ArchiveEntryStatus::Ok) state.SkipWithError("extraction failed");
        benchmark::DoNotOptimize(entry.bytes.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fixture.stream.size()));
    state.counters["streamBytes"] = static_cast<double>(fixture.stream.size());
    state.counters["storedBytes"] = static_cast<double>(std::filesystem::file_size(fixture.path));
}

void BM_ParseProjectEntry(benchmark::State& state) {
    Fixture& fixture = TheFixture();
    for (auto _ : state) {
        auto project = ReadProjectEntry(fixture.stream, CodePage::Default());
        benchmark::DoNotOptimize(project.get());
        // Freeing the project is the end of a run, not part of its load.
        state.PauseTiming();
        project.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fixture.stream.size()));
}

void BM_LoadWholeProject(benchmark::State& state) {
    Fixture& fixture = TheFixture();
    for (auto _ : state) {
        ArchiveEntryResult entry = ReadArchiveEntry(fixture.path, projectEntryName, archivePassword);
        auto project = ReadProjectEntry(entry.bytes, CodePage::Default());
        benchmark::DoNotOptimize(project.get());
        state.PauseTiming();
        project.reset();
        state.ResumeTiming();
    }
}

BENCHMARK(BM_ExtractProjectEntry)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseProjectEntry)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadWholeProject)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
