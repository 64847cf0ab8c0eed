// How fast the program expands its bracket pages, against zlib's inflate on
// the same pages compressed with deflate at level 9. Figures are output bytes
// per second. zlib gets its best case: one stream reset between pages, raw
// deflate without a checksum, and an output buffer made once; our decoder
// makes a fresh output for every page, as the program does.
//
// After the runs it prints the ratio of the two speeds and the stored size of
// all items against the same pages under deflate level 9.

#include "templates/builtin_items.h"
#include "templates/lzss_decoder.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

struct Corpus {
    std::vector<std::span<const unsigned char>> items;  // the stored bracket items
    std::vector<Bytes> pages;                           // what they expand to
    std::vector<Bytes> deflated;                        // the pages under deflate -9
    std::size_t pageBytes = 0;
    std::size_t itemBytes = 0;
    std::size_t deflatedBytes = 0;
};

Bytes deflateBest(const Bytes &page)
{
    z_stream z{};
    if (deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2 failed");
    Bytes out(deflateBound(&z, page.size()));
    z.next_in = const_cast<unsigned char *>(page.data());
    z.avail_in = static_cast<uInt>(page.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    if (result != Z_STREAM_END)
        throw std::runtime_error("deflate did not finish");
    return out;
}

const Corpus &corpus()
{
    static const Corpus c = [] {
        Corpus k;
        for (const auto &item : zandrel::builtInItems()) {
            if (item.number < 101 || item.number > 162)
                continue;
            k.items.push_back(item.bytes);
            k.pages.push_back(zandrel::lzss::decompressed(item.bytes));
            k.deflated.push_back(deflateBest(k.pages.back()));
            k.itemBytes += item.bytes.size();
            k.pageBytes += k.pages.back().size();
            k.deflatedBytes += k.deflated.back().size();
        }
        return k;
    }();
    return c;
}

void BM_LzssDecoder(benchmark::State &state)
{
    const Corpus &c = corpus();
    if (c.items.empty()) {
        state.SkipWithError("this build carries no bracket items");
        return;
    }
    for (auto _ : state) {
        for (const auto &item : c.items) {
            Bytes page = zandrel::lzss::decompressed(item);
            benchmark::DoNotOptimize(page.data());
            benchmark::ClobberMemory();
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * c.pageBytes));
    state.counters["stored_bytes"] = static_cast<double>(c.itemBytes);
}
BENCHMARK(BM_LzssDecoder);

void BM_ZlibInflate(benchmark::State &state)
{
    const Corpus &c = corpus();
    if (c.items.empty()) {
        state.SkipWithError("this build carries no bracket items");
        return;
    }
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK) {
        state.SkipWithError("inflateInit2 failed");
        return;
    }
    std::size_t largest = 0;
    for (const auto &page : c.pages)
        largest = std::max(largest, page.size());
    Bytes out(largest);
    for (auto _ : state) {
        for (std::size_t i = 0; i < c.deflated.size(); ++i) {
            inflateReset(&z);
            z.next_in = const_cast<unsigned char *>(c.deflated[i].data());
            z.avail_in = static_cast<uInt>(c.deflated[i].size());
            z.next_out = out.data();
            z.avail_out = static_cast<uInt>(out.size());
            if (inflate(&z, Z_FINISH) != Z_STREAM_END || z.total_out != c.pages[i].size()) {
                state.SkipWithError("inflate did not give the page back");
                inflateEnd(&z);
                return;
            }
            benchmark::DoNotOptimize(out.data());
            benchmark::ClobberMemory();
        }
    }
    inflateEnd(&z);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * c.pageBytes));
    state.counters["stored_bytes"] = static_cast<double>(c.deflatedBytes);
}
BENCHMARK(BM_ZlibInflate);

// The console report, then the comparison of the two runs.
class ComparingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        // With repetitions, the median stands for the benchmark.
        for (const Run &run : runs) {
            const auto it = run.counters.find("bytes_per_second");
            if (run.error_occurred || it == run.counters.end())
                continue;
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median")
                continue;
            m_speed[run.run_name.function_name] = it->second.value;
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        const Corpus &c = corpus();
        if (m_speed.count("BM_LzssDecoder") && m_speed.count("BM_ZlibInflate")) {
            const double ours = m_speed["BM_LzssDecoder"] / 1e6;
            const double zlib = m_speed["BM_ZlibInflate"] / 1e6;
            std::printf("\nExpanding %zu pages, %zu bytes:\n", c.pages.size(), c.pageBytes);
            std::printf("  our decoder %9.1f MB/s\n  zlib inflate %8.1f MB/s\n  ratio       %8.2f\n", ours, zlib,
                        ours / zlib);
            std::printf("Stored: items %zu bytes, deflate -9 %zu bytes (%.2f)\n", c.itemBytes, c.deflatedBytes,
                        static_cast<double>(c.itemBytes) / static_cast<double>(c.deflatedBytes));
        }
    }

private:
    std::map<std::string, double> m_speed;
};

}  // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    ComparingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
