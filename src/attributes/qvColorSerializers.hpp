#pragma once
// The colour serializers per stream version and the start-up member that
// owns them.
//
// Keeps true: while the library is loaded, qvRgbColorVersionBasedSerializer::
// instance() and qvGrayColorVersionBasedSerializer::instance() are the two
// tables of the one qvColorSerializers object, each holding its 0.0.0 and
// 3.4.1 serializer. The tables are published only once fully built and
// withdrawn before any serializer is destroyed, so no caller ever reaches a
// dead serializer; outside that time every colour stream operation raises
// "Unknown stream version", as with an empty table.
//
// Forms (little-endian float32 fields):
//   RGB  0.0.0   red green blue          12 bytes; read checked, alpha 1;
//                                        short: "Invalid input stream"
//   RGB  3.4.1   red green blue alpha    16 bytes; read unchecked;
//                                        short: "Incomplete data on input"
//   grey 0.0.0   intensity                4 bytes; read checked, alpha 1;
//                                        short: "Invalid input stream"
//   grey 3.4.1   intensity alpha          8 bytes; read unchecked;
//                                        short: "Incomplete data on input"

#include <orvane/attributes/qvGrayColor.hpp>
#include <orvane/attributes/qvRgbColor.hpp>

class qvRgbColorSerializer000 : public qvVersionBasedSerializer<qvRgbColor> {
public:
    explicit qvRgbColorSerializer000(qvRgbColorVersionBasedSerializer& table);
    void save(qvOutputStream& os, qvRgbColor const& color) const override;
    void load(qvInputStream& is, qvRgbColor& color) const override;
};

class qvRgbColorSerializer341 : public qvVersionBasedSerializer<qvRgbColor> {
public:
    explicit qvRgbColorSerializer341(qvRgbColorVersionBasedSerializer& table);
    void save(qvOutputStream& os, qvRgbColor const& color) const override;
    void load(qvInputStream& is, qvRgbColor& color) const override;
};

class qvGrayColorSerializer000 : public qvVersionBasedSerializer<qvGrayColor> {
public:
    explicit qvGrayColorSerializer000(qvGrayColorVersionBasedSerializer& table);
    void save(qvOutputStream& os, qvGrayColor const& gray) const override;
    void load(qvInputStream& is, qvGrayColor& gray) const override;
};

class qvGrayColorSerializer341 : public qvVersionBasedSerializer<qvGrayColor> {
public:
    explicit qvGrayColorSerializer341(qvGrayColorVersionBasedSerializer& table);
    void save(qvOutputStream& os, qvGrayColor const& gray) const override;
    void load(qvInputStream& is, qvGrayColor& gray) const override;
};

// The start-up member: the tables and their serializers in load order.
class qvColorSerializers {
public:
    qvColorSerializers() noexcept;
    qvColorSerializers(qvColorSerializers const&) = delete;
    qvColorSerializers& operator=(qvColorSerializers const&) = delete;
    ~qvColorSerializers();

private:
    qvRgbColorVersionBasedSerializer rgb_table_;
    qvRgbColorSerializer000 rgb_000_{rgb_table_};
    qvRgbColorSerializer341 rgb_341_{rgb_table_};
    qvGrayColorVersionBasedSerializer gray_table_;
    qvGrayColorSerializer000 gray_000_{gray_table_};
    qvGrayColorSerializer341 gray_341_{gray_table_};
};
