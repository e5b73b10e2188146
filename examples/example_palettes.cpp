// Palettes: a few named attributes saved to a file and loaded into a fresh
// palette.

#include <orvane/attributes/qvFolder.hpp>
#include <orvane/attributes/qvRgbColor.hpp>
#include <orvane/attributes/qvStandardPalette.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>
#include <orvane/core/qvVersion.hpp>
#include <orvane/core/qvWrap.hpp>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

void example_palettes() {
    std::cout << "Palettes\n";
    qvFolder const& width = *qvFolder::folder_by_name("pen/color_device/line_width");
    qvFolder const& color = *qvFolder::folder_by_name("pen/color_device/color");
    qvFolder const& count = *qvFolder::folder_by_name("ref_count");

    qvStandardPalette palette;
    const qvWrap<double> thin{0.5}, thick{3.0};
    const qvRgbColor red(1, 0, 0), blue(0, 0, 1);
    // The last argument, false throughout: these attributes have one user,
    // so a change is made in place rather than in a private copy. Each
    // change returns the handle that now carries it.
    long outline = palette.alloc(false);
    outline = palette.property(outline, width, &thin, false);
    outline = palette.property(outline, color, &blue, false);
    outline = palette.add_name(outline, "outline", false);
    long warning = palette.alloc(false);
    warning = palette.property(warning, width, &thick, false);
    warning = palette.property(warning, color, &red, false);
    warning = palette.add_name(warning, "warning", false);

    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / "orvane_example_palette.bin";
    try {
        {
            std::filebuf out;
            out.open(file, std::ios::out | std::ios::binary | std::ios::trunc);
            qvOutputStream os(&out, qvVersion::default_version(), true);
            palette.save(os);
        }
        std::cout << "  saved " << std::filesystem::file_size(file) << " bytes\n";

        qvStandardPalette loaded;
        {
            std::filebuf in;
            in.open(file, std::ios::in | std::ios::binary);
            qvInputStream is(&in);
            loaded.load(is);
        }
        for (auto it = loaded.enumerate(); it; ++it) {
            const long h = *it;
            char const* name = loaded.name(h);
            auto const* w = static_cast<qvWrap<double> const*>(loaded.property(h, width));
            auto const* n = static_cast<std::int32_t const*>(loaded.property(h, count));
            std::cout << "  loaded attribute " << h << " \"" << (name ? name : "") << "\": line width "
                      << (w ? static_cast<double>(*w) : 0.0) << ", " << *n
                      << " references (the handle's and the name's)\n";
        }
        std::cout << "  the name \"warning\" finds handle " << loaded.handle("warning") << '\n';
    } catch (qvError const& error) {
        std::cout << "  palette example failed: " << error << '\n';
    }
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
}
