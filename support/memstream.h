// Stream buffer and streams over a block of memory: a read-only view of a block
// that someone else owns, or an owned block that grows as it is written.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <ios>
#include <istream>
#include <limits>
#include <memory>
#include <streambuf>

namespace vt {

template <class CharT, class Traits = std::char_traits<CharT>>
class basic_membuf : public std::basic_streambuf<CharT, Traits> {
    using base = std::basic_streambuf<CharT, Traits>;

public:
    using typename base::char_type;
    using typename base::int_type;
    using typename base::off_type;
    using typename base::pos_type;
    using typename base::traits_type;

    // An owned, initially empty block that grows on demand.
    basic_membuf() = default;

    // A read-only view of a block owned by the caller; nothing is copied.
    basic_membuf(const char_type* data, std::size_t size) : owns_(false) {
        auto* p = const_cast<char_type*>(data);
        this->setg(p, p, p + size);
    }

    basic_membuf(const basic_membuf&) = delete;
    basic_membuf& operator=(const basic_membuf&) = delete;

    [[nodiscard]] bool owns_block() const noexcept { return owns_; }
    [[nodiscard]] const char_type* data() const noexcept { return this->eback(); }
    // The number of characters held: for an owned block, as far as it was ever written.
    [[nodiscard]] std::size_t size() const noexcept {
        return static_cast<std::size_t>(data_end() - this->eback());
    }
    [[nodiscard]] std::size_t capacity() const noexcept { return capacity_; }

    // The size an owned block of `current` characters grows to when it is full:
    // 256 more while it holds fewer than 512, otherwise half as much again; the
    // increment is halved while the new size would overflow.
    static std::size_t grown_size(std::size_t current) noexcept {
        std::size_t increment = current < 512 ? 256 : current / 2;
        constexpr std::size_t limit = std::numeric_limits<std::size_t>::max() / sizeof(char_type);
        while (increment > 0 && current > limit - increment) {
            increment /= 2;
        }
        return current + increment;
    }

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) {
            return traits_type::not_eof(c);
        }
        if (this->pptr() == this->epptr() && !grow(1)) {
            return traits_type::eof();
        }
        *this->pptr() = traits_type::to_char_type(c);
        this->pbump(1);
        extend_get_area();
        return c;
    }

    std::streamsize xsputn(const char_type* s, std::streamsize n) override {
        if (n <= 0) {
            return 0;
        }
        const auto count = static_cast<std::size_t>(n);
        if (static_cast<std::size_t>(this->epptr() - this->pptr()) < count && !grow(count)) {
            return 0;
        }
        traits_type::copy(this->pptr(), s, count);
        advance_put(count);
        extend_get_area();
        return n;
    }

    int_type underflow() override {
        extend_get_area();
        if (this->gptr() < this->egptr()) {
            return traits_type::to_int_type(*this->gptr());
        }
        return traits_type::eof();
    }

    pos_type seekoff(off_type off, std::ios_base::seekdir dir,
                     std::ios_base::openmode which) override {
        const bool in = (which & std::ios_base::in) != 0;
        const bool out = (which & std::ios_base::out) != 0 && owns_;
        if (!in && !out) {
            return pos_type(off_type(-1));
        }
        extend_get_area();
        const auto end = static_cast<off_type>(size());
        off_type from = 0;
        if (dir == std::ios_base::cur) {
            if (in && out) {
                return pos_type(off_type(-1)); // ambiguous, as for string streams
            }
            from = in ? this->gptr() - this->eback() : this->pptr() - this->pbase();
        } else if (dir == std::ios_base::end) {
            from = end;
        }
        if ((off < 0 && -off > from) || (off > 0 && off > end - from)) {
            return pos_type(off_type(-1));
        }
        const off_type target = from + off;
        if (in) {
            this->setg(this->eback(), this->eback() + target, this->eback() + end);
        }
        if (out) {
            this->setp(this->pbase(), this->epptr());
            advance_put(static_cast<std::size_t>(target));
        }
        return pos_type(target);
    }

    pos_type seekpos(pos_type pos, std::ios_base::openmode which) override {
        return seekoff(off_type(pos), std::ios_base::beg, which);
    }

private:
    const char_type* data_end() const noexcept {
        return owns_ ? std::max(high_water_, this->pptr()) : this->egptr();
    }

    void extend_get_area() {
        if (owns_) {
            high_water_ = std::max(high_water_, this->pptr());
            this->setg(this->eback(), this->gptr(), high_water_);
        }
    }

    void advance_put(std::size_t count) {
        // pbump takes an int: advance in steps for very large blocks.
        while (count > 0) {
            const auto step =
                static_cast<int>(std::min<std::size_t>(count, std::numeric_limits<int>::max()));
            this->pbump(step);
            count -= static_cast<std::size_t>(step);
        }
    }

    // Makes room for at least `needed` more characters; a view never grows.
    bool grow(std::size_t needed) {
        if (!owns_) {
            return false;
        }
        const std::size_t used = size();
        const std::size_t put_at = static_cast<std::size_t>(this->pptr() - this->pbase());
        const std::size_t get_at = static_cast<std::size_t>(this->gptr() - this->eback());
        std::size_t wanted = capacity_;
        do {
            const std::size_t next = grown_size(wanted);
            if (next == wanted) {
                return false;
            }
            wanted = next;
        } while (wanted - put_at < needed);
        auto block = std::make_unique_for_overwrite<char_type[]>(wanted);
        if (used > 0) {
            traits_type::copy(block.get(), block_.get(), used);
        }
        block_ = std::move(block);
        capacity_ = wanted;
        char_type* b = block_.get();
        this->setp(b, b + capacity_);
        advance_put(put_at);
        high_water_ = b + used;
        this->setg(b, b + get_at, high_water_);
        return true;
    }

    std::unique_ptr<char_type[]> block_;
    std::size_t capacity_ = 0;
    char_type* high_water_ = nullptr;
    bool owns_ = true;
};

namespace details {
// Constructs the buffer before the stream base that refers to it.
template <class Buffer>
struct buffer_holder {
    template <class... Args>
    explicit buffer_holder(Args&&... args) : buffer(std::forward<Args>(args)...) {}
    Buffer buffer;
};
} // namespace details

// An input stream over a caller-owned block; nothing is copied.
template <class CharT, class Traits = std::char_traits<CharT>>
class basic_imemstream : private details::buffer_holder<basic_membuf<CharT, Traits>>,
                         public std::basic_istream<CharT, Traits> {
    using holder = details::buffer_holder<basic_membuf<CharT, Traits>>;

public:
    // An empty stream: every read reports end of file at once.
    basic_imemstream() : basic_imemstream(nullptr, 0) {}
    basic_imemstream(const CharT* data, std::size_t size)
        : holder(data, size), std::basic_istream<CharT, Traits>(&this->buffer) {}

    [[nodiscard]] basic_membuf<CharT, Traits>* rdbuf() const {
        return const_cast<basic_membuf<CharT, Traits>*>(&this->buffer);
    }
};

// A read/write stream over an owned block that grows as it is written.
template <class CharT, class Traits = std::char_traits<CharT>>
class basic_memstream : private details::buffer_holder<basic_membuf<CharT, Traits>>,
                        public std::basic_iostream<CharT, Traits> {
    using holder = details::buffer_holder<basic_membuf<CharT, Traits>>;

public:
    basic_memstream() : holder(), std::basic_iostream<CharT, Traits>(&this->buffer) {}

    [[nodiscard]] basic_membuf<CharT, Traits>* rdbuf() const {
        return const_cast<basic_membuf<CharT, Traits>*>(&this->buffer);
    }
};

using membuf = basic_membuf<char>;
using imemstream = basic_imemstream<char>;
using memstream = basic_memstream<char>;

} // namespace vt
