// A first look at Orvane: each section shows one thing the library does.

#include <orvane/orvane.hpp>

#include <iostream>

void example_object_model();
void example_streams();
void example_geometry();
void example_clipping();
void example_regions();
void example_notification();
void example_gradients();
void example_images();
void example_palettes();
void example_attributes();
void example_shapes();
void example_standalone_shapes();
void example_texts();
void example_image_shapes();
void example_memory_scene();
void example_point_sets();
void example_bitmap_transform();
void example_scrolling();
void example_paged_scene(int argc, char** argv);
void example_rendering();
void example_scene_port();
void example_views();
void example_window();
void example_tvbuf();
void example_selectors();
void example_interactions();
void example_mapping();
void example_printing();
void example_selections();
void example_drawings();
void example_scale();
void example_editing();
void example_pipeline();

namespace {

void example_errors() {
    std::cout << "Errors\n";
    try {
        qvCheckedInt32(5'000'000'000LL);
    } catch (qvError const& e) {
        std::cout << "  a 64-bit value refused for a 32-bit field: " << e << '\n';
    }
}

}  // namespace

int main(int argc, char** argv) {
    example_pipeline();
    example_errors();
    example_object_model();
    example_streams();
    example_geometry();
    example_clipping();
    example_regions();
    example_notification();
    example_gradients();
    example_images();
    example_palettes();
    example_attributes();
    example_shapes();
    example_standalone_shapes();
    example_point_sets();
    example_texts();
    example_image_shapes();
    example_memory_scene();
    example_paged_scene(argc, argv);
    example_rendering();
    example_scene_port();
    example_bitmap_transform();
    example_scrolling();
    example_views();
    example_window();
    example_tvbuf();
    example_selectors();
    example_interactions();
    example_mapping();
    example_printing();
    example_selections();
    example_drawings();
    example_scale();
    example_editing();
    return 0;
}
