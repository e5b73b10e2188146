#pragma once
// qvSimpleShapeProxy<G, D>: the concrete stand-alone proxy: generic layer G
// over a stand-alone base, for records of data struct D. Its allocate is
// the in-scene typed allocate without scene, site or proxy class: the size
// is D's fixed record size plus the extra asked for (computed in 64 bits
// and checked), and a first allocation stamps D's kind code and initial
// data; the proxy class id stays 0.

#include <orvane/shapes/qvShapeBase.hpp>
#include <orvane/shapes/qvSimpleShapeProxyBase.hpp>

#include <cstdint>
#include <new>

template <class G, class D>
class qvSimpleShapeProxy : public G {
public:
    void allocate(int extra) override {
        const bool first = this->record_ == nullptr;
        qvSimpleShapeProxyBase::allocate(
            this->record_size(std::int64_t{extra} + std::int64_t{sizeof(qvShape<D>)}));
        if (!first)
            return;
        this->record_->kind = static_cast<std::int32_t>(D::flavor());
        ::new (static_cast<void*>(&static_cast<qvShape<D>*>(this->record_)->data())) D();
    }
};
