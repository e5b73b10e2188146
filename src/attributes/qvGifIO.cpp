// qvGifIO: the GIF LZW coder and decoder; see qvGifIO.hpp.

#include "attributes/qvGifIO.hpp"

#include <orvane/attributes/qvBitmapReference.hpp>
#include <orvane/core/qvError.hpp>
#include <orvane/core/qvInputStream.hpp>
#include <orvane/core/qvOutputStream.hpp>

#include "attributes/qvImageFileSupport.hpp"
#include "core/qvStreamFields.hpp"

#include <algorithm>
#include <cstdint>
#include <vector>

// ---- row order --------------------------------------------------------------------

namespace {
constexpr int pass_start[4] = {0, 4, 2, 1};
constexpr int pass_step[4] = {8, 8, 4, 2};
}   // namespace

qvGifRowOrder::qvGifRowOrder(int height, bool interlaced) noexcept
    : height_(height), interlaced_(interlaced) {
    settle();
}

void qvGifRowOrder::next() noexcept {
    row_ += interlaced_ ? pass_step[pass_] : 1;
    settle();
}

void qvGifRowOrder::settle() noexcept {
    while (interlaced_ && row_ >= height_ && pass_ < 3) row_ = pass_start[++pass_];
}

// ---- errors -----------------------------------------------------------------------

void qvGifIO::raise(char const* message) { qvRaise(qvErrorFrom<qvGifIO*>(message)); }

namespace {

constexpr int max_code_bits = 12;
constexpr int table_codes = 1 << max_code_bits;   // 4096
constexpr int block_limit = 255;

// ---- the coder ----------------------------------------------------------------------
//
// The classic open-addressing coder. A pair (prefix code, next pixel) is the
// key (pixel << 12) + prefix; it is looked up first at slot
// (pixel << 4) ^ prefix and then backwards by a displacement of
// hash_size - slot. Every key starts at -1: key 0 is the real pair (0, 0).

constexpr int hash_size = 5003;
constexpr int written_code_size = 8;

class Coder {
public:
    explicit Coder(qvOutputStream& out) : out_(out), codes_(hash_size, 0), keys_(hash_size, -1) {}

    void encode(qvBitmapReference const& indexed, bool interlaced);

private:
    void compress(int pixel);
    void clear_table();
    void output(int code);
    void put_byte(unsigned char byte);
    void flush_block();

    static constexpr int init_bits = written_code_size + 1;
    static constexpr int clear_code = 1 << written_code_size;
    static constexpr int end_code = clear_code + 1;

    qvOutputStream& out_;
    std::vector<std::uint16_t> codes_;
    std::vector<std::int32_t> keys_;
    int ent_ = 0;
    int bits_ = init_bits;
    int max_code_ = (1 << init_bits) - 1;
    int free_code_ = clear_code + 2;
    bool clear_flag_ = false;
    std::uint32_t accum_ = 0;
    int accum_bits_ = 0;
    unsigned char block_[block_limit] = {};
    int block_count_ = 0;
};

void Coder::encode(qvBitmapReference const& indexed, bool interlaced) {
    out_.put(static_cast<char>(written_code_size));
    output(clear_code);
    const int width = indexed.width();
    bool first = true;
    if (width > 0) {
        for (qvGifRowOrder rows(indexed.height(), interlaced); !rows.done(); rows.next()) {
            unsigned char const* const row = indexed.scan_line(rows.row());
            for (int x = 0; x < width; ++x) {
                if (first) {
                    ent_ = row[x];
                    first = false;
                } else {
                    compress(row[x]);
                }
            }
        }
    }
    if (!first) output(ent_);
    output(end_code);
    out_.put(0);
}

void Coder::compress(int pixel) {
    const std::int32_t key = (std::int32_t{pixel} << max_code_bits) + ent_;
    int slot = (pixel << 4) ^ ent_;
    if (keys_[slot] == key) {
        ent_ = codes_[slot];
        return;
    }
    if (keys_[slot] >= 0) {   // taken by another pair: probe
        const int displacement = slot == 0 ? 1 : hash_size - slot;
        do {
            slot -= displacement;
            if (slot < 0) slot += hash_size;
            if (keys_[slot] == key) {
                ent_ = codes_[slot];
                return;
            }
        } while (keys_[slot] > 0);
    }
    output(ent_);
    ent_ = pixel;
    if (free_code_ < table_codes) {
        codes_[slot] = static_cast<std::uint16_t>(free_code_++);
        keys_[slot] = key;
    } else {
        clear_table();
    }
}

void Coder::clear_table() {
    std::fill(keys_.begin(), keys_.end(), -1);
    free_code_ = clear_code + 2;
    clear_flag_ = true;
    output(clear_code);
}

void Coder::output(int code) {
    accum_ |= std::uint32_t(code) << accum_bits_;
    accum_bits_ += bits_;
    while (accum_bits_ >= 8) {
        put_byte(static_cast<unsigned char>(accum_ & 0xFF));
        accum_ >>= 8;
        accum_bits_ -= 8;
    }
    // The width changes after the code that makes it necessary is out.
    if (clear_flag_) {
        bits_ = init_bits;
        max_code_ = (1 << bits_) - 1;
        clear_flag_ = false;
    } else if (free_code_ > max_code_) {
        ++bits_;
        max_code_ = bits_ == max_code_bits ? table_codes : (1 << bits_) - 1;
    }
    if (code == end_code) {
        while (accum_bits_ > 0) {
            put_byte(static_cast<unsigned char>(accum_ & 0xFF));
            accum_ >>= 8;
            accum_bits_ -= 8;
        }
        flush_block();
    }
}

void Coder::put_byte(unsigned char byte) {
    block_[block_count_++] = byte;
    if (block_count_ == block_limit) flush_block();
}

void Coder::flush_block() {
    if (block_count_ == 0) return;
    out_.put(static_cast<char>(block_count_));
    out_.putn(reinterpret_cast<char const*>(block_), block_count_);
    block_count_ = 0;
}

// ---- the decoder --------------------------------------------------------------------

// Codes from the sub-blocks, least significant bit first. A 0-length
// sub-block ends the data; the block has then been consumed.
class CodeReader {
public:
    explicit CodeReader(qvInputStream& in) : in_(in) {}

    // The next code, or -1 when the data has ended.
    int read(int bits);
    bool ended() const noexcept { return ended_; }

private:
    bool next_byte(unsigned char& byte);

    qvInputStream& in_;
    unsigned char block_[block_limit] = {};
    int length_ = 0;
    int position_ = 0;
    bool ended_ = false;
    std::uint32_t accum_ = 0;
    int accum_bits_ = 0;
};

bool CodeReader::next_byte(unsigned char& byte) {
    if (position_ == length_) {
        if (ended_) return false;
        length_ = qvReadValue<std::uint8_t>(in_);
        position_ = 0;
        if (length_ == 0) {
            ended_ = true;
            return false;
        }
        qvReadExact(in_, block_, length_);
    }
    byte = block_[position_++];
    return true;
}

int CodeReader::read(int bits) {
    while (accum_bits_ < bits) {
        unsigned char byte;
        if (!next_byte(byte)) return -1;
        accum_ |= std::uint32_t{byte} << accum_bits_;
        accum_bits_ += 8;
    }
    const int code = static_cast<int>(accum_ & ((1u << bits) - 1));
    accum_ >>= bits;
    accum_bits_ -= bits;
    return code;
}

// Stores decoded pixels into the target's rows in row order. The current
// row's start is kept, so a pixel costs one store and one compare.
class PixelSink {
public:
    PixelSink(qvBitmapReference const& target, bool interlaced)
        : target_(target), rows_(target.height(), interlaced), width_(target.width()) {
        load_row();
    }

    bool full() const noexcept { return width_ <= 0 || rows_.done(); }
    void put(int value) noexcept {
        row_[x_] = static_cast<unsigned char>(value);
        if (++x_ == width_) {
            x_ = 0;
            rows_.next();
            load_row();
        }
    }

private:
    void load_row() noexcept { row_ = full() ? nullptr : target_.scan_line(rows_.row()); }

    qvBitmapReference target_;
    qvGifRowOrder rows_;
    int width_;
    int x_ = 0;
    unsigned char* row_ = nullptr;
};

class Decoder {
public:
    Decoder(qvInputStream& in, int code_size)
        : reader_(in),
          clear_code_(1 << code_size),
          end_code_(clear_code_ + 1),
          init_bits_(code_size + 1),
          prefix_(table_codes, 0),
          suffix_(table_codes, 0),
          stack_(stack_limit, 0) {
        for (int code = 0; code < clear_code_; ++code) suffix_[code] = static_cast<std::uint16_t>(code);
    }

    // Decodes until the sink is full, the end code, or the end of the data.
    void decode(PixelSink& sink);
    bool data_ended() const noexcept { return reader_.ended(); }

private:
    static constexpr int stack_limit = 8192;

    void reset() noexcept;
    void push(int value);
    void add_entry(int prefix, int first) noexcept;

    CodeReader reader_;
    const int clear_code_;
    const int end_code_;
    const int init_bits_;
    std::vector<std::uint16_t> prefix_;
    std::vector<std::uint16_t> suffix_;
    std::vector<std::uint16_t> stack_;   // stack_limit values, the top at depth_
    int depth_ = 0;
    int bits_ = 0;
    int max_code_ = 0;
    int next_code_ = 0;
};

// Only the literals' entries are ever read without being written first
// (a code is taken only below the next free code), so they are set once, in
// the constructor, and a clear code, which a file may repeat endlessly,
// costs no table walk.
void Decoder::reset() noexcept {
    bits_ = init_bits_;
    max_code_ = 2 * clear_code_;
    next_code_ = clear_code_ + 2;
}

void Decoder::push(int value) {
    if (depth_ == stack_limit) qvGifIO::raise("Invalid LZW code on input");
    stack_[depth_++] = static_cast<std::uint16_t>(value);
}

void Decoder::add_entry(int prefix, int first) noexcept {
    if (next_code_ >= table_codes) return;
    prefix_[next_code_] = static_cast<std::uint16_t>(prefix);
    suffix_[next_code_] = static_cast<std::uint16_t>(first);
    ++next_code_;
    if (next_code_ >= max_code_ && max_code_ < table_codes) {
        max_code_ *= 2;
        ++bits_;
    }
}

void Decoder::decode(PixelSink& sink) {
    int previous = 0;
    int first = 0;
    int code = clear_code_;   // a fresh start reads as a clear code
    while (!sink.full()) {
        if (code == clear_code_) {
            reset();
            do code = reader_.read(bits_);
            while (code == clear_code_);
            if (code < 0 || code == end_code_) return;
            if (code > clear_code_) qvGifIO::raise("Invalid LZW code on input");
            previous = first = code;
            sink.put(code);
        } else {
            if (code == end_code_) return;
            if (code > next_code_) qvGifIO::raise("Invalid LZW code on input");
            const int incoming = code;
            depth_ = 0;
            if (code == next_code_) {   // the previous string plus its own first value
                push(first);
                code = previous;
            }
            while (code >= clear_code_) {
                push(suffix_[code]);
                if (prefix_[code] == code) qvGifIO::raise("Circular table entry");
                code = prefix_[code];
            }
            first = suffix_[code];
            push(first);
            add_entry(previous, first);
            previous = incoming;
            while (depth_ > 0 && !sink.full()) sink.put(stack_[--depth_]);
        }
        if (sink.full()) return;
        code = reader_.read(bits_);
        if (code < 0) return;
    }
}

}   // namespace

// ---- the entry points ---------------------------------------------------------------

void qvGifIO::write_image_data(qvOutputStream& out, qvBitmapReference const& indexed, bool interlaced) {
    Coder(out).encode(indexed, interlaced);
}

void qvGifIO::read_image_data(qvInputStream& in, qvBitmapReference const& target, bool interlaced) {
    const int code_size = qvReadValue<std::uint8_t>(in);
    if (code_size < 1 || code_size > max_code_bits - 1) raise("Invalid LZW code size on input");
    PixelSink sink(target, interlaced);
    Decoder decoder(in, code_size);
    decoder.decode(sink);
    if (!decoder.data_ended()) skip_sub_blocks(in);
}

void qvGifIO::skip_sub_blocks(qvInputStream& in) {
    while (const int length = qvReadValue<std::uint8_t>(in)) qvSkipInput(in, length);
}
