// The standard property classes: the values they stream as raw bytes (see
// qvStandardPropertyClasses.hpp for every class's stream form).

#include <orvane/attributes/qvStandardPropertyClasses.hpp>

#include "core/qvStreamFields.hpp"

#include <cstdint>

void qvPropertyValueStream<unsigned char>::load(qvInputStream& is, unsigned char& value) {
    value = qvReadValue<unsigned char>(is);
}

void qvPropertyValueStream<unsigned char>::save(qvOutputStream& os, unsigned char const& value) {
    qvWriteValue(os, value);
}

// int32 x, then int32 y; y is read before either is stored.
void qvPropertyValueStream<qvCrdOf<int>>::load(qvInputStream& is, qvCrdOf<int>& value) {
    const std::int32_t x = qvReadValue<std::int32_t>(is);
    const std::int32_t y = qvReadValue<std::int32_t>(is);
    value = qvCrdOf<int>(x, y);
}

void qvPropertyValueStream<qvCrdOf<int>>::save(qvOutputStream& os, qvCrdOf<int> const& value) {
    qvWriteValue(os, std::int32_t{value.x});
    qvWriteValue(os, std::int32_t{value.y});
}

void qvPropertyValueStream<qvWrap<double>>::load(qvInputStream& is, qvWrap<double>& value) {
    value = qvReadValue<double>(is);
}

void qvPropertyValueStream<qvWrap<double>>::save(qvOutputStream& os, qvWrap<double> const& value) {
    qvWriteValue(os, static_cast<double>(value));
}
