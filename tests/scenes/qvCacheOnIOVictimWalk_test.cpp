// The page cache's victims over long lock sequences at larger capacities:
// which pages stay cached and every cached page's priority, bit for bit,
// against the rule as written (walk from the front, strict "below the
// candidate's decayed priority", every priority times 0.9 on each miss of
// a full cache). The runs are long enough for priorities to decay into
// subnormals and to their fixed points, and they cover the cache's switch
// to eager decay (many distinct priorities, a NaN).

#include "scenes/qvCacheOnIO.hpp"

#include "qvPageTestSupport.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace {

// Pages that read as zeros and take any write.
struct BlankIO : qvPageIO {
    void read(long, void* buffer) override { std::memset(buffer, 0, 16384); }
    void write(long, void*) override {}
};

// The rule on the list itself: entries in list order, the front last.
class RuleModel {
public:
    explicit RuleModel(std::size_t capacity) : capacity_(capacity) {}

    void lock(long page) {
        if (Entry* e = find(page)) {
            ++e->locks;
            return;
        }
        std::ptrdiff_t candidate = -1;
        if (list_.size() == capacity_) {
            float bar = 0.0f;
            for (std::ptrdiff_t i = static_cast<std::ptrdiff_t>(list_.size()) - 1; i >= 0; --i) {
                Entry& e = list_[static_cast<std::size_t>(i)];
                if (e.locks == 0 && (candidate < 0 || e.priority < bar)) {
                    candidate = i;
                    bar = e.priority * 0.9f;
                }
            }
            for (Entry& e : list_) e.priority *= 0.9f;
        }
        if (candidate >= 0) {
            list_[static_cast<std::size_t>(candidate)].page = page;
            list_[static_cast<std::size_t>(candidate)].locks = 1;
        } else {
            list_.push_back(Entry{page, 0.0f, 1});
        }
    }

    void unlock(long page, float priority) {
        for (std::size_t i = 0; i < list_.size(); ++i) {
            Entry& e = list_[i];
            if (e.page != page) continue;
            --e.locks;
            e.priority = priority;
            if (list_.size() > capacity_ && e.locks == 0) list_.erase(list_.begin() + static_cast<std::ptrdiff_t>(i));
            return;
        }
    }

    // The priority of a cached page; false when it is not cached.
    bool priority(long page, float& out) {
        Entry* e = find(page);
        if (e != nullptr) out = e->priority;
        return e != nullptr;
    }

private:
    struct Entry {
        long page;
        float priority;
        int locks;
    };
    Entry* find(long page) {
        for (Entry& e : list_)
            if (e.page == page) return &e;
        return nullptr;
    }
    std::vector<Entry> list_;
    std::size_t capacity_;
};

// Runs `steps` random locks and unlocks (at most eight held at once) over
// three times `capacity` pages on the cache and the model, comparing every
// page's presence and priority bits every 37 steps and at the end.
void agree(std::size_t capacity, std::vector<float> const& priorities, int steps, unsigned seed) {
    BlankIO io;
    qvCacheOnIO cache(io, capacity * 16384, false);
    RuleModel model(capacity);
    std::mt19937 rng(seed);
    const long pages = static_cast<long>(3 * capacity + 2);
    std::vector<long> held;
    const auto compare = [&](int step) {
        for (long p = 0; p < pages; ++p) {
            float want = 0;
            const bool cached = model.priority(p, want);
            const auto got = cache.priority_of(p);
            ASSERT_EQ(got.has_value(), cached) << "page " << p << ", step " << step;
            if (!cached) continue;
            ASSERT_EQ(std::memcmp(&*got, &want, sizeof want), 0)
                << "page " << p << ", step " << step << ": " << *got << " against " << want;
        }
    };
    for (int step = 0; step < steps; ++step) {
        if (held.size() < 8 && (held.empty() || rng() % 2 == 0)) {
            // Pages below a third of the range come back often.
            const long page = rng() % 3 == 0 ? static_cast<long>(rng() % (capacity + 1)) : static_cast<long>(rng() % pages);
            cache.lock(page, rng() % 4 == 0);
            model.lock(page);
            held.push_back(page);
        } else {
            const std::size_t i = rng() % held.size();
            const float priority = priorities[rng() % priorities.size()];
            cache.unlock(held[i], priority);
            model.unlock(held[i], priority);
            held.erase(held.begin() + static_cast<std::ptrdiff_t>(i));
        }
        if (step % 37 == 0) {
            compare(step);
            if (testing::Test::HasFatalFailure()) break;
        }
    }
    compare(steps);
    for (long page : held) cache.unlock(page, 0.0f);
}

TEST(qvCacheOnIOVictimWalk, Victims_and_decayed_priorities_follow_the_rule_at_every_capacity) {
    // The library's own priorities, a negative one, a subnormal and large
    // ones that take about 1,700 decays to reach their fixed point.
    const std::vector<float> priorities = {0.0f, 0.0f, 0.5f, 1.0f, 1.0f, -0.5f, 1e-41f, 1e30f, 3e38f, -0.0f};
    for (std::size_t capacity : {1u, 2u, 7u, 64u, 200u}) {
        SCOPED_TRACE(capacity);
        agree(capacity, priorities, 40000, 20261207u + static_cast<unsigned>(capacity));
        if (HasFatalFailure()) return;
    }
}

TEST(qvCacheOnIOVictimWalk, Many_distinct_priorities_and_a_NaN_keep_the_same_victims) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> any(-2.0f, 2.0f);
    std::vector<float> many;
    for (int i = 0; i < 100; ++i) many.push_back(any(rng));
    agree(50, many, 20000, 11);
    if (HasFatalFailure()) return;
    agree(50, {0.0f, 1.0f, 0.5f, std::numeric_limits<float>::quiet_NaN()}, 20000, 12);
}

}  // namespace
