// qvTimeUnit: the shared units of time.

#include <orvane/attributes/qvTimeUnit.hpp>

qvTimeUnit const* qvTimeUnit::getSecond() {
    static const qvTimeUnit unit("Second", "s", 1);
    return &unit;
}

qvTimeUnit const* qvTimeUnit::getMinute() {
    static const qvTimeUnit unit("Minute", "m", 60);
    return &unit;
}

qvTimeUnit const* qvTimeUnit::getHour() {
    static const qvTimeUnit unit("Hour", "h", 3600);
    return &unit;
}

qvTimeUnit const* qvTimeUnit::getDay() {
    static const qvTimeUnit unit("Day", "d", 86400);
    return &unit;
}
