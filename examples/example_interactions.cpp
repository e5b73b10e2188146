// Interactions: a rectangle, a compact polygon and a restricted text are
// moved, scaled about their centre and rotated through qvAdapter, which
// finds each kind's adapter in the "Adapter list"; then a graphic list of
// the three is scaled as one group. Each box is printed before and after.

#include <orvane/interaction/qvAdapter.hpp>
#include <orvane/scenes/qvMemoryScene.hpp>
#include <orvane/shapes/qvGraphicList.hpp>
#include <orvane/shapes/qvPolygon.hpp>
#include <orvane/shapes/qvRectangle.hpp>
#include <orvane/shapes/qvRestrictedText.hpp>

#include <iostream>

namespace {

void print_box(char const* what, qvMathRectOf<double> const& b) {
    std::cout << "    " << what << " (" << b.x1 << ", " << b.y1 << ")-(" << b.x2 << ", " << b.y2 << ")\n";
}

// Moves, scales and rotates one graphic; a kind without an adapter for an
// interaction is said so and left alone.
void edit(char const* name, qvGraphic const& graphic) {
    std::cout << "  " << name << '\n';
    qvAdapter<qvMoveInteraction> move(graphic);
    print_box("before:        ", move->bbox());
    move->move(qvCrdOf<double>(5, 5));
    print_box("moved (5, 5):  ", move->bbox());

    qvAdapter<qvScaleInteraction> scale(graphic);
    qvAdapter<qvExtendedScaleInteraction> extended(graphic);
    qvScaleInteraction* const scaling = scale ? scale.get() : extended.get();
    scaling->scale(15, 2);   // about the centre
    print_box("scaled by 2:   ", scaling->bbox());

    qvAdapter<qvRotateInteraction> rotate(graphic);
    if (!rotate) {
        std::cout << "    no rotation for this kind\n";
        return;
    }
    const qvMathRectOf<double> b = rotate->bbox();
    rotate->rotate(b.center(), 90);
    print_box("turned 90 deg: ", rotate->bbox());
}

}  // namespace

void example_interactions() {
    std::cout << "Interactions\n";
    qvMemoryScene scene;
    const qvRectangle rectangle(scene, 0, 0, 40, 10);
    const qvCrdOf<double> outline[] = {{0, 0}, {20, 0}, {10, 16}};
    const qvPolygon polygon(scene, 3, outline);
    const qvRestrictedText text(scene, qvCrdOf<double>(50, 0), "label", 0u, nullptr, nullptr);
    text->extent(qvExtent{30, 3, 9});   // device units; the identity maps them 1:1

    edit("rectangle", rectangle);
    edit("compact polygon", polygon);
    edit("restricted text (scaling keeps its size)", text);

    qvGraphicList group;
    group->add(rectangle);
    group->add(polygon);
    group->add(text);
    qvAdapter<qvScaleInteraction> scaling(group);
    std::cout << "  the three as a group\n";
    print_box("before:        ", scaling->bbox());
    scaling->scale(6, 0.5);   // about the left-bottom corner
    print_box("halved:        ", scaling->bbox());
}
