#pragma once
// Little-endian byte records shared by the per-world save files. Every file starts with four magic
// bytes and a u32 version; a reader that runs short, meets a count over its limit or finds bytes
// left over refuses the whole file, so a damaged save is never half applied.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>

namespace filesave {

class ByteWriter {
public:
    ByteWriter(std::string_view magic, uint32_t version) {
        bytes_.append(magic);
        put(version);
    }
    template <typename T>
    void put(T value) {
        static_assert(std::is_arithmetic_v<T>);
        char raw[sizeof(T)];
        std::memcpy(raw, &value, sizeof(T));
        bytes_.append(raw, sizeof(T));
    }
    void putText(const std::string& text) {
        put(static_cast<uint32_t>(text.size()));
        bytes_ += text;
    }
    std::string take() { return std::move(bytes_); }

private:
    std::string bytes_;
};

// Failures are sticky: after the first one every read gives zero and `whole` is false.
class ByteReader {
public:
    ByteReader(std::string_view bytes, std::string_view magic, uint32_t version) : bytes_(bytes) {
        ok_ = bytes_.substr(0, magic.size()) == magic;
        pos_ = magic.size();
        ok_ = ok_ && get<uint32_t>() == version;
    }
    template <typename T>
    T get() {
        static_assert(std::is_arithmetic_v<T>);
        T value{};
        if (!ok_ || bytes_.size() - pos_ < sizeof(T)) return fail(T{});
        std::memcpy(&value, bytes_.data() + pos_, sizeof(T));
        pos_ += sizeof(T);
        return value;
    }
    // A count of records of at least `recordBytes` each: refused above `limit` or when the rest of
    // the file is too short to hold them, before anything is reserved for them.
    uint32_t count(uint32_t limit, std::size_t recordBytes) {
        const uint32_t n = get<uint32_t>();
        if (n > limit || (bytes_.size() - pos_) / recordBytes < n) return fail(0u);
        return n;
    }
    std::string getText(uint32_t limit) {
        const uint32_t n = get<uint32_t>();
        if (n > limit || bytes_.size() - pos_ < n) return fail(std::string());
        std::string text(bytes_.substr(pos_, n));
        pos_ += n;
        return text;
    }
    // Marks the record refused (a value out of its range).
    void refuse() { ok_ = false; }
    bool whole() const { return ok_ && pos_ == bytes_.size(); }

private:
    template <typename T>
    T fail(T value) {
        ok_ = false;
        return value;
    }
    std::string_view bytes_;
    std::size_t pos_ = 0;
    bool ok_ = false;
};

}  // namespace filesave
