// Shapes: a rectangle record as the bytes that scenes store, page and
// stream, field by field (little-endian; the box is four floats).

#include <orvane/core/qvOutputStream.hpp>
#include <orvane/shapes/qvRectangleData.hpp>
#include <orvane/shapes/qvShapeSerialization.hpp>

#include <iomanip>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

void example_shapes() {
    std::cout << "Shapes\n";

    std::unique_ptr<qvShapeBase> record(qvNewShapeRecord(sizeof(qvShape<qvRectangleData>)));
    record->shape_handle = 1;
    record->user_handle = 2024;
    record->proxy_class_id = static_cast<std::int32_t>(qvProxyClassOfKind(qvRectangleKind));
    record->kind = qvRectangleKind;
    record->attribute_handle = 3;
    record->box = qvMathRectOf<float>(0, 0, 40, 25);

    std::stringbuf stream;
    {
        qvOutputStream out(&stream, qvVersion(), false);
        qvWriteShapeRecord(out, *record);
    }
    const std::string bytes = stream.str();

    struct Field {
        char const* name;
        int offset;
        int size;
    };
    const Field fields[] = {{"size", 0, 4},          {"shape handle", 4, 4}, {"user handle", 8, 4},
                            {"proxy class id", 12, 4}, {"kind code", 16, 4},   {"attribute handle", 20, 4},
                            {"box x1", 24, 4},        {"box y1", 28, 4},       {"box x2", 32, 4},
                            {"box y2", 36, 4},        {"reserved", 40, 8}};
    std::cout << "  a rectangle record, " << bytes.size() << " bytes as written:\n";
    for (Field const& field : fields) {
        std::cout << "    " << std::setw(2) << field.offset << "  " << std::left << std::setw(17) << field.name
                  << std::right << std::hex << std::uppercase << std::setfill('0');
        for (int i = 0; i < field.size; ++i)
            std::cout << ' ' << std::setw(2) << static_cast<int>(static_cast<unsigned char>(bytes[field.offset + i]));
        std::cout << std::dec << std::nouppercase << std::setfill(' ') << '\n';
    }
}
