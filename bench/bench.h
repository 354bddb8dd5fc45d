// The benchmark harness: registration, timing against a baseline and the BENCH lines.
//
// A benchmark has a name and measures our code against a baseline (raw memcpy,
// raw SQLite calls, pixman, plain stream calls) in the same run. Each side runs
// once untimed to warm up, then --reps times, alternating so that drift hits
// both alike; the median (or, with --stat min, the minimum) is reported as
//
//   BENCH <name> ours_ms=<t> base_ms=<b> ratio=<t/b>
//
// Lower is better; 1.0 means as fast as the baseline. Simple form:
//
//   RYX_BENCH_PAIR("rtl.example", [] { ours(); }, [] { baseline(); });
//
// With shared set-up, or several measurements of one's own:
//
//   RYX_BENCH("form.roundtrip", c) {
//       auto big = MakeForm(100000), small = MakeForm(10000);
//       c.Compare([&] { RoundTrip(big); }, [&] { PlainCopy(big); });
//       c.Ratio("scale", c.Measure([&] { RoundTrip(big); }), c.Measure([&] { RoundTrip(small); }));
//   }
//
// Ratio prints "BENCH <name>.<label> ours_ms=<a> base_ms=<b> ratio=<a/b>".
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace bench {

using TBody = std::function<void()>;

enum class TStat { Median, Min };

// One benchmark being run: its name and the measuring settings of this run.
class TCase {
public:
    TCase(std::string name, int reps, TStat stat) : FName(std::move(name)), FReps(reps), FStat(stat) {}

    const std::string& Name() const { return FName; }
    int Reps() const { return FReps; }

    // Times body: one untimed warm-up run, then Reps() timed runs; returns the
    // median (or minimum) in milliseconds. setup, when given, runs untimed before
    // every run (to restore the state body consumes).
    double Measure(const TBody& body, const TBody& setup = {});
    // Times ours and base, interleaved, and prints the BENCH line. Returns ours/base.
    double Compare(const TBody& ours, const TBody& base, const TBody& setup = {});
    // Prints a line for two of the benchmark's own measurements (a against b).
    // Returns a/b.
    double Ratio(const std::string& label, double a_ms, double b_ms);

private:
    double Statistic(std::vector<double>& samples) const;
    std::string FName;
    int FReps;
    TStat FStat;
};

using TBenchFn = std::function<void(TCase&)>;

// Registers a benchmark; returns true so it can initialise a static.
bool Register(const std::string& name, TBenchFn fn);
bool Register(const std::string& name, TBody ours, TBody base);

// Keeps the compiler from discarding a computed value or the writes to memory.
template <class T>
inline void DoNotOptimize(const T& value) {
    asm volatile("" : : "r,m"(value) : "memory");
}
inline void ClobberMemory() { asm volatile("" : : : "memory"); }

}  // namespace bench

#define RYX_BENCH_CAT2(a, b) a##b
#define RYX_BENCH_CAT(a, b) RYX_BENCH_CAT2(a, b)
#define RYX_BENCH_IMPL(NAME, CASE, ID)                                                             \
    static void RYX_BENCH_CAT(ryx_bench_fn_, ID)(::bench::TCase&);                                 \
    [[maybe_unused]] static const bool RYX_BENCH_CAT(ryx_bench_reg_, ID) =                         \
        ::bench::Register(NAME, &RYX_BENCH_CAT(ryx_bench_fn_, ID));                                \
    static void RYX_BENCH_CAT(ryx_bench_fn_, ID)(::bench::TCase & CASE)
// Defines a benchmark whose body gets a bench::TCase& named CASE.
#define RYX_BENCH(NAME, CASE) RYX_BENCH_IMPL(NAME, CASE, __COUNTER__)
// Defines a benchmark from two callables: ours and the baseline.
#define RYX_BENCH_PAIR(NAME, OURS, BASE)                                                           \
    [[maybe_unused]] static const bool RYX_BENCH_CAT(ryx_bench_reg_, __COUNTER__) =                \
        ::bench::Register(NAME, OURS, BASE)
