// Time per operation of the workspace commands with the real rasteriser and real
// files: rendering a glyph, repainting a code-table area, adding, saving and
// opening a full library. Run through bench/run.sh.

#include "core/gbk.h"
#include "render/freetype_rasterizer.h"
#include "workspace/workspace.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <unistd.h>

using namespace dotforge;

namespace {

// Answers No to every question (the open command's "save first?") and the
// chosen path to every file dialog.
class BenchPrompts : public Prompts {
public:
    FileChoice file;
    Answer ask(BoxKind, const std::string &, Buttons buttons) override
    {
        return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
    }
    void message(const std::string &) override { }
    void showError(const std::string &text) override { throw std::runtime_error(text); }
    void beep() override { }
    std::optional<FileChoice> openFile(const FileDialogSpec &) override { return file; }
    std::optional<FileChoice> saveFile(const FileDialogSpec &) override { return file; }
    std::optional<FontChoice> chooseFont(const std::string &, int) override { return std::nullopt; }
    void showHelp(const std::string &) override { }
    void showAbout(const std::string &) override { }
};

// A started workspace in its own temporary folder with a link to "Font16s".
class Bench {
public:
    explicit Bench(int dotSize)
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "dotforge-bench-XXXXXX").string();
        if (!::mkdtemp(tmpl.data()))
            throw std::runtime_error("cannot create a temporary folder");
        m_dir = tmpl;
        std::filesystem::create_symlink(FONT16S_PATH, m_dir / "Font16s");
        m_ws = std::make_unique<Workspace>(prompts, m_rasterizer, m_dir.string());
        m_ws->FormCreate();
        if (dotSize == 24)
            m_ws->mnu24Click();
        if (dotSize == 32)
            m_ws->mnu32Click();
    }
    ~Bench()
    {
        m_ws->FormClose();
        std::filesystem::remove_all(m_dir);
    }
    Workspace &ws() { return *m_ws; }
    std::string file(const std::string &name) const { return (m_dir / name).string(); }

    // 200 glyphs, the first 200 characters of area 16 on.
    void fill()
    {
        for (int i = 0; i < kLibraryCapacity; ++i) {
            // Typed and confirmed: rendered, then added.
            m_ws->ChEditChange(code(i));
            m_ws->ChEditKeyPress(13);
            m_ws->AddBtnClick();
        }
    }
    static std::string code(int i) { return {char(0xB0 + i / 94), char(0xA1 + i % 94)}; }

    BenchPrompts prompts;

private:
    std::filesystem::path m_dir;
    FreeTypeRasterizer m_rasterizer;
    std::unique_ptr<Workspace> m_ws;
};

void renderTrueType(benchmark::State &state)
{
    Bench bench(int(state.range(0)));
    int i = 0;
    for (auto _ : state) {
        bench.ws().ChTextOut(Bench::code(i++ % kLibraryCapacity));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(renderTrueType)->Arg(16)->Arg(24)->Arg(32)->Unit(benchmark::kMicrosecond);

// The rasteriser alone: one character drawn on a white surface, 200 different
// ones in turn; args point size and face (0 "宋体", 1 "AR PL SungtiL GB").
void rasterizeGlyph(benchmark::State &state)
{
    FreeTypeRasterizer rasterizer;
    const std::string face = state.range(1) == 0 ? "宋体" : "AR PL SungtiL GB";
    std::vector<std::string> texts;
    for (int i = 0; i < kLibraryCapacity; ++i)
        texts.push_back(gbkToUtf8(Bench::code(i)));
    Surface40 surface;
    rasterizer.drawText(surface, texts[0], face, int(state.range(0)), 5, 5); // opens the face
    int i = 0;
    for (auto _ : state) {
        surface.fillWhite();
        rasterizer.drawText(surface, texts[std::size_t(i++ % kLibraryCapacity)], face, int(state.range(0)), 5, 5);
        benchmark::DoNotOptimize(surface.pixels.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(rasterizeGlyph)->ArgsProduct({{12, 18, 22}, {0, 1}})->Unit(benchmark::kMicrosecond);

void renderFont16s(benchmark::State &state)
{
    Bench bench(16);
    bench.ws().RUClick();
    int i = 0;
    for (auto _ : state) {
        bench.ws().ChTextOut(Bench::code(i++ % kLibraryCapacity));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(renderFont16s)->Unit(benchmark::kMicrosecond);

// The 94 cells of an area as the code table paints them; arg 1 = dot-matrix source.
void repaintArea(benchmark::State &state)
{
    Bench bench(16);
    if (state.range(0) == 1)
        bench.ws().RUClick();
    for (auto _ : state) {
        for (int cell = 0; cell < 94; ++cell)
            benchmark::DoNotOptimize(bench.ws().SDotEffect(cell % 10, cell / 10));
    }
}
BENCHMARK(repaintArea)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// 200 adds of the glyph in the editor, each under its own code; New between runs.
void add200(benchmark::State &state)
{
    Bench bench(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        bench.ws().mnuNewClick();
        state.ResumeTiming();
        for (int i = 0; i < kLibraryCapacity; ++i) {
            // The code comes from a typed entry, rendered outside the timing.
            state.PauseTiming();
            bench.ws().ChEditChange(Bench::code(i));
            bench.ws().ChEditKeyPress(13);
            state.ResumeTiming();
            bench.ws().AddBtnClick();
        }
    }
    state.SetItemsProcessed(state.iterations() * kLibraryCapacity);
}
BENCHMARK(add200)->Arg(16)->Arg(24)->Arg(32)->Unit(benchmark::kMillisecond);

// Save of a full library: args dot size and file type (1 ZMB, 2 ASM).
void save200(benchmark::State &state)
{
    Bench bench(int(state.range(0)));
    bench.fill();
    bench.prompts.file = {bench.file("lib"), int(state.range(1))};
    for (auto _ : state) {
        bench.ws().mnuSaveAsClick();
    }
    state.SetItemsProcessed(state.iterations() * kLibraryCapacity);
}
BENCHMARK(save200)->ArgsProduct({{16, 24, 32}, {1, 2}})->Unit(benchmark::kMillisecond);

void open200(benchmark::State &state)
{
    Bench bench(int(state.range(0)));
    bench.fill();
    bench.prompts.file = {bench.file("lib"), int(state.range(1))};
    bench.ws().SaveXFile();
    for (auto _ : state) {
        bench.ws().mnuOpenClick();
        if (bench.ws().library().LibCount() != kLibraryCapacity)
            state.SkipWithError("the library did not open whole");
    }
    state.SetItemsProcessed(state.iterations() * kLibraryCapacity);
}
BENCHMARK(open200)->ArgsProduct({{16, 24, 32}, {1, 2}})->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
