// Counted objects, weak pointers and interfaces found at run time.

#include <orvane/core/qvDynamicInterface.hpp>
#include <orvane/core/qvRefBase.hpp>
#include <orvane/core/qvSafePtr.hpp>
#include <orvane/core/qvWeakPtr.hpp>

#include <iostream>

namespace {

class qvExampleLabel : public virtual qvDynamicInterface, public virtual qvRefBase {
public:
    virtual char const* text() const = 0;
};

}  // namespace

QV_INTERFACE_NAME(qvExampleLabel);

namespace {

class Note : public qvExampleLabel {
public:
    ~Note() override { std::cout << "  the note is deleted by its last strong pointer\n"; }
    char const* text() const override { return "hello"; }
    void* query_interface(qvInterfaceInfo const& info) override {
        if (void* p = qvOfferInterfaces<qvExampleLabel>(this, info))
            return p;
        return qvExampleLabel::query_interface(info);
    }
};

}  // namespace

void example_object_model() {
    std::cout << "Object model\n";
    qvIWeakPtr<qvExampleLabel> watcher;
    {
        qvISafePtr<Note> note(new Note);
        qvISafePtr<Note> second = note;
        watcher = qvIWeakPtr<qvExampleLabel>(note, note.get());
        qvExampleLabel* label = qvQueryInterface<qvExampleLabel>(note.get());
        std::cout << "  two strong pointers share one note; asked for its label, it says \""
                  << label->text() << "\"\n";
    }
    std::cout << "  the weak pointer now reads as " << (watcher ? "alive" : "null") << '\n';
}
