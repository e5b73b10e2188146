// qvGrayColor: construction checks, comparison and the stream operators.
// The stream forms live in the serializers (qvColorSerializers.cpp).

#include <orvane/attributes/qvGrayColor.hpp>

#include "attributes/qvColorRules.hpp"

#include <orvane/attributes/qvRgbColor.hpp>

qvGrayColor::qvGrayColor(float intensity) : intensity_(intensity) {
    qvColorRules::check_gray(intensity);
}

qvGrayColor::qvGrayColor(float intensity, float alpha) : intensity_(intensity), alpha_(alpha) {
    qvColorRules::check_gray_alpha(intensity, alpha);
}

// In double, so the weights are applied without float rounding in between.
qvGrayColor::qvGrayColor(qvRgbColor const& color) noexcept
    : intensity_(static_cast<float>(0.3 * color.red() + 0.59 * color.green() +
                                    0.11 * color.blue())),
      alpha_(color.alpha()) {}

qvGrayColor qvGrayColor::unchecked(float intensity, float alpha) noexcept {
    qvGrayColor gray;
    gray.intensity_ = intensity;
    gray.alpha_ = alpha;
    return gray;
}

bool qvGrayColor::operator==(qvGrayColor const& other) const noexcept {
    return intensity_ == other.intensity_ && alpha_ == other.alpha_;
}

bool qvGrayColor::is_empty() const noexcept { return intensity_ < 0 && alpha_ < 0; }

void qvGrayColor::make_empty() noexcept { *this = unchecked(-1, -1); }

qvOutputStream& operator<<(qvOutputStream& os, qvGrayColor const& gray) {
    qvGrayColorVersionBasedSerializer::instance().save(os, gray);
    return os;
}

qvInputStream& operator>>(qvInputStream& is, qvGrayColor& gray) {
    qvGrayColor read;
    qvGrayColorVersionBasedSerializer::instance().load(is, read);
    gray = read;
    return is;
}
