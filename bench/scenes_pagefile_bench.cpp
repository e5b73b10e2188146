// The page file: cache hits, misses of a full cache (the price of the decay
// walk over every cached priority) at 16 MiB and 256 MiB, and allocate/free
// over a sparse file of 1M pages. Every case reports the cache's counters
// per iteration: hits, misses, evictions and write-backs. Fixed seeds.
// Then both devices side by side: random and sequential page access (the
// I/O device at 16 MiB and 256 MiB caches, the mapped one), page streams of
// 1, 16 and 256 MiB written and read (bytes per second), and the mapped
// device's remaps per 100,000 allocations with and without a held page.

#include "qvBenchSupport.hpp"
#include "scenes/qvCacheOnIO.hpp"
#include "scenes/qvMappedPageFile.hpp"
#include "scenes/qvMapAllocator.hpp"
#include "scenes/qvPageFile.hpp"
#include "scenes/qvPageFileDirectory.hpp"
#include "scenes/qvPageLayout.hpp"
#include "scenes/qvPageLock.hpp"

#include <orvane/core/qvBlockFile.hpp>
#include <orvane/scenes/qvPageStreamBuf.hpp>
#include <orvane/scenes/qvPagedSceneFile.hpp>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

// Storage that transfers nothing: what is measured is the cache itself.
struct NullIO : qvPageIO {
    void write(long, void*) override {}
    void read(long, void*) override {}
};

// The counters of the timed loop (those of the set-up taken off), per
// iteration.
void report(benchmark::State& state, qvCacheOnIO const& cache, qvCacheOnIO::Counters const& before) {
    const auto per_iteration = benchmark::Counter::kAvgIterations;
    qvCacheOnIO::Counters const& n = cache.counters();
    auto counter = [&](std::uint64_t now, std::uint64_t then) {
        return benchmark::Counter(static_cast<double>(now - then), per_iteration);
    };
    state.counters["hits"] = counter(n.hits, before.hits);
    state.counters["misses"] = counter(n.misses, before.misses);
    state.counters["evictions"] = counter(n.evictions, before.evictions);
    state.counters["write_backs"] = counter(n.write_backs, before.write_backs);
}

// Lock and unlock of pages that are all cached.
void BM_PageCache_Hit(benchmark::State& state) {
    NullIO io;
    const long pages = 1024;
    qvCacheOnIO cache(io, static_cast<std::size_t>(pages) * qvPageBytes, false);
    for (long page = 0; page < pages; ++page) qvPageLock(cache, page, false, 0.0f);
    std::mt19937 rng(1);
    const qvCacheOnIO::Counters before = cache.counters();
    for (auto _ : state) {
        const long page = static_cast<long>(rng() % pages);
        benchmark::DoNotOptimize(cache.lock(page, false));
        cache.unlock(page, 0.5f);
    }
    report(state, cache, before);
    cache.release();
}

// Every lock misses a full cache: one victim walk with its decay each.
void BM_PageCache_FullMiss(benchmark::State& state) {
    NullIO io;
    const auto bytes = static_cast<std::size_t>(state.range(0)) << 20;
    qvCacheOnIO cache(io, bytes, false);
    const long capacity = static_cast<long>(cache.capacity());
    for (long page = 0; page < capacity; ++page) qvPageLock(cache, page, false, 1.0f);
    const float priorities[] = {0.0f, 1.0f, 0.5f, 0.25f, 1.0f / 3.0f};
    long next = capacity;
    std::size_t turn = 0;
    const qvCacheOnIO::Counters before = cache.counters();
    for (auto _ : state) {
        benchmark::DoNotOptimize(cache.lock(next, false));
        cache.unlock(next, priorities[turn++ % std::size(priorities)]);
        ++next;
    }
    report(state, cache, before);
    state.SetLabel(std::to_string(capacity) + " pages cached");
    cache.release();
}

// --- allocation over a sparse file of 1M pages ------------------------------------

constexpr long million = 1000000;

std::string scratch_name(char const* what) { return bench_support::scratch_path(what); }

// Map pages at k × 130,976 marking pages 0 .. 1M − 1 used, a directory on
// page 1, and nothing else written: the file is sparse.
void write_full_file(std::string const& name) {
    qvBlockFile file(name.c_str(), false, true);
    std::vector<unsigned char> page(qvPageBytes);
    const long maps = (million - 1) / qvMapAllocator::pages_per_map + 1;
    for (long k = 0; k < maps; ++k) {
        std::fill(page.begin(), page.end(), 0);
        qvSetPageWord(page.data(), 0, qvMapAllocator::magic);
        const long next = k + 1 < maps ? (k + 1) * qvMapAllocator::pages_per_map : 0;
        qvSetPageWord(page.data(), 4, static_cast<std::uint32_t>(next));
        for (long w = 0; w < qvMapAllocator::SLOT_SIZE; ++w) {
            const long first = (k * qvMapAllocator::SLOT_SIZE + w) * 32;
            std::uint32_t bits = 0;
            for (int b = 0; b < 32; ++b)
                if (first + b < million) bits |= 1u << b;
            qvSetPageWord(page.data(), 8 + 4 * static_cast<std::size_t>(w), bits);
        }
        file.write_at(qvPagePosition(k * qvMapAllocator::pages_per_map), page.data(), static_cast<int>(qvPageBytes));
    }
    std::fill(page.begin(), page.end(), 0);
    qvSetPageWord(page.data(), 0, qvPageFileDirectory::magic);
    file.write_at(qvPagePosition(1), page.data(), static_cast<int>(qvPageBytes));
    file.size(static_cast<long>(qvPagePosition(million + 1)));   // the probe page stays inside
}

struct SparseFile {
    SparseFile() : name(scratch_name("pagefile")) { write_full_file(name); }
    ~SparseFile() { std::remove(name.c_str()); }
    std::string name;
};

// Frees a random used page and allocates it back (the lowest free page).
void BM_MapAllocator_FreeAllocate(benchmark::State& state) {
    SparseFile file;
    qvPageFile device(file.name.c_str(), static_cast<int>(state.range(0)) * 16384, false, false);
    std::mt19937 rng(2);
    const qvCacheOnIO::Counters before = device.counters();
    for (auto _ : state) {
        long page = 2 + static_cast<long>(rng() % (million - 2));
        if (page % qvMapAllocator::pages_per_map == 0) ++page;
        device.free(page);
        benchmark::DoNotOptimize(device.allocate());
    }
    report(state, device, before);
    device.release();
}

// Allocation amid other page traffic: each new page is written and left at
// priority 0, and a working set of pages is touched at 0.5. The map page
// that allocate marks is unlocked with 0 as well, so a small cache drops it
// among the first; misses per iteration show the price.
void BM_MapAllocator_AllocateAmidTraffic(benchmark::State& state) {
    const std::string name = scratch_name("traffic");
    {
        qvPageFile device(name.c_str(), static_cast<int>(state.range(0)) * 16384, true, false);
        std::vector<long> working;
        for (int i = 0; i < 64; ++i) working.push_back(device.allocate());
        std::mt19937 rng(3);
        const qvCacheOnIO::Counters before = device.counters();
    for (auto _ : state) {
            const long page = device.allocate();
            qvPageLock(device, page, true, 0.0f);
            for (int i = 0; i < 4; ++i) qvPageLock(device, working[rng() % working.size()], false, 0.5f);
        }
        report(state, device, before);
        device.release();
    }
    std::remove(name.c_str());
}

// --- both devices: page access ---------------------------------------------------------

// Device choices of the cases below: the I/O device with a cache of that
// many MiB, or (0) the mapped device.
constexpr int mapped = 0;
char const* device_label(int cache_mib) { return cache_mib == mapped ? "mapped" : "io"; }

// A page file of 512 MiB whose pages are allocated and unwritten (holes),
// made once per process: what is measured is the device, not the disk.
struct AccessFile {
    static constexpr long pages = 32768;
    AccessFile() : name(scratch_name("access")) {
        qvPagedSceneFile file;
        file.create(name.c_str(), 0);
        while (file.device().page_count() < pages) file.device().allocate();
        file.close();
    }
    ~AccessFile() { std::remove(name.c_str()); }
    std::string name;
};

AccessFile const& access_file() {
    static const AccessFile file;
    return file;
}

// Locks one page per iteration, reads a word of it and unlocks it: random
// pages or each page in turn, over the 512 MiB file opened read-only.
void BM_Device_PageAccess(benchmark::State& state) {
    const int cache_mib = static_cast<int>(state.range(0));
    const bool sequential = state.range(1) != 0;
    qvPagedSceneFile file;
    const bool opened = cache_mib == mapped
                            ? file.open(access_file().name.c_str(), -1, true)
                            : file.open(access_file().name.c_str(), std::size_t(cache_mib) << 20, true);
    if (!opened) {
        state.SkipWithError("cannot open the access file");
        return;
    }
    qvPageDevice& device = file.device();
    std::mt19937 rng(4);
    long next = 0;
    std::uint64_t sum = 0;
    for (auto _ : state) {
        const long page = sequential ? next : static_cast<long>(rng() % AccessFile::pages);
        next = next + 1 == AccessFile::pages ? 0 : next + 1;
        qvPageLock lock(device, page, false, 0.0f);
        sum += lock.word(64);
    }
    benchmark::DoNotOptimize(sum);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(qvPageBytes));
    state.SetLabel(std::string(device_label(cache_mib)) + (sequential ? " sequential" : " random"));
    file.close();
}

// --- both devices: page streams ------------------------------------------------------------

// Writes (rewrites, after the first iteration) a stream of the given size in
// 64 KiB pieces, then closes it; the file is closed durably at the end.
void BM_Device_StreamWrite(benchmark::State& state) {
    const int cache_mib = static_cast<int>(state.range(0));
    const std::size_t bytes = static_cast<std::size_t>(state.range(1)) << 20;
    const std::string name = scratch_name("streamwrite");
    {
        qvPagedSceneFile file;
        cache_mib == mapped ? file.create(name.c_str(), -1) : file.create(name.c_str(), std::size_t(cache_mib) << 20);
        const std::string piece(65536, 'w');
        for (auto _ : state) {
            qvPageStreamBuf stream(file.device(), "$UserData", true);
            for (std::size_t done = 0; done < bytes; done += piece.size())
                stream.sputn(piece.data(), static_cast<std::streamsize>(piece.size()));
            stream.close();
        }
        state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
        state.SetLabel(device_label(cache_mib));
        file.close();
    }
    std::remove(name.c_str());
}

void BM_Device_StreamRead(benchmark::State& state) {
    const int cache_mib = static_cast<int>(state.range(0));
    const std::size_t bytes = static_cast<std::size_t>(state.range(1)) << 20;
    const std::string name = scratch_name("streamread");
    {
        qvPagedSceneFile file;
        file.create(name.c_str(), 0);
        {
            qvPageStreamBuf stream(file.device(), "$UserData", true);
            const std::string piece(65536, 'r');
            for (std::size_t done = 0; done < bytes; done += piece.size())
                stream.sputn(piece.data(), static_cast<std::streamsize>(piece.size()));
            stream.close();
        }
        file.close();
        if (!(cache_mib == mapped ? file.open(name.c_str(), -1, true)
                                  : file.open(name.c_str(), std::size_t(cache_mib) << 20, true))) {
            state.SkipWithError("cannot open the stream file");
            return;
        }
        std::vector<char> piece(65536);
        for (auto _ : state) {
            qvPageStreamBuf stream(file.device(), "$UserData", false);
            std::size_t total = 0;
            for (std::streamsize n; (n = stream.sgetn(piece.data(), static_cast<std::streamsize>(piece.size()))) > 0;)
                total += static_cast<std::size_t>(n);
            if (total != bytes) state.SkipWithError("short stream");
            stream.close();
        }
        state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
        state.SetLabel(device_label(cache_mib));
        file.close();
    }
    std::remove(name.c_str());
}

// --- the mapped device's remaps ------------------------------------------------------------

// 100,000 allocations on a new mapped file. Without a held page the limit
// remaps at once; with one (an operation's pattern: the page it holds is let
// go and the new one locked after each allocation) a remap that cannot be
// made in place waits for the unlock. The counter is the remaps per 100,000
// allocations.
void BM_MappedDevice_RemapsPerAllocation(benchmark::State& state) {
    const bool held = state.range(0) != 0;
    const std::string name = scratch_name("remaps");
    {
        qvPagedSceneFile file;
        file.create(name.c_str(), -1);
        auto& device = static_cast<qvMappedPageFile&>(file.device());
        const std::uint64_t before = device.counters().remaps;
        long holding = held ? device.allocate() : 0;
        if (held) device.lock(holding, true);
        for (auto _ : state) {
            const long page = device.allocate();
            if (held) {
                device.unlock(holding, 0.0f);
                device.lock(page, true);
                holding = page;
            }
        }
        if (held) device.unlock(holding, 0.0f);
        state.counters["remaps_per_100k"] =
            static_cast<double>(device.counters().remaps - before) * 100000.0 / static_cast<double>(state.iterations());
        state.SetLabel(held ? "a page held" : "no page held");
        file.close();
    }
    std::remove(name.c_str());
}

}  // namespace

BENCHMARK(BM_PageCache_Hit);
BENCHMARK(BM_PageCache_FullMiss)->Arg(16)->Arg(256);
BENCHMARK(BM_MapAllocator_FreeAllocate)->Arg(16)->Arg(1024);
BENCHMARK(BM_MapAllocator_AllocateAmidTraffic)->Arg(16)->Arg(256);
BENCHMARK(BM_Device_PageAccess)->ArgsProduct({{16, 256, mapped}, {0, 1}});
BENCHMARK(BM_Device_StreamWrite)->ArgsProduct({{16, 256, mapped}, {1, 16, 256}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Device_StreamRead)->ArgsProduct({{16, 256, mapped}, {1, 16, 256}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MappedDevice_RemapsPerAllocation)->Arg(0)->Arg(1)->Iterations(100000);
