#pragma once
// qvComplexPropertyClass<T>: a property class whose word points to a heap T
// owned by the stored word. Values are copied with T's copy constructor,
// compared with T's operator== and streamed in T's own stream form, read
// into a default T.
//
// How a T is streamed is qvPropertyValueStream<T>: a persistent object
// (derived from qvStreamPersistence) uses its load and save, any other type
// its stream operators; a type streamed as raw bytes specialises the
// template before its class is instantiated.
//
// Keeps true: a failed load leaves the word as it was and frees the value it
// had begun to read.

#include <orvane/attributes/qvComplexPropertyClassBase.hpp>
#include <orvane/core/qvAssertionError.hpp>
#include <orvane/core/qvStreamPersistence.hpp>

#include <memory>
#include <type_traits>

template <class T>
struct qvPropertyValueStream {
    static void load(qvInputStream& is, T& value) {
        if constexpr (std::is_base_of_v<qvStreamPersistence, T>)
            value.load(is);
        else
            is >> value;
    }
    static void save(qvOutputStream& os, T const& value) {
        if constexpr (std::is_base_of_v<qvStreamPersistence, T>)
            value.save(os);
        else
            os << value;
    }
};

template <class T>
class qvComplexPropertyClass : public qvComplexPropertyClassBase {
public:
    explicit qvComplexPropertyClass(char const* name) : qvComplexPropertyClassBase(name) {}

    void create_object(long& word, void const* value) const override {
        word = word_of(new T(*static_cast<T const*>(value)));
    }
    // Deletes the T and sets the word to 0.
    void destroy_object(long& word, qvPalette*) const override {
        delete value_of(word);
        word = 0;
    }
    void load_object(qvInputStream& is, long& word) const override {
        auto value = std::make_unique<T>();
        qvPropertyValueStream<T>::load(is, *value);
        word = word_of(value.release());
    }
    void save_object(qvOutputStream& os, long const& word) const override {
        qvPropertyValueStream<T>::save(os, *value_of(word));
    }
    bool equal_objects(void const* a, void const* b) const override {
        QV_ASSERT_TEXT(a && b, "a && b");
        return *static_cast<T const*>(a) == *static_cast<T const*>(b);
    }

private:
    static T* value_of(long word) noexcept { return static_cast<T*>(pointer_of(word)); }
};
