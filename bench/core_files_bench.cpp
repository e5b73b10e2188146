// Random 16 KiB page access on a page-sized file: positioned reads and
// writes through a block file against copies through a file mapping (the
// two ways a paged scene reaches its pages). Fixed seed; several file sizes
// so the effect of the file outgrowing caches shows.

#include <orvane/core/qvBlockFile.hpp>
#include <orvane/core/qvFileMapping.hpp>

#include "qvBenchSupport.hpp"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int page_size = 16384;

// A file of `bytes` bytes of real (non-sparse) data, removed at the end.
class BenchFile {
public:
    explicit BenchFile(long long bytes) {
        name_ = bench_support::scratch_path("files") + "_" + std::to_string(bytes);
        qvBlockFile file(name_.c_str(), false, true);
        std::vector<char> page(page_size, 'p');
        for (long long at = 0; at < bytes; at += page_size)
            file.write(page.data(), page_size);
    }
    ~BenchFile() { std::remove(name_.c_str()); }
    char const* name() const { return name_.c_str(); }

private:
    std::string name_;
};

long long page_count(benchmark::State const& state) { return state.range(0) / page_size; }

void BM_PageRead_BlockFile(benchmark::State& state) {
    BenchFile data(state.range(0));
    qvBlockFile file(data.name(), true, false);
    std::mt19937_64 rng(20240601);
    std::vector<char> buffer(page_size);
    const long long pages = page_count(state);
    for (auto _ : state) {
        const long long page = static_cast<long long>(rng() % static_cast<unsigned long long>(pages));
        benchmark::DoNotOptimize(file.read_at(page * page_size, buffer.data(), page_size));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * page_size);
}

void BM_PageRead_Mapping(benchmark::State& state) {
    BenchFile data(state.range(0));
    qvFileMapping mapping(data.name(), false, true, 16777216);
    mapping.map(state.range(0));
    std::mt19937_64 rng(20240601);
    std::vector<char> buffer(page_size);
    const long long pages = page_count(state);
    for (auto _ : state) {
        const long long page = static_cast<long long>(rng() % static_cast<unsigned long long>(pages));
        std::memcpy(buffer.data(), mapping.map(page * page_size, page_size), page_size);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * page_size);
}

void BM_PageWrite_BlockFile(benchmark::State& state) {
    BenchFile data(state.range(0));
    qvBlockFile file(data.name(), false, false);
    std::mt19937_64 rng(20240601);
    std::vector<char> buffer(page_size, 'w');
    const long long pages = page_count(state);
    for (auto _ : state) {
        const long long page = static_cast<long long>(rng() % static_cast<unsigned long long>(pages));
        file.write_at(page * page_size, buffer.data(), page_size);
    }
    state.SetBytesProcessed(state.iterations() * page_size);
}

void BM_PageWrite_Mapping(benchmark::State& state) {
    BenchFile data(state.range(0));
    qvFileMapping mapping(data.name(), false, false, 16777216);
    mapping.map(state.range(0));
    std::mt19937_64 rng(20240601);
    std::vector<char> buffer(page_size, 'w');
    const long long pages = page_count(state);
    for (auto _ : state) {
        const long long page = static_cast<long long>(rng() % static_cast<unsigned long long>(pages));
        std::memcpy(mapping.map(page * page_size, page_size), buffer.data(), page_size);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * page_size);
}

// 1 MiB, 16 MiB and 256 MiB files.
#define QV_PAGE_SIZES ->Arg(1 << 20)->Arg(16 << 20)->Arg(256 << 20)

BENCHMARK(BM_PageRead_BlockFile) QV_PAGE_SIZES;
BENCHMARK(BM_PageRead_Mapping) QV_PAGE_SIZES;
BENCHMARK(BM_PageWrite_BlockFile) QV_PAGE_SIZES;
BENCHMARK(BM_PageWrite_Mapping) QV_PAGE_SIZES;

}  // namespace
