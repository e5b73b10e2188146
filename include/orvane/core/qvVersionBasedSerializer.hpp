#pragma once
// Version-based serializers: one serializer per stream version for a value
// type whose stream form changed between releases.
//
// qvVersionBasedSerializerBase<T> keeps true: for a stream of version v it
// hands the work to the serializer registered under the greatest version not
// above v (signed comparison), and raises qvErrorFrom<qvVersion> "Unknown
// stream version" before touching the stream when there is none. Its map
// only points to the serializers: they are static objects of their own, and
// copies of the base share them.

#include <orvane/core/qvError.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>
#include <orvane/core/qvVersion.hpp>

#include <map>

template <class T>
class qvVersionBasedSerializer {
public:
    virtual void save(qvOutputStream& os, T const& value) const = 0;
    virtual void load(qvInputStream& is, T& value) const = 0;

protected:
    qvVersionBasedSerializer() noexcept = default;
    qvVersionBasedSerializer(qvVersionBasedSerializer const&) noexcept = default;
    qvVersionBasedSerializer& operator=(qvVersionBasedSerializer const&) noexcept = default;
    virtual ~qvVersionBasedSerializer() = default;
};

template <class T>
class qvVersionBasedSerializerBase : public qvVersionBasedSerializer<T> {
public:
    qvVersionBasedSerializerBase() = default;
    qvVersionBasedSerializerBase(qvVersionBasedSerializerBase const&) = default;
    qvVersionBasedSerializerBase& operator=(qvVersionBasedSerializerBase const&) = default;
    ~qvVersionBasedSerializerBase() override = default;

    // A second serializer under the same version replaces the first.
    void append(qvVersion const& version, qvVersionBasedSerializer<T>* serializer) {
        serializers_[version] = serializer;
    }

    void save(qvOutputStream& os, T const& value) const override {
        find_serializer(os.version())->save(os, value);
    }
    void load(qvInputStream& is, T& value) const override {
        find_serializer(is.version())->load(is, value);
    }

private:
    qvVersionBasedSerializer<T>* find_serializer(qvVersion const& version) const {
        auto after = serializers_.upper_bound(version);
        if (after == serializers_.begin())  // also when the map is empty
            qvRaise(qvErrorFrom<qvVersion>("Unknown stream version"));
        return (--after)->second;
    }

    std::map<qvVersion, qvVersionBasedSerializer<T>*> serializers_;
};
