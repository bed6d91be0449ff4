// The program's own workload on its real window, offscreen: a tick (one
// sample, the tick's axis steps and one full repaint of the chart), a
// repaint alone, and samples added once X has wrapped, on runs of 1e3 to
// 1e7 points.
//
// Two states of a run of N points:
//   fresh        the run as it stands after N samples: the window where
//                that many ticks have moved it;
//   after_wraps  the same run, then a click on the start button: the window
//                is back at [0, 1000] among the points of every pass. At
//                N = 8,640,000 that is ten days of ticks.
// A run is built through the real add path (Series1->AddXY) following the
// tick handler's X sequence, with the plot state set directly instead of
// waiting for the timer.
//
// Each benchmark reports the median of its own iterations (median_us, in
// this thread's CPU time), the points in view, and the series' resident
// memory per point: bytes_per_point (VmRSS now) and peak_bytes_per_point
// (VmHWM), both over the process as it was just before the first point of
// the run. A tick and a repaint are also measured, in the same iterations,
// on a second window with a fresh run of 1,000 points: vs_fresh_1e3 is the
// ratio of the two medians, which the machine's other work (it shares
// caches and cores) moves far less than either median. A summary with the
// figures the program is held to follows the usual output.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <QCoreApplication>
#include <QImage>
#include <QWidget>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "forms/Application.h"
#include "ui/Unit1.h"

namespace {

constexpr forms::TColor kSampleColor = 0xFF0000;  // what the tick handler adds in
constexpr int kClientWidth = 610;                 // the window as described
constexpr int kClientHeight = 422;
constexpr int kChartWidth = 505;                  // the chart in that window
constexpr int kChartHeight = 407;
constexpr std::int64_t kTenDays = 10 * 24 * 3600 * 10;  // ticks of 100 ms

constexpr std::int64_t kTickIterations = 2000;
constexpr std::int64_t kRepaintIterations = 2000;
constexpr std::int64_t kAddIterations = 20000;

enum class Kind { Fresh, AfterWraps };

const char* KindName(Kind kind) { return kind == Kind::Fresh ? "fresh" : "after_wraps"; }

// --- Memory, as the kernel counts it --------------------------------------

struct Resident {
  double rssBytes = 0;
  double peakBytes = 0;
};

Resident ReadResident() {
  Resident r;
  std::ifstream status("/proc/self/status");
  std::string key;
  double kb = 0;
  while (status >> key) {
    if (key == "VmRSS:" && status >> kb) r.rssBytes = kb * 1024;
    else if (key == "VmHWM:" && status >> kb) r.peakBytes = kb * 1024;
  }
  return r;
}

// Lowers the peak to what is resident now, so the next peak is the run's.
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

// --- The windows and their runs ----------------------------------------------

void ProcessEvents() {
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
}

// The tick handler's next X.
std::uint32_t NextX(std::uint32_t x) { return x >= 65535 ? 0 : x + 5; }

// The program's window with a run in it. The plot state is the program's
// globals, so a window that is not the current one keeps its own copy.
class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  ~Window() { Close(); }

  bool Open() const { return form_ != nullptr; }

  // A new window, laid out as the program's, with a run of `points` points
  // in it and the view where the run's ticks have moved it. Returns false
  // (with a reason) if the window does not come out at the program's size.
  // With `measured`, memory is counted from just before the run's points.
  bool Build(std::size_t points, bool measured, std::string& error) {
    Close();
    malloc_trim(0);  // what the last run freed goes back before the baseline
    TForm1* current = Form1;
    forms::Application->CreateForm(Form1);
    form_ = Form1;
    Form1 = current;
    Enter();
    Form1->Native().Show();
    ProcessEvents();
    Form1->SetClientSize(kClientWidth, kClientHeight);
    ProcessEvents();
    if (Form1->ClientWidth() != kClientWidth || Form1->ClientHeight() != kClientHeight ||
        Form1->Chart1->Width() != kChartWidth || Form1->Chart1->Height() != kChartHeight) {
      error = "the window did not lay out at 610 x 422 with a 505 x 407 chart";
      Leave();
      return false;
    }
    image_ = QImage(kChartWidth, kChartHeight, QImage::Format_RGB32);

    // A run starts with a click; the timer's ticks are then played without
    // the wait, the view following them as the handler moves it.
    Form1->Button1Click(nullptr);
    Form1->Timer1->SetEnabled(false);  // ticks come from the benchmarks
    Render();  // fonts and caches are loaded before the baseline
    if (measured) {
      base_ = ReadResident();
      ResetPeak();
    }
    std::int64_t ticks = 0;
    while (Form1->Series1->Count() < points) {
      CurrentX = NextX(CurrentX);
      Form1->Series1->AddXY(CurrentX, CurrentY, "", kSampleColor);
      ++ticks;
    }
    Form1->Chart1->BottomAxis->SetMinMax(static_cast<double>(ticks), 1000.0 + static_cast<double>(ticks));
    Render();
    Leave();
    return true;
  }

  // Closes the window while the window system is whole (its own statics,
  // made after the first window, go before the application's exit handler).
  void Close() {
    if (!form_) return;
    if (Form1 == form_) Form1 = nullptr;
    delete form_;
    form_ = nullptr;
  }

  // The program's globals show this window's run until Leave.
  void Enter() {
    Form1 = form_;
    CurrentX = x_;
    CurrentY = y_;
  }
  void Leave() {
    x_ = CurrentX;
    y_ = CurrentY;
  }

  void Render() { dynamic_cast<QWidget*>(Form1->Chart1->Native())->render(&image_); }
  void Tick() {
    Form1->Timer1Timer(nullptr);
    Render();
  }
  void Start() {
    Form1->Button1Click(nullptr);
    Form1->Timer1->SetEnabled(false);
  }

  TForm1& Form() const { return *form_; }

  std::size_t InView() const {
    const chart::SeriesData& data = form_->Series1->Data();
    const chart::AxisRange& range = form_->Chart1->BottomAxis->Range();
    return data.UpperBound(range.Maximum()) - data.LowerBound(range.Minimum());
  }

  double BytesPerPoint(bool peak) const {
    const Resident now = ReadResident();
    const double grown = (peak ? now.peakBytes : now.rssBytes) - base_.rssBytes;
    return grown / static_cast<double>(form_->Series1->Count());
  }

 private:
  TForm1* form_ = nullptr;
  std::uint32_t x_ = 0;
  std::uint32_t y_ = 0;
  Resident base_;
  QImage image_;
};

// The window measured, brought into the state each benchmark asks for.
class Run {
 public:
  bool Prepare(Kind kind, std::size_t points, std::string& error) {
    const bool same = window_.Open() && !spoilt_ && points_ == points;
    if (!(same && kind_ == kind)) {
      if (!(same && kind_ == Kind::Fresh && kind == Kind::AfterWraps)) {
        if (!window_.Build(points, true, error)) return false;
        points_ = points;
        spoilt_ = false;
      }
      if (kind == Kind::AfterWraps) {
        window_.Enter();
        window_.Start();
        window_.Leave();
      }
      kind_ = kind;
    }
    return true;
  }

  // Adding after a wrap changes the run: the next benchmark starts anew.
  void Spoil() { spoilt_ = true; }

  Window& window() { return window_; }

 private:
  Window window_;
  bool spoilt_ = false;
  std::size_t points_ = 0;
  Kind kind_ = Kind::Fresh;
};

Run& TheRun() {
  static Run run;
  return run;
}

// A fresh run of 1,000 points in a window of its own, measured in the same
// iterations as the window under test; made anew for each benchmark.
Window& Reference() {
  static Window reference;
  return reference;
}

// --- What the summary needs --------------------------------------------------

struct Figures {
  double medianUs = 0;
  double meanUs = 0;
  double referenceUs = 0;  // the fresh 1e3 window's median, in the same iterations
  double inView = 0;
  double bytesPerPoint = 0;
  double peakBytesPerPoint = 0;
};
std::map<std::string, Figures>& Results() {
  static std::map<std::string, Figures> results;
  return results;
}

std::string Key(const char* benchmark, Kind kind, std::size_t points) {
  return std::string(benchmark) + "/" + KindName(kind) + "/" + std::to_string(points);
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
  std::nth_element(values.begin(), middle, values.end());
  return *middle;
}

void Report(benchmark::State& state, const char* name, Kind kind, std::size_t points,
            const std::vector<double>& timesUs, const std::vector<double>& referenceUs,
            double totalUs) {
  const Window& window = TheRun().window();
  Figures f;
  f.medianUs = Median(timesUs);
  f.referenceUs = Median(referenceUs);
  f.meanUs = totalUs / static_cast<double>(state.iterations());
  f.inView = static_cast<double>(window.InView());
  f.bytesPerPoint = window.BytesPerPoint(false);
  f.peakBytesPerPoint = window.BytesPerPoint(true);
  if (!timesUs.empty()) state.counters["median_us"] = f.medianUs;
  if (f.referenceUs > 0) state.counters["vs_fresh_1e3"] = f.medianUs / f.referenceUs;
  state.counters["mean_us"] = f.meanUs;
  state.counters["in_view"] = f.inView;
  state.counters["bytes_per_point"] = f.bytesPerPoint;
  state.counters["peak_bytes_per_point"] = f.peakBytesPerPoint;
  const chart::SeriesData& data = window.Form().Series1->Data();
  state.counters["block_fill"] = static_cast<double>(data.Count()) /
                                 static_cast<double>(data.BlockCount() * chart::SeriesData::kBlockCapacity);
  Results()[Key(name, kind, points)] = f;
}

// This thread's CPU time: other processes on the machine then only show
// through the caches they share, not through the time they take.
struct Clock {
  using time_point = double;  // microseconds
  static time_point now() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
  }
};

double MicrosecondsSince(Clock::time_point start) { return Clock::now() - start; }

// --- The benchmarks -------------------------------------------------------------

// Ticks (or repaints) of the window under test and of the reference
// window, in turn, each timed on its own.
template <typename Step>
void Alternate(benchmark::State& state, const char* name, Kind kind, std::size_t points,
               std::int64_t iterations, Step step) {
  std::string error;
  // The reference first, so a run built now counts its memory without it.
  if (!Reference().Build(1000, false, error) || !TheRun().Prepare(kind, points, error))
    return state.SkipWithError(error.c_str());
  Window& window = TheRun().window();
  std::vector<double> times, reference;
  times.reserve(static_cast<std::size_t>(iterations));
  reference.reserve(static_cast<std::size_t>(iterations));
  double total = 0;
  for (auto _ : state) {
    Reference().Enter();
    auto start = Clock::now();
    step(Reference());
    reference.push_back(MicrosecondsSince(start));
    Reference().Leave();

    window.Enter();
    start = Clock::now();
    step(window);
    times.push_back(MicrosecondsSince(start));
    total += times.back();
    window.Leave();
  }
  window.Enter();
  Report(state, name, kind, points, times, reference, total);
  window.Leave();
  Reference().Close();
}

void BM_Tick(benchmark::State& state, Kind kind, std::size_t points) {
  Alternate(state, "BM_Tick", kind, points, kTickIterations, [](Window& w) { w.Tick(); });
}

void BM_Repaint(benchmark::State& state, Kind kind, std::size_t points) {
  Alternate(state, "BM_Repaint", kind, points, kRepaintIterations, [](Window& w) { w.Render(); });
}

// Samples as the tick handler adds them, without the axis steps or a paint.
// On a fresh run X wraps first, so every sample lands among the old points.
void BM_AddAfterWrap(benchmark::State& state, Kind kind, std::size_t points) {
  std::string error;
  if (!TheRun().Prepare(kind, points, error)) return state.SkipWithError(error.c_str());
  Window& window = TheRun().window();
  window.Enter();
  if (kind == Kind::Fresh) CurrentX = 65535;
  chart::TLineSeries& series = *window.Form().Series1;
  const auto all = Clock::now();
  for (auto _ : state) {
    CurrentX = NextX(CurrentX);
    benchmark::DoNotOptimize(series.AddXY(CurrentX, CurrentY, "", kSampleColor));
  }
  const double total = MicrosecondsSince(all);
  Report(state, "BM_AddAfterWrap", kind, points, {}, {}, total);
  window.Leave();
  TheRun().Spoil();
}

void Register(const char* name, void (*function)(benchmark::State&, Kind, std::size_t), Kind kind,
              std::size_t points, std::int64_t iterations) {
  const std::string full = std::string(name) + "/" + KindName(kind) + "/" + std::to_string(points);
  benchmark::RegisterBenchmark(full.c_str(), function, kind, points)
      ->Iterations(iterations)
      ->Unit(benchmark::kMicrosecond);
}

// In an order that builds each run once per state: the fresh run is
// measured, clicked into the wrapped state and measured again; adding
// after a wrap spoils a run, so it comes last and the fresh one is rebuilt.
void RegisterAll() {
  const std::size_t sizes[] = {1000, 10000, 100000, 1000000, static_cast<std::size_t>(kTenDays),
                               10000000};
  for (std::size_t n : sizes) {
    const bool tenDays = n == static_cast<std::size_t>(kTenDays);
    if (!tenDays) {
      Register("BM_Tick", BM_Tick, Kind::Fresh, n, kTickIterations);
      Register("BM_Repaint", BM_Repaint, Kind::Fresh, n, kRepaintIterations);
    }
    Register("BM_Tick", BM_Tick, Kind::AfterWraps, n, kTickIterations);
    Register("BM_Repaint", BM_Repaint, Kind::AfterWraps, n, kRepaintIterations);
    Register("BM_AddAfterWrap", BM_AddAfterWrap, Kind::AfterWraps, n, kAddIterations);
    if (!tenDays) Register("BM_AddAfterWrap", BM_AddAfterWrap, Kind::Fresh, n, kAddIterations);
  }
}

// --- The summary ------------------------------------------------------------------

std::optional<Figures> Find(const char* benchmark, Kind kind, std::size_t points) {
  auto it = Results().find(Key(benchmark, kind, points));
  if (it == Results().end()) return std::nullopt;
  return it->second;
}

void Row(const char* what, std::optional<double> value, const char* goal) {
  if (value) std::printf("  %-58s %10.2f   %s\n", what, *value, goal);
  else std::printf("  %-58s %10s   %s\n", what, "-", goal);
}

std::optional<double> Ratio(std::optional<Figures> a, std::optional<Figures> b) {
  if (!a || !b || b->medianUs <= 0) return std::nullopt;
  return a->medianUs / b->medianUs;
}

// The ratio to the fresh 1e3 window ticked in the same iterations.
std::optional<double> SameIterations(std::optional<Figures> f) {
  if (!f || f->referenceUs <= 0) return std::nullopt;
  return f->medianUs / f->referenceUs;
}

void PrintSummary() {
  if (Results().empty()) return;
  std::printf("\nPer run size (median us per iteration; add: mean us per add)\n");
  std::printf("  %10s %10s %10s %10s %10s %10s %10s %9s %9s %9s\n", "N", "tick", "tick", "repaint",
              "repaint", "add", "add", "in view", "bytes/pt", "peak");
  std::printf("  %10s %10s %10s %10s %10s %10s %10s %9s %9s %9s\n", "", "fresh", "wrapped", "fresh",
              "wrapped", "fresh", "wrapped", "wrapped", "", "");
  const std::size_t sizes[] = {1000, 10000, 100000, 1000000, static_cast<std::size_t>(kTenDays),
                               10000000};
  const auto cell = [](std::optional<Figures> f, double Figures::*field, const char* format) {
    static char buffer[32];
    if (f) std::snprintf(buffer, sizeof buffer, format, (*f).*field);
    else std::snprintf(buffer, sizeof buffer, "%s", "-");
    return std::string(buffer);
  };
  for (std::size_t n : sizes) {
    auto tickF = Find("BM_Tick", Kind::Fresh, n);
    auto tickW = Find("BM_Tick", Kind::AfterWraps, n);
    auto paintF = Find("BM_Repaint", Kind::Fresh, n);
    auto paintW = Find("BM_Repaint", Kind::AfterWraps, n);
    auto addF = Find("BM_AddAfterWrap", Kind::Fresh, n);
    auto addW = Find("BM_AddAfterWrap", Kind::AfterWraps, n);
    if (!tickF && !tickW && !paintF && !paintW && !addF && !addW) continue;
    // Memory from whichever benchmark saw the largest peak at this size.
    std::optional<Figures> memory;
    for (const auto& f : {tickF, tickW, paintF, paintW, addF, addW})
      if (f && (!memory || f->peakBytesPerPoint > memory->peakBytesPerPoint)) memory = f;
    std::printf("  %10zu %10s %10s %10s %10s %10s %10s %9s %9s %9s\n", n,
                cell(tickF, &Figures::medianUs, "%.1f").c_str(),
                cell(tickW, &Figures::medianUs, "%.1f").c_str(),
                cell(paintF, &Figures::medianUs, "%.1f").c_str(),
                cell(paintW, &Figures::medianUs, "%.1f").c_str(),
                cell(addF, &Figures::meanUs, "%.3f").c_str(),
                cell(addW, &Figures::meanUs, "%.3f").c_str(),
                cell(tickW, &Figures::inView, "%.0f").c_str(),
                cell(memory, &Figures::bytesPerPoint, "%.2f").c_str(),
                cell(memory, &Figures::peakBytesPerPoint, "%.2f").c_str());
  }

  const auto tenDays = static_cast<std::size_t>(kTenDays);
  auto fresh1e3 = Find("BM_Tick", Kind::Fresh, 1000);
  auto fresh1e7 = Find("BM_Tick", Kind::Fresh, 10000000);
  auto afterTenDays = Find("BM_Tick", Kind::AfterWraps, tenDays);
  auto add1e7 = Find("BM_AddAfterWrap", Kind::Fresh, 10000000);
  auto addTenDays = Find("BM_AddAfterWrap", Kind::AfterWraps, tenDays);
  std::optional<Figures> memory1e7;
  for (const char* name : {"BM_Tick", "BM_Repaint", "BM_AddAfterWrap"})
    for (Kind kind : {Kind::Fresh, Kind::AfterWraps})
      if (auto f = Find(name, kind, 10000000))
        if (!memory1e7 || f->peakBytesPerPoint > memory1e7->peakBytesPerPoint) memory1e7 = f;

  std::printf("\nFigures\n");
  Row("tick, fresh run of 1e3 points: median us", fresh1e3 ? std::optional(fresh1e3->medianUs) : std::nullopt,
      "about 110");
  Row("tick, fresh run of 1e7 points: median us", fresh1e7 ? std::optional(fresh1e7->medianUs) : std::nullopt, "");
  Row("  / fresh run of 1e3 ticked in the same iterations", SameIterations(fresh1e7), "<= 1.3");
  Row("  / the fresh 1e3 tick above (earlier in the run)", Ratio(fresh1e7, fresh1e3), "");
  Row("tick, ten days then a start click: median us",
      afterTenDays ? std::optional(afterTenDays->medianUs) : std::nullopt, "");
  Row("  points in view", afterTenDays ? std::optional(afterTenDays->inView) : std::nullopt, "about 130,000");
  Row("  / fresh run of 1e3 ticked in the same iterations", SameIterations(afterTenDays), "<= 2");
  Row("  / the fresh 1e3 tick above (earlier in the run)", Ratio(afterTenDays, fresh1e3), "");
  Row("add after a wrap at 1e7 points: mean us per add",
      add1e7 ? std::optional(add1e7->meanUs) : std::nullopt, "< 5");
  Row("add after ten days and a start click: mean us per add",
      addTenDays ? std::optional(addTenDays->meanUs) : std::nullopt, "< 5");
  Row("resident bytes per point at 1e7 points",
      memory1e7 ? std::optional(memory1e7->bytesPerPoint) : std::nullopt, "<= 17");
  Row("peak resident bytes per point at 1e7 points",
      memory1e7 ? std::optional(memory1e7->peakBytesPerPoint) : std::nullopt, "<= 17");
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  forms::Application->Initialize();
  RegisterAll();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  TheRun().window().Close();
  Reference().Close();
  PrintSummary();
  return 0;
}
