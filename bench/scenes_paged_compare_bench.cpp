// The ready-made paged scene beside the spatial indexes a user would pick
// instead: SQLite's R*Tree module, libspatialindex's R*-tree and
// Boost.Geometry's rtree, each compiled in only when its development
// package is present (ORVANE_BENCH_SQLITE, _SPATIALINDEX, _BOOST).
//
// Every side gets the same boxes: 100k, 1M and 10M rectangles (sizes 10x
// apart, so that growth shows) with integer corners and sides 1 to 64 in
// (0, 0, 2^20, 2^20), in three sets (uniform;
// 64 Gaussian clusters of sigma 2^14, clipped; uniform with 5% straddling
// x = 2^19 or y = 2^19), in the generator's order and in Morton order of
// their centres (16 bits per axis, from a pre-sorted box file). Query edges
// are half-integers: exact in 32-bit floats, never equal to a box edge, so
// strict and closed overlap agree and every side must count the same
// records for every query; a mismatch ends the run.
//
// Each measurement runs in a child process of its own, so its peak memory
// (VmHWM, RssAnon, RssFile from /proc/self/status) is its own and a cold
// query starts with no cache warm: the child drops every file of its side
// from the system's page cache (posix_fadvise DONTNEED) before it opens
// them, times the open apart, runs 1,000 viewports cold and the same 1,000
// again warm. Loads are timed up to their durable end (our close, SQLite's
// COMMIT, libspatialindex's files synced); disk peers get a 256 MiB page
// cache, as our goal configuration has. Boost's rtree lives in memory: it
// is measured warm only, in the child that built it.
//
// Names follow bench/compare: "cmp/<operation>/<variant>/<size>" for ours
// (the first variant of an operation is the one the ratios use),
// "peer/<operation>/<peer>/<size>" for a peer. Each case's counters are
// in its label, which bench/compare prints. One measurement per case
// and process: repetitions reuse it.

#include "qvCountingPort.hpp"
#include <orvane/attributes/qvMatchingPalette.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/scenes/qvHandleTree.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/scenes/qvPagedScene.hpp>
#include <orvane/scenes/qvQuadTreeDirectory.hpp>
#include <orvane/scenes/qvQuadTreeNode.hpp>
#include <orvane/shapes/qvRectangle.hpp>

#include "scenes/qvCacheOnIO.hpp"
#include "scenes/qvCacheOnMapping.hpp"

#include "qvBenchSupport.hpp"
#include "qvBenchBoxes.hpp"

#include <benchmark/benchmark.h>

#if ORVANE_BENCH_SQLITE
#include <sqlite3.h>
#endif
#if ORVANE_BENCH_SPATIALINDEX
#include <spatialindex/SpatialIndex.h>
#endif
#if ORVANE_BENCH_BOOST
// g++ 12 sees maybe-uninitialized heap elements in the rtree's R* split,
// inlined into this file: Boost's, not ours.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <boost/geometry.hpp>
#include <boost/geometry/index/rtree.hpp>
#endif

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using bench_boxes::world;
[[maybe_unused]] constexpr int cache_mib = 256;   // the disk peers' page cache
constexpr int queries = 1000;

// --- boxes -----------------------------------------------------------------------

using bench_boxes::Box;
using bench_boxes::BoxSource;
using bench_boxes::Set;
using bench_boxes::set_name;
using bench_boxes::morton;

using bench_support::scratch_dir;

std::string scratch(std::string const& what) { return bench_support::scratch_path("cmp_" + what); }

// One load order of one set: the generator's, or the Morton-sorted file.
struct Sequence {
    Set set;
    bool morton;
    long count;
    std::string file;   // the sorted boxes when morton
};

// The boxes of a sequence one at a time: made from the seed, or read from
// the sorted file in chunks.
class BoxReader {
public:
    explicit BoxReader(Sequence const& seq) : seq_(seq), source_(seq.set) {
        if (!seq.morton) return;
        in_ = std::fopen(seq.file.c_str(), "rb");
        if (in_ == nullptr) throw std::runtime_error("no box file " + seq.file);
        chunk_.resize(65536);
    }
    BoxReader(BoxReader const&) = delete;
    BoxReader& operator=(BoxReader const&) = delete;
    ~BoxReader() {
        if (in_ != nullptr) std::fclose(in_);
    }
    bool next(Box& box) {
        if (done_ == seq_.count) return false;
        ++done_;
        if (!seq_.morton) {
            box = source_.next();
            return true;
        }
        if (at_ == got_) {
            got_ = std::fread(chunk_.data(), sizeof(Box), chunk_.size(), in_);
            at_ = 0;
            if (got_ == 0) throw std::runtime_error("box file cut short");
        }
        box = chunk_[at_++];
        return true;
    }

private:
    Sequence const& seq_;
    BoxSource source_;
    std::FILE* in_ = nullptr;
    std::vector<Box> chunk_;
    std::size_t at_ = 0, got_ = 0;
    long done_ = 0;
};

// Calls f on every box of the sequence, in its order.
template <class F>
void each_box(Sequence const& seq, F&& f) {
    BoxReader reader(seq);
    for (Box b{}; reader.next(b);) f(b);
}

// --- viewports ---------------------------------------------------------------------

struct Area {
    double x1, y1, x2, y2;
};

// 1,000 squares of 0.01%, 1% or 10% of the bounds, half-integer edges.
std::vector<Area> viewports(int size_index) {
    static const double fractions[] = {0.0001, 0.01, 0.1};
    const double side = std::floor(std::sqrt(fractions[size_index]) * world);
    std::mt19937_64 rng(77 + static_cast<unsigned>(size_index));
    std::uniform_int_distribution<std::int32_t> at(0, world - static_cast<std::int32_t>(side) - 1);
    std::vector<Area> out;
    for (int i = 0; i < queries; ++i) {
        const double x = at(rng) + 0.5, y = at(rng) + 0.5;
        out.push_back({x, y, x + side, y + side});
    }
    return out;
}
char const* const area_names[] = {"0.01%", "1%", "10%"};

// A hash of the counts of a query run, in query order.
struct CountHash {
    std::uint64_t value = 1469598103934665603ull;
    void add(long count) { value = (value ^ static_cast<std::uint64_t>(count)) * 1099511628211ull; }
};

// --- child processes ------------------------------------------------------------------

struct Result {
    double seconds = 0;       // load, or cold queries
    double warm_seconds = 0;  // warm queries
    double open_seconds = 0;
    double vm_hwm = 0, rss_anon = 0, rss_file = 0;   // MB
    double file_mb = 0;
    double bound_mb = 0;        // our peak memory bound, I/O device loads
    double pages_per_query = 0, hit_rate = -1;
    std::uint64_t counts = 0;   // CountHash of the cold run (equal to the warm one)
    std::int64_t index_id = 0;
    double warm[3] = {0, 0, 0};            // Boost: warm seconds per viewport size
    std::uint64_t warm_counts[3] = {0, 0, 0};
    char error[240] = {};
};

double now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void read_status(Result& r) {
    std::FILE* in = std::fopen("/proc/self/status", "r");
    if (in == nullptr) return;
    char line[256];
    while (std::fgets(line, sizeof line, in) != nullptr) {
        double kb = 0;
        if (std::sscanf(line, "VmHWM: %lf", &kb) == 1) r.vm_hwm = kb / 1024;
        if (std::sscanf(line, "RssAnon: %lf", &kb) == 1) r.rss_anon = kb / 1024;
        if (std::sscanf(line, "RssFile: %lf", &kb) == 1) r.rss_file = kb / 1024;
    }
    std::fclose(in);
}

double file_mb(std::string const& name) {
    struct stat s {};
    return ::stat(name.c_str(), &s) == 0 ? static_cast<double>(s.st_size) / 1e6 : 0.0;
}

[[maybe_unused]] void sync_file(std::string const& name) {
    const int fd = ::open(name.c_str(), O_RDONLY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Syncs the file and drops it from the system's page cache.
void drop_cached(std::string const& name) {
    const int fd = ::open(name.c_str(), O_RDONLY);
    if (fd < 0) return;
    ::fdatasync(fd);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    ::close(fd);
}

// Runs f in a child process and hands back what it returned.
Result in_child(std::function<Result()> const& f) {
    int pipe_fd[2];
    if (::pipe(pipe_fd) != 0) throw std::runtime_error("pipe");
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipe_fd[0]);
        Result r;
        try {
            r = f();
        } catch (qvError const& e) {
            std::snprintf(r.error, sizeof r.error, "%s", static_cast<char const*>(e));
        } catch (std::exception const& e) {
            std::snprintf(r.error, sizeof r.error, "%s", e.what());
        }
        if (::write(pipe_fd[1], &r, sizeof r) != static_cast<ssize_t>(sizeof r)) ::_exit(1);
        ::_exit(0);
    }
    ::close(pipe_fd[1]);
    Result r;
    std::size_t got = 0;
    while (got < sizeof r) {
        const ssize_t n = ::read(pipe_fd[0], reinterpret_cast<char*>(&r) + got, sizeof r - got);
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(pipe_fd[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (got != sizeof r) std::snprintf(r.error, sizeof r.error, "child ended without a result (status %d)", status);
    return r;
}

// --- ours -------------------------------------------------------------------------------

const qvMathRectOf<double> bounds(qvRectOf<double>(0, 0, world, world));

qvMathRectOf<double> rect_of(Box const& b) {
    return qvMathRectOf<double>(qvRectOf<double>(b.x1, b.y1, b.x2, b.y2));
}

// Our variants: the road and the device. cache < 0: the mapped device.
struct Ours {
    bool typed;
    int cache_mib;   // -1: mapped
    char const* name;
};
const Ours our_loads[] = {{true, 256, "typed-io256"}, {false, 256, "bulk-io256"}, {true, 16, "typed-io16"},
                          {false, 16, "bulk-io16"},   {true, -1, "typed-mapped"}, {false, -1, "bulk-mapped"}};
const Ours our_queries[] = {{false, 256, "io256"}, {false, 16, "io16"}, {false, -1, "mapped"}};

int cache_bytes(int mib) { return mib < 0 ? -1 : mib << 20; }

// The scene stream of the sequence's rectangles in layer 0 (and no record
// in the scene's other layers), made as it is read: a rectangle record of
// our own making with each box put in.
class RecordStream : public std::streambuf {
public:
    explicit RecordStream(Sequence const& seq) : boxes_(seq), count_(seq.count) {
        qvMemoryScene memory;
        qvRectangle made(memory, qvMathRectOf<double>(qvRectOf<double>(0, 0, 1, 1)));
        qvShapeBase* const r = memory.connect(1);
        record_.assign(reinterpret_cast<char const*>(r), reinterpret_cast<char const*>(r) + r->size);
        memory.disconnect(r);
    }
    // Before the load: the scene's layer count. The head shares its buffer
    // with the first records: the stream's version probe reads past it and
    // gives the bytes back, which works within one buffer.
    void layers(int count) {
        layers_ = count;
        const std::int32_t head[2] = {count, static_cast<std::int32_t>(count_)};
        buffer_.assign(reinterpret_cast<char const*>(head), reinterpret_cast<char const*>(head) + sizeof head);
        append_records();
        setg(buffer_.data(), buffer_.data(), buffer_.data() + buffer_.size());
    }

protected:
    // The record reader asks where it is and skips forward.
    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode which) override {
        if (dir != std::ios_base::cur || (which & std::ios_base::in) == 0 || off < 0) return pos_type(off_type(-1));
        for (; off > 0; --off)
            if (traits_type::eq_int_type(sbumpc(), traits_type::eof())) return pos_type(off_type(-1));
        return pos_type(before_ + (gptr() - eback()));
    }
    pos_type seekpos(pos_type to, std::ios_base::openmode which) override {
        const off_type inside = off_type(to) - before_;
        if ((which & std::ios_base::in) == 0 || inside < 0 || inside > egptr() - eback()) return pos_type(off_type(-1));
        setg(eback(), eback() + inside, egptr());
        return to;
    }
    int_type underflow() override {
        before_ += egptr() - eback();
        if (next_ >= count_) {
            if (layers_ <= 1) return traits_type::eof();
            buffer_.assign(static_cast<std::size_t>(layers_ - 1) * 4, '\0');   // the other layers' counts
            layers_ = 0;
            setg(buffer_.data(), buffer_.data(), buffer_.data() + buffer_.size());
            return traits_type::to_int_type(buffer_[0]);
        }
        buffer_.clear();
        append_records();
        setg(buffer_.data(), buffer_.data(), buffer_.data() + buffer_.size());
        return traits_type::to_int_type(buffer_[0]);
    }

private:
    void append_records() {
        for (long end = std::min(count_, next_ + 4096); next_ < end; ++next_) {
            auto* const header = reinterpret_cast<qvShapeBase*>(record_.data());
            Box b{};
            boxes_.next(b);
            header->box = qvMathRectOf<float>(qvRectOf<float>(static_cast<float>(b.x1), static_cast<float>(b.y1),
                                                              static_cast<float>(b.x2), static_cast<float>(b.y2)));
            buffer_.insert(buffer_.end(), record_.begin(), record_.end());
        }
    }

private:
    std::vector<char> record_;
    BoxReader boxes_;
    long count_;
    std::vector<char> buffer_;
    long next_ = 0;
    int layers_ = 1;
    off_type before_ = 0;   // bytes of the buffers before this one
};

// Page cache + quadtree nodes and cells + handle-tree page table + 16 MiB.
double our_bound_mb(qvPagedScene& scene, int cache_mib_of) {
    double bytes = cache_mib_of > 0 ? static_cast<double>(cache_mib_of) * (1 << 20) : 0.0;
    for (auto const& entry : scene.layers())
        if (entry.sdb != nullptr)
            bytes += entry.sdb->directory()->count() * (sizeof(qvQuadTreeNode) + sizeof(qvQuadTreeDirectory::CellNodes) * 8);
    if (auto* tree = dynamic_cast<qvHandleTree*>(scene.handle_database()))
        bytes += static_cast<double>(tree->pages().size() * sizeof(qvHandleTree::PageEntry));
    return bytes / 1e6 + 16.0 * (1 << 20) / 1e6;
}

Result our_load(Sequence const& seq, Ours const& how, std::string const& name) {
    Result r;
    qvMatchingPalette palette(nullptr);
    qvPagedScene scene(&palette);
    std::unique_ptr<RecordStream> stream;
    if (!how.typed) stream = std::make_unique<RecordStream>(seq);
    const double start = now();
    scene.create(name.c_str(), bounds, cache_bytes(how.cache_mib));
    if (how.typed) {
        each_box(seq, [&scene](Box const& b) { qvRectangle(scene, rect_of(b)); });
    } else {
        stream->layers(scene.total_layers());
        qvInputStream in(stream.get());
        scene.load(in);
    }
    const double loaded = now();
    if (how.cache_mib > 0) r.bound_mb = our_bound_mb(scene, how.cache_mib);
    const double closing = now();
    scene.close();
    r.seconds = now() - closing + (loaded - start);
    read_status(r);
    r.file_mb = file_mb(name);
    return r;
}

Result our_queries_run(std::string const& name, int mib, int size_index) {
    Result r;
    const auto areas = viewports(size_index);
    drop_cached(name);
    qvMatchingPalette palette(nullptr);
    qvPagedScene scene(&palette);
    double t = now();
    if (!scene.open(name.c_str(), cache_bytes(mib), true)) throw std::runtime_error("not opened");
    r.open_seconds = now() - t;
    auto locks = [&scene] {
        if (auto* io = dynamic_cast<qvCacheOnIO*>(&scene.device()))
            return std::pair<double, double>(static_cast<double>(io->counters().hits + io->counters().misses),
                                             static_cast<double>(io->counters().hits));
        if (auto* mapped = dynamic_cast<qvCacheOnMapping*>(&scene.device()))
            return std::pair<double, double>(static_cast<double>(mapped->counters().locks), -1.0);
        return std::pair<double, double>(0, -1);
    };
    for (int pass = 0; pass < 2; ++pass) {
        CountHash hash;
        const auto before = locks();
        t = now();
        for (Area const& a : areas) {
            qvCountingPort port;
            scene.render(port, 0, qvMathRectOf<double>(qvRectOf<double>(a.x1, a.y1, a.x2, a.y2)), false);
            hash.add(port.drawn);
        }
        const double spent = now() - t;
        const auto after = locks();
        if (pass == 0) {
            r.seconds = spent;
            r.counts = hash.value;
        } else {
            r.warm_seconds = spent;
            r.pages_per_query = (after.first - before.first) / queries;
            if (before.second >= 0) r.hit_rate = (after.second - before.second) / std::max(1.0, after.first - before.first);
            if (hash.value != r.counts) throw std::runtime_error("warm counts differ from cold ones");
        }
    }
    read_status(r);
    scene.close();
    return r;
}

// --- SQLite's R*Tree -------------------------------------------------------------------

#if ORVANE_BENCH_SQLITE
void sql(sqlite3* db, char const* text) {
    char* message = nullptr;
    if (sqlite3_exec(db, text, nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string what = message != nullptr ? message : "sqlite error";
        sqlite3_free(message);
        throw std::runtime_error(what);
    }
}

void set_cache(sqlite3* db) { sql(db, ("PRAGMA cache_size = -" + std::to_string(cache_mib * 1024)).c_str()); }

Result sqlite_load(Sequence const& seq, std::string const& name) {
    Result r;
    std::remove(name.c_str());
    const double start = now();
    sqlite3* db = nullptr;
    if (sqlite3_open(name.c_str(), &db) != SQLITE_OK) throw std::runtime_error("sqlite open");
    set_cache(db);
    sql(db, "CREATE VIRTUAL TABLE boxes USING rtree(id, x1, x2, y1, y2)");
    sql(db, "BEGIN");
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO boxes VALUES (?, ?, ?, ?, ?)", -1, &insert, nullptr);
    std::int64_t id = 0;
    each_box(seq, [&](Box const& b) {
        sqlite3_bind_int64(insert, 1, ++id);
        sqlite3_bind_double(insert, 2, b.x1);
        sqlite3_bind_double(insert, 3, b.x2);
        sqlite3_bind_double(insert, 4, b.y1);
        sqlite3_bind_double(insert, 5, b.y2);
        if (sqlite3_step(insert) != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db));
        sqlite3_reset(insert);
    });
    sqlite3_finalize(insert);
    sql(db, "COMMIT");
    r.seconds = now() - start;
    read_status(r);
    sqlite3_close(db);
    r.file_mb = file_mb(name);
    return r;
}

Result sqlite_queries(std::string const& name, int size_index) {
    Result r;
    const auto areas = viewports(size_index);
    drop_cached(name);
    double t = now();
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(name.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        throw std::runtime_error("sqlite open");
    set_cache(db);
    sqlite3_stmt* query = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT id FROM boxes WHERE x2 > ?1 AND x1 < ?3 AND y2 > ?2 AND y1 < ?4", -1, &query,
                           nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
    r.open_seconds = now() - t;
    for (int pass = 0; pass < 2; ++pass) {
        CountHash hash;
        t = now();
        for (Area const& a : areas) {
            sqlite3_bind_double(query, 1, a.x1);
            sqlite3_bind_double(query, 2, a.y1);
            sqlite3_bind_double(query, 3, a.x2);
            sqlite3_bind_double(query, 4, a.y2);
            long count = 0;
            while (sqlite3_step(query) == SQLITE_ROW) {
                benchmark::DoNotOptimize(sqlite3_column_int64(query, 0));
                ++count;
            }
            sqlite3_reset(query);
            hash.add(count);
        }
        (pass == 0 ? r.seconds : r.warm_seconds) = now() - t;
        r.counts = hash.value;
    }
    read_status(r);
    sqlite3_finalize(query);
    sqlite3_close(db);
    return r;
}

// Debian's build has the module; another build may not.
bool sqlite_has_rtree() {
    sqlite3* db = nullptr;
    sqlite3_open(":memory:", &db);
    const bool ok = sqlite3_exec(db, "CREATE VIRTUAL TABLE t USING rtree(id, x1, x2)", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}
#endif

// --- libspatialindex ------------------------------------------------------------------

#if ORVANE_BENCH_SPATIALINDEX
namespace si = SpatialIndex;

si::Region region_of(Box const& b) {
    const double lo[2] = {static_cast<double>(b.x1), static_cast<double>(b.y1)};
    const double hi[2] = {static_cast<double>(b.x2), static_cast<double>(b.y2)};
    return si::Region(lo, hi, 2);
}

class BoxStream : public si::IDataStream {
public:
    explicit BoxStream(Sequence const& seq) { each_box(seq, [this](Box const& b) { boxes_.push_back(b); }); }
    si::IData* getNext() override {
        const si::id_type id = static_cast<si::id_type>(next_ + 1);
        si::Region region = region_of(boxes_[next_++]);
        return new si::RTree::Data(0, nullptr, region, id);
    }
    bool hasNext() override { return next_ < boxes_.size(); }
    uint32_t size() override { return static_cast<uint32_t>(boxes_.size()); }
    void rewind() override { next_ = 0; }

private:
    std::vector<Box> boxes_;
    std::size_t next_ = 0;
};

struct Counter : si::IVisitor {
    long count = 0;
    void visitNode(si::INode const&) override {}
    void visitData(si::IData const&) override { ++count; }
    void visitData(std::vector<si::IData const*>& v) override { count += static_cast<long>(v.size()); }
};

constexpr std::uint32_t si_page = 4096;
constexpr std::uint32_t si_fanout = 100;

Result spatialindex_load(Sequence const& seq, std::string const& base, bool bulk) {
    Result r;
    std::unique_ptr<BoxStream> stream;
    if (bulk) stream = std::make_unique<BoxStream>(seq);
    const double start = now();
    std::string name = base;
    std::unique_ptr<si::IStorageManager> disk(si::StorageManager::createNewDiskStorageManager(name, si_page));
    std::unique_ptr<si::StorageManager::IBuffer> buffer(
        si::StorageManager::createNewRandomEvictionsBuffer(*disk, (cache_mib << 20) / si_page, false));
    si::id_type id = 0;
    std::unique_ptr<si::ISpatialIndex> tree;
    if (bulk) {
        tree.reset(si::RTree::createAndBulkLoadNewRTree(si::RTree::BLM_STR, *stream, *buffer, 0.7, si_fanout, si_fanout,
                                                         2, si::RTree::RV_RSTAR, id));
    } else {
        tree.reset(si::RTree::createNewRTree(*buffer, 0.7, si_fanout, si_fanout, 2, si::RTree::RV_RSTAR, id));
        si::id_type k = 0;
        each_box(seq, [&](Box const& b) { tree->insertData(0, nullptr, region_of(b), static_cast<si::id_type>(++k)); });
    }
    read_status(r);
    tree.reset();
    buffer.reset();
    disk.reset();
    sync_file(base + ".idx");
    sync_file(base + ".dat");
    r.seconds = now() - start;
    r.file_mb = file_mb(base + ".idx") + file_mb(base + ".dat");
    r.index_id = id;
    return r;
}

Result spatialindex_queries(std::string const& base, si::id_type id, int size_index) {
    Result r;
    const auto areas = viewports(size_index);
    drop_cached(base + ".idx");
    drop_cached(base + ".dat");
    double t = now();
    std::string name = base;
    std::unique_ptr<si::IStorageManager> disk(si::StorageManager::loadDiskStorageManager(name));
    std::unique_ptr<si::StorageManager::IBuffer> buffer(
        si::StorageManager::createNewRandomEvictionsBuffer(*disk, (cache_mib << 20) / si_page, false));
    std::unique_ptr<si::ISpatialIndex> tree(si::RTree::loadRTree(*buffer, id));
    r.open_seconds = now() - t;
    for (int pass = 0; pass < 2; ++pass) {
        CountHash hash;
        t = now();
        for (Area const& a : areas) {
            const double lo[2] = {a.x1, a.y1}, hi[2] = {a.x2, a.y2};
            Counter counter;
            tree->intersectsWithQuery(si::Region(lo, hi, 2), counter);
            hash.add(counter.count);
        }
        (pass == 0 ? r.seconds : r.warm_seconds) = now() - t;
        r.counts = hash.value;
    }
    read_status(r);
    return r;
}
#endif

// --- Boost.Geometry's rtree -------------------------------------------------------------

#if ORVANE_BENCH_BOOST
namespace bg = boost::geometry;
namespace bgi = boost::geometry::index;
using BPoint = bg::model::point<float, 2, bg::cs::cartesian>;
using BBox = bg::model::box<BPoint>;
using BValue = std::pair<BBox, std::uint32_t>;
using BTree = bgi::rtree<BValue, bgi::rstar<16>>;

BBox bbox_of(Box const& b) {
    return BBox(BPoint(static_cast<float>(b.x1), static_cast<float>(b.y1)),
                BPoint(static_cast<float>(b.x2), static_cast<float>(b.y2)));
}

struct CountingOut {
    long* count;
    CountingOut& operator*() { return *this; }
    CountingOut& operator++() { return *this; }
    CountingOut& operator++(int) { return *this; }
    CountingOut& operator=(BValue const& v) {
        benchmark::DoNotOptimize(v.second);
        ++*count;
        return *this;
    }
};

// Builds (packing or one by one), then each viewport size twice; the
// second run is the warm time.
Result boost_load_and_query(Sequence const& seq, bool pack) {
    Result r;
    std::unique_ptr<BTree> tree;
    const double start = now();
    if (pack) {
        std::vector<BValue> values;
        values.reserve(static_cast<std::size_t>(seq.count));
        std::uint32_t id = 0;
        each_box(seq, [&](Box const& b) { values.emplace_back(bbox_of(b), ++id); });
        tree = std::make_unique<BTree>(values.begin(), values.end());
    } else {
        tree = std::make_unique<BTree>();
        std::uint32_t id = 0;
        each_box(seq, [&](Box const& b) { tree->insert(BValue(bbox_of(b), ++id)); });
    }
    r.seconds = now() - start;
    read_status(r);
    for (int s = 0; s < 3; ++s) {
        const auto areas = viewports(s);
        for (int pass = 0; pass < 2; ++pass) {
            CountHash hash;
            const double t = now();
            for (Area const& a : areas) {
                long count = 0;
                const BBox q(BPoint(static_cast<float>(a.x1), static_cast<float>(a.y1)),
                             BPoint(static_cast<float>(a.x2), static_cast<float>(a.y2)));
                tree->query(bgi::intersects(q), CountingOut{&count});
                hash.add(count);
            }
            r.warm[s] = now() - t;
            r.warm_counts[s] = hash.value;
        }
    }
    return r;
}
#endif

// --- the cases ------------------------------------------------------------------------

std::string size_name(long count) {
    if (count >= 1000000) return std::to_string(count / 1000000) + "M";
    if (count >= 1000) return std::to_string(count / 1000) + "k";
    return std::to_string(count);
}

// Results by key, so that the query cases reuse the files the load cases
// made and repetitions reuse a measurement.
std::map<std::string, Result>& results() {
    static std::map<std::string, Result> all;
    return all;
}
std::map<std::string, std::uint64_t>& expected_counts() {
    static std::map<std::string, std::uint64_t> all;
    return all;
}
// The files this process made, removed at its end.
struct MadeFiles {
    std::vector<std::string> names;
    ~MadeFiles() {
        for (auto const& f : names) std::remove(f.c_str());
    }
    void push_back(std::string const& name) { names.push_back(name); }
};
MadeFiles& files_made() {
    static MadeFiles all;
    return all;
}

Result const& measured(std::string const& key, std::function<Result()> const& f) {
    auto found = results().find(key);
    if (found == results().end()) found = results().emplace(key, in_child(f)).first;
    return found->second;
}

std::string morton_file(Set set, long count) {
    const std::string name = scratch(std::string("morton_") + set_name(set) + "_" + size_name(count));
    measured("morton " + name, [&] {
        std::vector<Box> all;
        all.reserve(static_cast<std::size_t>(count));
        BoxSource source(set);
        for (long i = 0; i < count; ++i) all.push_back(source.next());
        std::stable_sort(all.begin(), all.end(), [](Box const& a, Box const& b) { return morton(a) < morton(b); });
        std::FILE* out = std::fopen(name.c_str(), "wb");
        if (out == nullptr || std::fwrite(all.data(), sizeof(Box), all.size(), out) != all.size())
            throw std::runtime_error("cannot write " + name);
        std::fclose(out);
        return Result{};
    });
    files_made().push_back(name);
    return name;
}

Sequence sequence(Set set, bool sorted, long count) {
    return Sequence{set, sorted, count, sorted ? morton_file(set, count) : std::string()};
}

// Free disk for every side's files of `count` boxes, with room to spare.
bool disk_enough(long count) {
    struct statvfs s {};
    if (::statvfs(scratch_dir().c_str(), &s) != 0) return false;
    const double free_bytes = static_cast<double>(s.f_bavail) * static_cast<double>(s.f_frsize);
    return free_bytes > static_cast<double>(count) * 400.0 + 2e9;
}

std::string label_of(Result const& r, bool load, double seconds, long count) {
    char text[256];
    if (load)
        std::snprintf(text, sizeof text, "shapes/s=%.0fk VmHWM=%.0fMB RssAnon=%.0fMB RssFile=%.0fMB file=%.0fMB%s",
                      static_cast<double>(count) / seconds / 1e3, r.vm_hwm, r.rss_anon, r.rss_file, r.file_mb,
                      r.bound_mb > 0 ? (r.vm_hwm <= r.bound_mb ? " mem<=bound" : " mem>bound") : "");
    else if (r.hit_rate >= 0)
        std::snprintf(text, sizeof text, "open=%.1fms pages/query=%.1f hit=%.3f VmHWM=%.0fMB", r.open_seconds * 1e3,
                      r.pages_per_query, r.hit_rate, r.vm_hwm);
    else if (r.pages_per_query > 0)
        std::snprintf(text, sizeof text, "open=%.1fms pages/query=%.1f VmHWM=%.0fMB RssFile=%.0fMB",
                      r.open_seconds * 1e3, r.pages_per_query, r.vm_hwm, r.rss_file);
    else
        std::snprintf(text, sizeof text, "open=%.1fms VmHWM=%.0fMB", r.open_seconds * 1e3, r.vm_hwm);
    return text;
}

// Reports one measurement: its time, and its counters in the label, which
// bench/compare prints as they are (formatted here, one line per case).
bool report(benchmark::State& state, Result const& r, double seconds, bool load, long count) {
    if (r.error[0] != '\0') {
        state.SkipWithError(r.error);
        return false;
    }
    for (auto _ : state) state.SetIterationTime(seconds);
    state.SetLabel(label_of(r, load, seconds, count));
    return true;
}

void check_counts(std::string const& key, std::uint64_t counts, char const* side) {
    auto [at, fresh] = expected_counts().emplace(key, counts);
    if (!fresh && at->second != counts) {
        std::fprintf(stderr, "scenes_paged_compare: %s counts other records than the first side for %s\n", side,
                     key.c_str());
        std::exit(1);
    }
}

bool skip_big(benchmark::State& state, long count) {
    if (disk_enough(count)) return false;
    state.SkipWithError("skipped: not enough free disk for every side's file");
    std::printf("scenes_paged_compare: %ld boxes skipped, not enough free disk in %s\n", count, scratch_dir().c_str());
    return true;
}

// libspatialindex's page buffer, once full, walks its map on every
// eviction; at 10M boxes (a file more than twice the buffer) its one-by-one
// loads and its 1% and 10% viewports take from half an hour to hours each,
// longer than a comparison of every case may run. They stay listed, as
// skipped.
constexpr long spatialindex_hours_from = 10000000;

void skip_hours(benchmark::State& state) {
    state.SkipWithError("skipped: libspatialindex's full page buffer walks its map on every eviction, "
                        "hours for this case");
}

// The file every query of one side runs over: loaded in the generator's
// order (ours on the bulk road, spatialindex with its bulk loader).
std::string query_file(std::string const& side, Set set, long count) {
    const std::string name = scratch(side + "_" + set_name(set) + "_" + size_name(count));
    const std::string key = "query file " + name;
    if (auto made = results().find(key); made != results().end()) return made->second.error[0] != '\0' ? std::string() : name;
    const Sequence seq = sequence(set, false, count);
    Result r;
    if (side == "ours") {
        r = measured(key, [&] { return our_load(seq, our_loads[1], name); });
        files_made().push_back(name);
    }
#if ORVANE_BENCH_SQLITE
    if (side == "sqlite") {
        r = measured(key, [&] { return sqlite_load(seq, name); });
        files_made().push_back(name);
    }
#endif
#if ORVANE_BENCH_SPATIALINDEX
    if (side == "spatialindex") {
        r = measured(key, [&] { return spatialindex_load(seq, name, true); });
        files_made().push_back(name + ".idx");
        files_made().push_back(name + ".dat");
    }
#endif
    return r.error[0] != '\0' ? std::string() : name;
}

void register_cases(Set set, long count) {
    const std::string size = size_name(count);
    for (bool sorted : {false, true}) {
        const std::string op = std::string("load-") + set_name(set) + (sorted ? "-morton" : "-generated");
        for (Ours const& how : our_loads)
            benchmark::RegisterBenchmark(("cmp/" + op + "/" + how.name + "/" + size).c_str(),
                                         [=](benchmark::State& state) {
                                             if (count > 1000000 && skip_big(state, count)) return;
                                             const Sequence seq = sequence(set, sorted, count);
                                             const std::string name = scratch("ours_load");
                                             const Result& r = measured(op + how.name + size, [&] {
                                                 return our_load(seq, how, name);
                                             });
                                             std::remove(name.c_str());
                                             report(state, r, r.seconds, true, count);
                                         })
                ->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
        auto peer = [&](char const* who, std::function<Result(Sequence const&)> run, bool hours = false) {
            benchmark::RegisterBenchmark(("peer/" + op + "/" + who + "/" + size).c_str(),
                                         [=](benchmark::State& state) {
                                             if (hours) return skip_hours(state);
                                             if (count > 1000000 && skip_big(state, count)) return;
                                             const Sequence seq = sequence(set, sorted, count);
                                             const Result& r = measured(op + who + size, [&] { return run(seq); });
                                             report(state, r, r.seconds, true, count);
                                         })
                ->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
        };
        (void)peer;   // without any peer package
#if ORVANE_BENCH_SQLITE
        if (sqlite_has_rtree())
            peer("sqlite", [](Sequence const& seq) {
                const std::string name = scratch("sqlite_load");
                Result r = sqlite_load(seq, name);
                std::remove(name.c_str());
                return r;
            });
#endif
#if ORVANE_BENCH_SPATIALINDEX
        for (bool bulk : {true, false})
            peer(
                bulk ? "spatialindex-str" : "spatialindex-insert",
                [bulk](Sequence const& seq) {
                    const std::string name = scratch("si_load");
                    Result r = spatialindex_load(seq, name, bulk);
                    std::remove((name + ".idx").c_str());
                    std::remove((name + ".dat").c_str());
                    return r;
                },
                !bulk && count >= spatialindex_hours_from);
#endif
#if ORVANE_BENCH_BOOST
        for (bool pack : {true, false})
            peer(pack ? "boost-pack" : "boost-insert",
                 [pack](Sequence const& seq) { return boost_load_and_query(seq, pack); });
#endif
    }

    for (int s = 0; s < 3; ++s) {
        for (bool warm : {false, true}) {
            const std::string op = std::string(warm ? "warm-" : "cold-") + set_name(set) + "-" + area_names[s];
            const std::string key = std::string(set_name(set)) + size + area_names[s];
            for (Ours const& how : our_queries)
                benchmark::RegisterBenchmark(("cmp/" + op + "/" + how.name + "/" + size).c_str(),
                                             [=](benchmark::State& state) {
                                                 if (count > 1000000 && skip_big(state, count)) return;
                                                 const std::string name = query_file("ours", set, count);
                                                 if (name.empty()) {
                                                     state.SkipWithError("the file to query could not be made");
                                                     return;
                                                 }
                                                 const Result& r = measured(key + how.name, [&] {
                                                     return our_queries_run(name, how.cache_mib, s);
                                                 });
                                                 if (report(state, r, warm ? r.warm_seconds : r.seconds, false, count))
                                                     check_counts(key, r.counts, how.name);
                                             })
                    ->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
            // The peers' files are made here, in this process, which
            // removes them at its end.
            auto peer = [&](char const* who, std::function<std::function<Result()>()> prepare, bool hours = false) {
                benchmark::RegisterBenchmark(("peer/" + op + "/" + who + "/" + size).c_str(),
                                             [=](benchmark::State& state) {
                                                 if (hours) return skip_hours(state);
                                                 if (count > 1000000 && skip_big(state, count)) return;
                                                 const Result& r = measured(key + who, prepare());
                                                 if (report(state, r, warm ? r.warm_seconds : r.seconds, false, count))
                                                     check_counts(key, r.counts, who);
                                             })
                    ->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
            };
            (void)peer;
#if ORVANE_BENCH_SQLITE
            if (sqlite_has_rtree())
                peer("sqlite", [=]() -> std::function<Result()> {
                    const std::string name = query_file("sqlite", set, count);
                    if (name.empty()) return [] () -> Result { throw std::runtime_error("no file to query"); };
                    return [=] { return sqlite_queries(name, s); };
                });
#endif
#if ORVANE_BENCH_SPATIALINDEX
            peer(
                "spatialindex",
                [=]() -> std::function<Result()> {
                    const std::string name = query_file("spatialindex", set, count);
                    if (name.empty()) return [] () -> Result { throw std::runtime_error("no file to query"); };
                    const auto id = static_cast<si::id_type>(results()["query file " + name].index_id);
                    return [=] { return spatialindex_queries(name, id, s); };
                },
                s >= 1 && count >= spatialindex_hours_from);
#endif
#if ORVANE_BENCH_BOOST
            // Built once per set and size (packed), every viewport size
            // measured warm in that child.
            if (warm)
                benchmark::RegisterBenchmark(("peer/" + op + "/boost/" + size).c_str(),
                                             [=](benchmark::State& state) {
                                                 if (count > 1000000 && skip_big(state, count)) return;
                                                 Result r = measured(std::string("boost ") + set_name(set) + size, [=] {
                                                     return boost_load_and_query(sequence(set, false, count), true);
                                                 });
                                                 r.warm_seconds = r.warm[s];
                                                 r.counts = r.warm_counts[s];
                                                 if (report(state, r, r.warm_seconds, false, count))
                                                     check_counts(key, r.counts, "boost");
                                             })
                    ->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
#endif
        }
    }
}

const bool registered = [] {
#if ORVANE_BENCH_SQLITE
    if (!sqlite_has_rtree()) std::fprintf(stderr, "scenes_paged_compare: SQLite has no R*Tree module, its cases are left out\n");
#endif
    for (long count : {100000L, 1000000L, 10000000L})
        for (Set set : {Set::uniform, Set::clustered, Set::straddle}) register_cases(set, count);
    return true;
}();

}  // namespace
