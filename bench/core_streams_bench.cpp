// Throughput of the binary streams: fixed-size values and short strings,
// written to and read from string buffers and file buffers, and a mixed
// record stream (an int32, a double and a short string per record) of up to
// 1,000,000 records.

#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>
#include <orvane/core/qvString.hpp>

#include "core/qvStreamFields.hpp"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::vector<std::string> short_strings(std::size_t count) {
    std::mt19937 rng(20240601);   // fixed seed: runs compare
    std::uniform_int_distribution<int> length(0, 24), letter('a', 'z');
    std::vector<std::string> out(count);
    for (auto& s : out) {
        s.resize(static_cast<std::size_t>(length(rng)));
        for (auto& c : s) c = static_cast<char>(letter(rng));
    }
    return out;
}

// A temporary file removed when the benchmark ends.
struct TempFile {
    TempFile() {
        char name[] = "/tmp/orvane_bench_XXXXXX";
        const int fd = mkstemp(name);
        if (fd >= 0) close(fd);
        path = name;
    }
    ~TempFile() { std::remove(path.c_str()); }
    std::string path;
};

void write_values(qvOutputStream& os, std::int64_t count) {
    for (std::int64_t i = 0; i < count; ++i) {
        qvWriteInt32(os, static_cast<long>(i));
        qvWriteValue(os, static_cast<double>(i) * 0.5);
    }
}

double read_values(qvInputStream& is, std::int64_t count) {
    double sum = 0;
    for (std::int64_t i = 0; i < count; ++i) {
        sum += static_cast<double>(qvReadInt32(is));
        sum += qvReadValue<double>(is);
    }
    return sum;
}

void BM_values_stringbuf_write(benchmark::State& state) {
    const std::int64_t count = state.range(0);
    for (auto _ : state) {
        std::stringbuf buffer;
        qvOutputStream os(&buffer, qvVersion::default_version(), true);
        write_values(os, count);
        benchmark::DoNotOptimize(buffer);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * count * 12);
}

void BM_values_stringbuf_read(benchmark::State& state) {
    const std::int64_t count = state.range(0);
    std::stringbuf source;
    {
        qvOutputStream os(&source, qvVersion::default_version(), true);
        write_values(os, count);
    }
    const std::string data = source.str();
    for (auto _ : state) {
        std::stringbuf buffer(data);
        qvInputStream is(&buffer);
        benchmark::DoNotOptimize(read_values(is, count));
    }
    state.SetBytesProcessed(state.iterations() * count * 12);
}

void BM_strings_stringbuf_round_trip(benchmark::State& state) {
    const auto texts = short_strings(static_cast<std::size_t>(state.range(0)));
    std::int64_t bytes = 0;
    for (auto _ : state) {
        std::stringbuf buffer;
        {
            qvOutputStream os(&buffer, qvVersion::default_version(), true);
            for (const auto& t : texts) os << t.c_str();
        }
        qvInputStream is(&buffer);
        qvString s;
        for (std::size_t i = 0; i < texts.size(); ++i) is >> s;
        bytes += static_cast<std::int64_t>(buffer.str().size());
        benchmark::DoNotOptimize(s());
    }
    state.SetBytesProcessed(bytes);
}

void BM_values_filebuf_round_trip(benchmark::State& state) {
    const std::int64_t count = state.range(0);
    TempFile file;
    for (auto _ : state) {
        {
            std::filebuf out;
            out.open(file.path, std::ios::out | std::ios::binary | std::ios::trunc);
            qvOutputStream os(&out, qvVersion::default_version(), true);
            write_values(os, count);
        }
        std::filebuf in;
        in.open(file.path, std::ios::in | std::ios::binary);
        qvInputStream is(&in);
        benchmark::DoNotOptimize(read_values(is, count));
    }
    state.SetBytesProcessed(state.iterations() * count * 24);
}

void BM_strings_filebuf_round_trip(benchmark::State& state) {
    const auto texts = short_strings(static_cast<std::size_t>(state.range(0)));
    TempFile file;
    for (auto _ : state) {
        {
            std::filebuf out;
            out.open(file.path, std::ios::out | std::ios::binary | std::ios::trunc);
            qvOutputStream os(&out, qvVersion::default_version(), true);
            for (const auto& t : texts) os << t.c_str();
        }
        std::filebuf in;
        in.open(file.path, std::ios::in | std::ios::binary);
        qvInputStream is(&in);
        qvString s;
        for (std::size_t i = 0; i < texts.size(); ++i) is >> s;
        benchmark::DoNotOptimize(s());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * 2);
}

// One record: an int32, a double and a string, as persistent objects mix them.
void write_records(qvOutputStream& os, std::vector<std::string> const& texts) {
    for (std::size_t i = 0; i < texts.size(); ++i) {
        qvWriteInt32(os, static_cast<long>(i));
        qvWriteValue(os, static_cast<double>(i) * 0.25);
        os << texts[i].c_str();
    }
}

void BM_mixed_records_write(benchmark::State& state) {
    const auto texts = short_strings(static_cast<std::size_t>(state.range(0)));
    std::int64_t bytes = 0;
    for (auto _ : state) {
        std::stringbuf buffer;
        qvOutputStream os(&buffer, qvVersion::default_version(), true);
        write_records(os, texts);
        bytes += static_cast<std::int64_t>(buffer.str().size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(bytes);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_mixed_records_read(benchmark::State& state) {
    const auto texts = short_strings(static_cast<std::size_t>(state.range(0)));
    std::stringbuf source;
    {
        qvOutputStream os(&source, qvVersion::default_version(), true);
        write_records(os, texts);
    }
    const std::string data = source.str();
    for (auto _ : state) {
        std::stringbuf buffer(data);
        qvInputStream is(&buffer);
        qvString s;
        double sum = 0;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            sum += static_cast<double>(qvReadInt32(is));
            sum += qvReadValue<double>(is);
            is >> s;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(data.size()));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(BM_mixed_records_write)->RangeMultiplier(100)->Range(100, 1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_mixed_records_read)->RangeMultiplier(100)->Range(100, 1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_values_stringbuf_write)->Range(64, 64 << 10);
BENCHMARK(BM_values_stringbuf_read)->Range(64, 64 << 10);
BENCHMARK(BM_strings_stringbuf_round_trip)->Range(64, 16 << 10);
BENCHMARK(BM_values_filebuf_round_trip)->Range(1 << 10, 64 << 10);
BENCHMARK(BM_strings_filebuf_round_trip)->Range(1 << 10, 16 << 10);
