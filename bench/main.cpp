// The benchmark program: the registry, the timing and the command line of ryx_bench.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "bench.h"

namespace bench {

namespace {

std::map<std::string, TBenchFn>& Registry() {
    static std::map<std::string, TBenchFn> benchmarks;
    return benchmarks;
}

double TimeOnce(const TBody& body) {
    auto start = std::chrono::steady_clock::now();
    body();
    ClobberMemory();
    auto stop = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(stop - start).count();
}

void PrintLine(const std::string& name, double a, double b, double ratio) {
    std::printf("BENCH %s ours_ms=%.3f base_ms=%.3f ratio=%.3f\n", name.c_str(), a, b, ratio);
    std::fflush(stdout);
}

double SafeRatio(double a, double b) { return b > 0 ? a / b : (a > 0 ? INFINITY : 1.0); }

}  // namespace

bool Register(const std::string& name, TBenchFn fn) {
    if (!Registry().emplace(name, std::move(fn)).second) {
        std::fprintf(stderr, "ryx_bench: benchmark '%s' registered twice\n", name.c_str());
        std::abort();
    }
    return true;
}

bool Register(const std::string& name, TBody ours, TBody base) {
    return Register(name, [ours = std::move(ours), base = std::move(base)](TCase& c) { c.Compare(ours, base); });
}

double TCase::Statistic(std::vector<double>& samples) const {
    std::sort(samples.begin(), samples.end());
    if (FStat == TStat::Min) return samples.front();
    size_t n = samples.size();
    return n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

double TCase::Measure(const TBody& body, const TBody& setup) {
    std::vector<double> samples;
    for (int i = 0; i <= FReps; ++i) {
        if (setup) setup();
        double t = TimeOnce(body);
        if (i > 0) samples.push_back(t);  // run 0 warms up
    }
    return Statistic(samples);
}

double TCase::Compare(const TBody& ours, const TBody& base, const TBody& setup) {
    std::vector<double> a, b;
    for (int i = 0; i <= FReps; ++i) {
        if (setup) setup();
        double ta = TimeOnce(ours);
        if (setup) setup();
        double tb = TimeOnce(base);
        if (i > 0) a.push_back(ta), b.push_back(tb);
    }
    double ms_a = Statistic(a), ms_b = Statistic(b);
    double ratio = SafeRatio(ms_a, ms_b);
    PrintLine(FName, ms_a, ms_b, ratio);
    return ratio;
}

double TCase::Ratio(const std::string& label, double a_ms, double b_ms) {
    double ratio = SafeRatio(a_ms, b_ms);
    PrintLine(FName + "." + label, a_ms, b_ms, ratio);
    return ratio;
}

}  // namespace bench

namespace {

void PrintUsage(std::FILE* out) {
    std::fprintf(out,
                 "usage: ryx_bench [--filter REGEX] [--list] [--reps N] [--stat median|min]\n"
                 "  --filter REGEX  run only the benchmarks whose name matches (ECMAScript regex, searched)\n"
                 "  --list          print the names of the selected benchmarks and exit\n"
                 "  --reps N        timed runs per side after one warm-up (default 5)\n"
                 "  --stat S        report the median (default) or the minimum of the runs\n"
                 "Each benchmark prints: BENCH <name> ours_ms=<t> base_ms=<b> ratio=<t/b>\n");
}

// Takes the value of an option given as "--opt VALUE" or "--opt=VALUE".
bool OptionValue(int argc, char** argv, int& i, const std::string& opt, std::string& value) {
    std::string a = argv[i];
    if (a == opt) {
        if (i + 1 >= argc) {
            std::fprintf(stderr, "ryx_bench: %s needs a value\n", opt.c_str());
            std::exit(2);
        }
        value = argv[++i];
        return true;
    }
    if (a.rfind(opt + "=", 0) == 0) {
        value = a.substr(opt.size() + 1);
        return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    std::string filter;
    bool list = false;
    int reps = 5;
    bench::TStat stat = bench::TStat::Median;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i], value;
        if (a == "--help" || a == "-h") {
            PrintUsage(stdout);
            return 0;
        } else if (a == "--list") {
            list = true;
        } else if (OptionValue(argc, argv, i, "--filter", value)) {
            filter = value;
        } else if (OptionValue(argc, argv, i, "--reps", value)) {
            char* end = nullptr;
            long n = std::strtol(value.c_str(), &end, 10);
            if (value.empty() || *end || n < 1 || n > 100000) {
                std::fprintf(stderr, "ryx_bench: --reps wants a count from 1 to 100000, not '%s'\n", value.c_str());
                return 2;
            }
            reps = static_cast<int>(n);
        } else if (OptionValue(argc, argv, i, "--stat", value)) {
            if (value == "median") {
                stat = bench::TStat::Median;
            } else if (value == "min") {
                stat = bench::TStat::Min;
            } else {
                std::fprintf(stderr, "ryx_bench: --stat is 'median' or 'min', not '%s'\n", value.c_str());
                return 2;
            }
        } else {
            std::fprintf(stderr, "ryx_bench: unknown argument '%s'\n", a.c_str());
            PrintUsage(stderr);
            return 2;
        }
    }

    std::regex re;
    try {
        re = std::regex(filter.empty() ? std::string(".*") : filter, std::regex::ECMAScript);
    } catch (const std::regex_error& e) {
        std::fprintf(stderr, "ryx_bench: bad --filter '%s': %s\n", filter.c_str(), e.what());
        return 2;
    }

    int selected = 0, failed = 0;
    for (auto& [name, fn] : bench::Registry()) {
        if (!std::regex_search(name, re)) continue;
        ++selected;
        if (list) {
            std::printf("%s\n", name.c_str());
            continue;
        }
        bench::TCase c(name, reps, stat);
        try {
            fn(c);
        } catch (const std::exception& e) {
            ++failed;
            std::fprintf(stderr, "ryx_bench: %s failed: %s\n", name.c_str(), e.what());
        }
    }
    if (selected == 0) {
        std::fprintf(stderr, "ryx_bench: no benchmark matches '%s'\n", filter.c_str());
        return 1;
    }
    return failed ? 1 : 0;
}
