// BMP and GIF encode and decode of square images of every bitmap type
// (monochrome, indexed, RGBA) at 256 and 1024 pixels a side, side by side
// with giflib (GIF encode and decode) and stb_image (BMP decode) when their
// development packages are present. Two contents: a smooth pattern, which
// LZW compresses well, and noise, which fills the LZW table every few
// thousand codes, so the coders run through many table resets.
//
// Names follow bench/compare's convention: "cmp/<operation>/<variant>/side"
// for ours, "peer/<operation>/<variant>/<peer>/side" for the peer on the
// same file or pixels. Every peer decodes the file our writer made.
//
// Encoders, ours and giflib's, write through FileSink, a fixed buffer
// handed on whenever it fills, as a file's buffer goes to the kernel. A
// fresh std::stringbuf per iteration measured the allocator instead: its
// buffer doubles, copying the file so far each time, and at a few megabytes
// glibc hands the freed blocks back to the kernel, so every iteration
// page-faulted about three times the file in fresh zeroed pages (RGBA at
// 1024 took 280 times as long as at 256 for 16 times the pixels).

#include <orvane/attributes/qvBitmap.hpp>
#include <orvane/attributes/qvBmpFile.hpp>
#include <orvane/attributes/qvColorCube.hpp>
#include <orvane/attributes/qvGifFile.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>

#include <benchmark/benchmark.h>

#if ORVANE_BENCH_GIFLIB
#include <gif_lib.h>
#endif
#if ORVANE_BENCH_STB
#if ORVANE_BENCH_STB_IMPLEMENTATION
#define STB_IMAGE_IMPLEMENTATION
#endif
#define STBI_ONLY_BMP
#include <stb_image.h>
#endif

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

enum class Content { pattern, noise };

char const* type_name(qvStandardBitmapType type) {
    return type == qvMonochromeBitmap ? "mono" : type == qvIndexedBitmap ? "indexed" : "rgba";
}

char const* content_name(Content content) { return content == Content::pattern ? "pattern" : "noise"; }

// A square bitmap of `side` pixels; every byte of its rows is set (padding
// included), from a fixed seed for noise.
qvBitmap make_image(qvStandardBitmapType type, Content content, int side) {
    qvBitmap image(qvBitmapLayout(type), side, side);
    if (type == qvIndexedBitmap) image.colormap(qvColorCube());
    std::mt19937 rng(20240601);
    const int row_bytes = image.scan_line_size();
    for (int y = 0; y < side; ++y) {
        unsigned char* row = image.scan_line(y);
        for (int i = 0; i < row_bytes; ++i) {
            if (content == Content::noise) {
                row[i] = static_cast<unsigned char>(rng());
                if (type == qvIndexedBitmap) row[i] %= 216;
            } else if (type == qvIndexedBitmap) {
                row[i] = static_cast<unsigned char>(((i >> 5) * 6 + (y >> 5)) % 216);
            } else if (type == qvRgbaBitmap) {
                row[i] = (i & 3) == 3
                             ? 255
                             : static_cast<unsigned char>(((i >> 2) >> 5) * 51 % 256 + (y >> 6) * 51 % 256);
            } else {
                row[i] = ((i >> 2) + (y >> 5)) & 1 ? 0xFF : 0x00;
            }
        }
    }
    return image;
}

// Where encoders write: std::filebuf's default buffer size, handed on when
// full; the bytes are then dropped, as their copy to the kernel would not be
// the encoder's work.
class FileSink : public std::streambuf {
public:
    FileSink() { setp(buffer_, buffer_ + sizeof buffer_); }

    // Every byte written since the sink was made.
    std::int64_t bytes() const { return handed_on_ + (pptr() - pbase()); }

protected:
    int_type overflow(int_type c) override {
        hand_on();
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
        return c;
    }
    int sync() override {
        hand_on();
        return 0;
    }

private:
    void hand_on() {
        handed_on_ += pptr() - pbase();
        benchmark::DoNotOptimize(buffer_);
        setp(buffer_, buffer_ + sizeof buffer_);
    }

    char buffer_[BUFSIZ];
    std::int64_t handed_on_ = 0;
};

// One encoding per iteration into a FileSink on a headerless stream.
template <class Save>
void encode(benchmark::State& state, Save&& save) {
    FileSink sink;
    for (auto _ : state) {
        qvOutputStream out(&sink, qvVersion(0), false);
        save(out);
    }
    benchmark::DoNotOptimize(sink.bytes());
}

// A file as written by `save` on a headerless stream.
template <class Save>
std::string file_of(Save&& save) {
    std::stringbuf buffer;
    qvOutputStream out(&buffer, qvVersion(0), false);
    save(out);
    return buffer.str();
}

std::string gif_of(qvBitmap const& image) {
    return file_of([&](qvOutputStream& out) { qvSaveToGif(out, image, false, true); });
}
std::string bmp_of(qvBitmap const& image) {
    return file_of([&](qvOutputStream& out) { qvSaveToBmp(out, image); });
}

int side_of(benchmark::State const& state) { return static_cast<int>(state.range(0)); }

void set_bytes(benchmark::State& state) {
    state.SetBytesProcessed(state.iterations() * std::int64_t{side_of(state)} * side_of(state));
}

// ---- ours ----------------------------------------------------------------------------

void gif_encode(benchmark::State& state, qvStandardBitmapType type, Content content) {
    const qvBitmap image = make_image(type, content, side_of(state));
    encode(state, [&](qvOutputStream& out) { qvSaveToGif(out, image, false, true); });
    set_bytes(state);
}

void gif_decode(benchmark::State& state, qvStandardBitmapType type, Content content) {
    const std::string file = gif_of(make_image(type, content, side_of(state)));
    for (auto _ : state) {
        std::stringbuf buffer(file);
        qvInputStream in(&buffer);
        qvBitmap decoded;
        benchmark::DoNotOptimize(qvLoadFromGif(in, decoded, 1));
        benchmark::DoNotOptimize(decoded.data());
    }
    set_bytes(state);
}

void bmp_encode(benchmark::State& state, qvStandardBitmapType type, Content content) {
    const qvBitmap image = make_image(type, content, side_of(state));
    encode(state, [&](qvOutputStream& out) { qvSaveToBmp(out, image); });
    set_bytes(state);
}

void bmp_decode(benchmark::State& state, qvStandardBitmapType type, Content content) {
    const std::string file = bmp_of(make_image(type, content, side_of(state)));
    for (auto _ : state) {
        std::stringbuf buffer(file);
        qvInputStream in(&buffer);
        qvBitmap decoded;
        qvLoadFromBmp(in, decoded);
        benchmark::DoNotOptimize(decoded.data());
    }
    set_bytes(state);
}

// ---- giflib --------------------------------------------------------------------------

#if ORVANE_BENCH_GIFLIB

struct MemoryReader {
    std::string const& bytes;
    std::size_t at = 0;
};

int read_memory(GifFileType* gif, GifByteType* to, int n) {
    auto* source = static_cast<MemoryReader*>(gif->UserData);
    const std::size_t count =
        std::min<std::size_t>(static_cast<std::size_t>(n), source->bytes.size() - source->at);
    std::memcpy(to, source->bytes.data() + source->at, count);
    source->at += count;
    return static_cast<int>(count);
}

int write_sink(GifFileType* gif, GifByteType const* from, int n) {
    return static_cast<int>(static_cast<FileSink*>(gif->UserData)->sputn(reinterpret_cast<char const*>(from), n));
}

void giflib_decode(benchmark::State& state, qvStandardBitmapType type, Content content) {
    const std::string file = gif_of(make_image(type, content, side_of(state)));
    for (auto _ : state) {
        MemoryReader source{file};
        int error = 0;
        GifFileType* gif = DGifOpen(&source, read_memory, &error);
        if (gif == nullptr || DGifSlurp(gif) != GIF_OK || gif->ImageCount != 1) {
            state.SkipWithError("giflib could not read the file");
            break;
        }
        benchmark::DoNotOptimize(gif->SavedImages[0].RasterBits);
        DGifCloseFile(gif, &error);
    }
    set_bytes(state);
}

// The same indexed pixels and 256-entry table as our writer gets.
void giflib_encode(benchmark::State& state, qvStandardBitmapType type, Content content) {
    const qvBitmap image = make_image(type, content, side_of(state));
    const int side = side_of(state);
    GifColorType colors[256] = {};
    for (int i = 0; i < image.colormap().size(); ++i) {
        qvColorMapEntry const& e = image.colormap().data()[i];
        colors[i] = {e.color().red(), e.color().green(), e.color().blue()};
    }
    FileSink sink;
    for (auto _ : state) {
        int error = 0;
        GifFileType* gif = EGifOpen(&sink, write_sink, &error);
        ColorMapObject* map = GifMakeMapObject(256, colors);
        EGifSetGifVersion(gif, true);
        EGifPutScreenDesc(gif, side, side, 8, 0, map);
        EGifPutImageDesc(gif, 0, 0, side, side, false, nullptr);
        for (int y = 0; y < side; ++y) EGifPutLine(gif, const_cast<GifPixelType*>(image.scan_line(y)), side);
        EGifCloseFile(gif, &error);
        GifFreeMapObject(map);
    }
    benchmark::DoNotOptimize(sink.bytes());
    set_bytes(state);
}

#endif

// ---- stb_image -------------------------------------------------------------------------

#if ORVANE_BENCH_STB

void stb_decode(benchmark::State& state, qvStandardBitmapType type, Content content) {
    const std::string file = bmp_of(make_image(type, content, side_of(state)));
    for (auto _ : state) {
        int w = 0, h = 0, channels = 0;
        stbi_uc* pixels = stbi_load_from_memory(reinterpret_cast<stbi_uc const*>(file.data()),
                                                static_cast<int>(file.size()), &w, &h, &channels, 0);
        if (pixels == nullptr) {
            state.SkipWithError("stb_image could not read the file");
            break;
        }
        benchmark::DoNotOptimize(pixels);
        stbi_image_free(pixels);
    }
    set_bytes(state);
}

#endif

// ---- registration --------------------------------------------------------------------

using Case = void (*)(benchmark::State&, qvStandardBitmapType, Content);

void add(char const* prefix, char const* operation, std::string const& variant, char const* peer, Case run,
         qvStandardBitmapType type, Content content) {
    std::string name = std::string(prefix) + "/" + operation + "/" + variant;
    if (peer != nullptr) name += std::string("/") + peer;
    benchmark::RegisterBenchmark(name.c_str(), run, type, content)
        ->Arg(256)
        ->Arg(1024)
        ->Unit(benchmark::kMicrosecond);
}

const int registered = [] {
    for (qvStandardBitmapType type : {qvMonochromeBitmap, qvIndexedBitmap, qvRgbaBitmap}) {
        for (Content content : {Content::pattern, Content::noise}) {
            const std::string variant = std::string(type_name(type)) + "_" + content_name(content);
            add("cmp", "gif_decode", variant, nullptr, gif_decode, type, content);
            add("cmp", "gif_encode", variant, nullptr, gif_encode, type, content);
            add("cmp", "bmp_decode", variant, nullptr, bmp_decode, type, content);
            add("cmp", "bmp_encode", variant, nullptr, bmp_encode, type, content);
#if ORVANE_BENCH_GIFLIB
            add("peer", "gif_decode", variant, "giflib", giflib_decode, type, content);
            if (type == qvIndexedBitmap)
                add("peer", "gif_encode", variant, "giflib", giflib_encode, type, content);
#endif
#if ORVANE_BENCH_STB
            add("peer", "bmp_decode", variant, "stb_image", stb_decode, type, content);
#endif
        }
    }
    return 0;
}();

}   // namespace
