// Texts held in fixed-capacity buffers: a value longer than its buffer is cut, never copied
// past the end. Capacities count the terminating zero, as the programs' buffers do.
#pragma once

#include <array>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace kit {

// The first `capacity` - 1 characters of `text` (the whole text when it is shorter).
inline std::string CutToCapacity(std::string_view text, std::size_t capacity) {
    if (capacity == 0) return std::string();
    return std::string(text.substr(0, capacity - 1));
}

// Copies `text`, cut to the buffer, into `buffer` and terminates it. Nothing is written when the
// capacity is 0.
inline void CopyCut(char* buffer, std::size_t capacity, std::string_view text) {
    if (buffer == nullptr || capacity == 0) return;
    std::size_t n = text.size() < capacity - 1 ? text.size() : capacity - 1;
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

// A text buffer of N bytes (at most N - 1 characters), as the programs' char[N] members.
template <std::size_t N>
class FixedText {
  public:
    FixedText() { data_[0] = '\0'; }
    explicit FixedText(std::string_view text) { Assign(text); }
    void Assign(std::string_view text) { CopyCut(data_.data(), N, text); }
    FixedText& operator=(std::string_view text) {
        Assign(text);
        return *this;
    }
    const char* c_str() const { return data_.data(); }
    char* data() { return data_.data(); }
    static constexpr std::size_t capacity() { return N; }
    std::size_t size() const { return std::strlen(data_.data()); }
    bool empty() const { return data_[0] == '\0'; }
    std::string str() const { return std::string(data_.data()); }

  private:
    std::array<char, N> data_{};
};

}  // namespace kit
