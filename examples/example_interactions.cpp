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

// The graphic's own box, as its move interaction reports it.
qvMathRectOf<double> box_of(qvGraphic const& graphic) { return qvAdapter<qvMoveInteraction>(graphic)->bbox(); }

// Moves, scales and rotates one graphic; a kind without an adapter for an
// interaction is said so and left alone.
void edit(char const* name, qvGraphic const& graphic) {
    std::cout << "  " << name << '\n';
    print_box("before:        ", box_of(graphic));
    qvAdapter<qvMoveInteraction>(graphic)->move(qvCrdOf<double>(5, 5));
    print_box("moved (5, 5):  ", box_of(graphic));

    // Texts sized in device units scale through the extended interaction,
    // which keeps their size and moves nothing but what resize asks.
    qvAdapter<qvScaleInteraction> scale(graphic);
    qvAdapter<qvExtendedScaleInteraction> extended(graphic);
    qvScaleInteraction* const scaling = scale ? scale.get() : extended.get();
    scaling->scale(15, 2);   // about the centre
    print_box("scaled by 2:   ", box_of(graphic));

    qvAdapter<qvRotateInteraction> rotate(graphic);
    if (!rotate) {
        std::cout << "    no rotation for this kind\n";
        return;
    }
    rotate->rotate(box_of(graphic).center(), 90);
    print_box("turned 90 deg: ", box_of(graphic));
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
    std::cout << "  the three as a group, halved about its left-bottom corner\n";
    print_box("group before:  ", box_of(group));
    qvAdapter<qvScaleInteraction>(group)->scale(6, 0.5);
    print_box("rectangle:     ", box_of(rectangle));
    print_box("polygon:       ", box_of(polygon));
    print_box("text (as was): ", box_of(text));
}
