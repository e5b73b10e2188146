#pragma once
// qvRecordingHostView: a host's window-glue view that records every hook
// call, in order, as a line of text:
//   "limits (x1 y1 x2 y2) current (x1 y1 x2 y2)"   update_virtual_limits
//   "bar H first last" / "bar V first last"        update_scrollbar
//   "mapping"                                      mapping_changed
//   "resize (x1 y1 x2 y2)"                         resize_update
// When `grow` is set the canvas takes the proposed rectangle (a host that
// lets the canvas grow); `resized` is what resize_update answers. `alive`,
// when set, is cleared by the destructor.

#include <orvane/views/qvUIView.hpp>

#include <string>
#include <vector>

class qvRecordingHostView : public qvUIView {
public:
    ~qvRecordingHostView() override {
        if (alive != nullptr)
            *alive = false;
    }

    void update_virtual_limits(qvWinRectOf<double>& proposed, qvWinRectOf<double> const& current) override {
        calls.push_back("limits " + text(proposed) + " current " + text(current));
        if (!grow)
            proposed = current;
    }
    void update_scrollbar(ScrollOrientation orientation, ScrollBarInfo const& info) override {
        calls.push_back(std::string("bar ") + (orientation == HORIZONTAL ? "H " : "V ") + std::to_string(info.first) +
                        " " + std::to_string(info.last));
        bars.push_back(info);
    }
    void mapping_changed() override { calls.push_back("mapping"); }
    bool resize_update(qvWinRectOf<double> const& rect) override {
        calls.push_back("resize " + text(rect));
        return resized;
    }

    static std::string text(qvWinRectOf<double> const& r) {
        auto n = [](double v) {
            std::string s = std::to_string(v);
            s.erase(s.find_last_not_of('0') + 1);
            if (!s.empty() && s.back() == '.')
                s.pop_back();
            return s;
        };
        return "(" + n(r.x1) + " " + n(r.y1) + " " + n(r.x2) + " " + n(r.y2) + ")";
    }

    std::vector<std::string> calls;
    std::vector<ScrollBarInfo> bars;
    bool grow = false;
    bool resized = false;
    bool* alive = nullptr;
};
