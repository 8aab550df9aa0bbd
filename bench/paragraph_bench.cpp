// Drawing a paragraph, headless: a text of 2,000 lines of 60 characters (and one of 20 lines) in a
// 400 x 300 paragraph with its vertical bar: (a) the first draw, layout included; (b) a repaint
// after one wheel step.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "actions/action_tables.h"
#include "engine/px_runtime_doc.h"
#include "graphics/drawing/dibs_mem_dc.h"
#include "platform/code_page.h"
#include "platform/dialogs.h"
#include "project/vantorix_paragraph_object.h"
#include "view/document_object_services.h"
#include "view/objects/object_host.h"
#include "view/objects/paragraph_view.h"

namespace {

class QuietHost : public CObjectHost {
public:
    explicit QuietHost(CPXRuntimeDoc& document) : services(document) {}
    CObjectServices& Services() override { return services; }
    void SetObjectCursor(int) override {}
    void RedrawRectNow(const VxRect&) override {}
    void RefreshHover() override {}
    void InvalidateRect(const VxRect&) override {}
    void BeginCapture(CObjectView&, int, bool) override {}
    void EndCapture() override {}
    QWidget* WindowParent() override { return nullptr; }

    CDocumentObjectServices services;
};

struct Fixture {
    ScriptedDialogs dialogs;
    CKXFrameServices frame;
    CPXRuntimeDoc document{dialogs, frame, CodePage::Default(), ActionTables()};
    CVantorixParagraphObject paragraph;
    QuietHost host{document};

    explicit Fixture(int lines) {
        std::string line(56, 'x');
        for (int i = 0; i < lines; ++i) paragraph.text += (i ? "\r\n" : "") + std::to_string(1000 + i) + line;
        paragraph.rect = {0, 0, 400, 300};
        paragraph.transparent = 0;
    }
};

void FirstDraw(benchmark::State& state) {
    Fixture fixture(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        CParagraphView view(fixture.paragraph);
        CDIBSMemDC dc(QRect(0, 0, 400, 300), Qt::white);
        view.Paint(dc, fixture.host.services);
        benchmark::DoNotOptimize(dc.Image().constBits());
    }
}

void RepaintAfterWheel(benchmark::State& state) {
    Fixture fixture(static_cast<int>(state.range(0)));
    CParagraphView view(fixture.paragraph);
    {
        CDIBSMemDC dc(QRect(0, 0, 400, 300), Qt::white);
        view.Paint(dc, fixture.host.services);
    }
    int direction = -120;
    for (auto _ : state) {
        // Down to the end and back up again, one line a step.
        if (view.Vertical().position >= view.Vertical().count - view.Vertical().visible) direction = 120;
        if (view.Vertical().position <= 0) direction = -120;
        view.Wheel(fixture.host, QPoint(10, 10), direction);
        CDIBSMemDC dc(QRect(0, 0, 400, 300), Qt::white);
        view.Paint(dc, fixture.host.services);
        benchmark::DoNotOptimize(dc.Image().constBits());
    }
}

}  // namespace

BENCHMARK(FirstDraw)->Arg(2000)->Arg(20)->Unit(benchmark::kMillisecond);
BENCHMARK(RepaintAfterWheel)->Arg(2000)->Arg(20)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
