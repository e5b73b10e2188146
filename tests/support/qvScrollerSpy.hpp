#pragma once
// A scroller (object or dimension) that writes every do_ operation, update,
// begin_update and end_update it is given into a log the test owns, with
// the origin by name, and "commit" when an update committed its operation.
// Lines read "<name>.<call>", for example "a.do_scroll(10)", "d1.update(a)",
// "a.commit", so a test can state the exact road of a broadcast.
//
// The log must outlive the spies; it names objects by their scroller
// interface, so plain (unspied) objects can be named too.

#include <orvane/views/qvScrollerInterface.hpp>

#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

class qvScrollerSpyLog {
public:
    std::vector<std::string> lines;

    void name(qvScrollerInterface const* s, std::string n) { names_[s] = std::move(n); }
    std::string name_of(qvScrollerInterface const* s) const {
        if (s == nullptr) return "null";
        auto found = names_.find(s);
        return found != names_.end() ? found->second : "?";
    }
    // The lines that start with "<prefix>." and contain `call`.
    std::vector<std::string> of(std::string const& prefix, std::string const& call = "") const {
        std::vector<std::string> out;
        for (auto const& line : lines)
            if (line.rfind(prefix + ".", 0) == 0 && line.find(call) != std::string::npos)
                out.push_back(line);
        return out;
    }
    // How many lines contain `text`.
    int count(std::string const& text) const {
        int n = 0;
        for (auto const& line : lines) n += line.find(text) != std::string::npos;
        return n;
    }
    void clear() { lines.clear(); }

private:
    std::map<qvScrollerInterface const*, std::string> names_;
};

inline std::string qv_spy_number(double v) {
    std::ostringstream os;
    os << v;
    return os.str();
}

template <class Base>
class qvScrollerSpy : public Base {
public:
    template <class... Args>
    qvScrollerSpy(std::string name, qvScrollerSpyLog& log, Args&&... args)
        : Base(std::forward<Args>(args)...), name_(std::move(name)), log_(log) {
        log_.name(this, name_);
    }

    double do_limits(qvRangeOf<double> r) override {
        record("do_limits(" + pair(r.lo, r.hi) + ")");
        return Base::do_limits(r);
    }
    double do_resize(qvRangeOf<double> r) override {
        record("do_resize(" + pair(r.lo, r.hi) + ")");
        return Base::do_resize(r);
    }
    double do_zoom(double z, double c) override {
        record("do_zoom(" + pair(z, c) + ")");
        return Base::do_zoom(z, c);
    }
    double do_scroll(double d) override {
        record("do_scroll(" + qv_spy_number(d) + ")");
        return Base::do_scroll(d);
    }
    double do_position(double p) override {
        record("do_position(" + qv_spy_number(p) + ")");
        return Base::do_position(p);
    }
    void do_alignment(qvLimitsAlignment a) override {
        record("do_alignment(" + std::to_string(static_cast<int>(a)) + ")");
        Base::do_alignment(a);
    }
    double do_mapping(qvRTComponent c) override {
        record("do_mapping(" + pair(c.scale, c.offset) + ")");
        return Base::do_mapping(c);
    }
    double do_apply_left(qvRTComponent c) override {
        record("do_apply_left(" + pair(c.scale, c.offset) + ")");
        return Base::do_apply_left(c);
    }
    double do_apply_right(qvRTComponent c) override {
        record("do_apply_right(" + pair(c.scale, c.offset) + ")");
        return Base::do_apply_right(c);
    }
    void do_round_off(bool on) override {
        record(std::string("do_round_off(") + (on ? "true" : "false") + ")");
        Base::do_round_off(on);
    }
    void update(bool notify, qvScrollerInterface const* origin) override {
        record("update(" + log_.name_of(origin) + ")");
        const int pending = this->pending_operation();
        Base::update(notify, origin);
        if (pending != 0 && this->pending_operation() == 0) record("commit");
    }
    void begin_update(qvScrollerInterface const* origin) override {
        record("begin_update(" + log_.name_of(origin) + ")");
        Base::begin_update(origin);
    }
    void end_update(qvScrollerInterface const* origin) override {
        record("end_update(" + log_.name_of(origin) + ")");
        Base::end_update(origin);
    }

    // What is pending, for tests that stage without committing.
    int pending() const noexcept { return this->pending_operation(); }

private:
    static std::string pair(double a, double b) { return qv_spy_number(a) + ", " + qv_spy_number(b); }
    void record(std::string call) { log_.lines.push_back(name_ + "." + std::move(call)); }

    std::string name_;
    qvScrollerSpyLog& log_;
};
