#pragma once
// Support of the text tests: a host text-extent provider that answers fixed
// measures and logs every call, and a scope that gives the process-wide
// text-metric settings back to the default provider.

#include <orvane/shapes/qvTextExtent.hpp>
#include <orvane/shapes/qvTextExtentClass.hpp>
#include <orvane/shapes/qvTextExtentInterface.hpp>

#include <string>
#include <vector>

namespace text_test {

// A provider under `number` that answers `answer` to every text, accepts
// the requested size mode masked by `accepted`, and logs "text abc family 2
// name Arial size 12 slant 1 weight 7 technology 0" and "mode 7". Without an
// interface (`measuring` false) it answers nothing at all.
class HostProvider : public qvTextExtentClass, public qvTextExtentInterface {
public:
    explicit HostProvider(long number, qvTextExtent answer_ = {}, unsigned accepted_ = 0, bool measuring_ = true)
        : qvTextExtentClass(number), answer(answer_), accepted(accepted_), measuring(measuring_) {}
    HostProvider(HostProvider const& other)
        : qvTextExtentClass(other), qvTextExtentInterface(other), answer(other.answer), accepted(other.accepted),
          measuring(other.measuring) {}
    HostProvider& operator=(HostProvider const& other) {
        qvTextExtentClass::operator=(other);
        return *this;
    }

    qvTextExtentInterface* extent_interface() override { return measuring ? this : nullptr; }
    qvTextExtent text_extent(char const* text, qvFontFamily family, char const* name, qvWrap<float> size,
                             qvFontSlant slant, qvFontWeight weight, qvFontTechnology technology) override {
        calls.push_back("text " + std::string(text) + " family " + std::to_string(family) + " name " +
                        (name == nullptr ? "(null)" : name) + " size " + number(static_cast<float>(size)) +
                        " slant " + std::to_string(slant) + " weight " + std::to_string(weight) + " technology " +
                        std::to_string(technology));
        return answer;
    }
    qvFontSizeMode font_size_mode(qvFontSizeMode requested) override {
        calls.push_back("mode " + std::to_string(requested));
        return static_cast<qvFontSizeMode>(static_cast<unsigned>(requested) & accepted);
    }

    qvTextExtent answer;
    unsigned accepted;
    bool measuring;
    std::vector<std::string> calls;

private:
    static std::string number(float v) {
        std::string s = std::to_string(v);
        s.erase(s.find_last_not_of('0') + 1);
        if (s.back() == '.')
            s.pop_back();
        return s;
    }
};

// Makes the default provider current on entry (creating it when needed) and
// again on exit, with its size mode: tests that change the process-wide
// settings leave them as they found them.
class DefaultMetricScope {
public:
    DefaultMetricScope() { restore(); }
    DefaultMetricScope(DefaultMetricScope const&) = delete;
    DefaultMetricScope& operator=(DefaultMetricScope const&) = delete;
    ~DefaultMetricScope() { restore(); }

private:
    static void restore() {
        qvTextExtentClass::get_default_extent();
        qvTextExtent::current_metric(-4);
        qvTextExtent::font_size_mode(QV_FSM_ALL);
    }
};

}  // namespace text_test
