// A text value of fixed capacity, always zero-terminated, that the shipped code uses instead of heap strings.
#pragma once

#include <cstring>

// Capacity of a file path buffer: MAX_PATH characters and the terminating zero.
constexpr int kPathCapacity = 261;
// Capacity of a settings value buffer, terminator included.
constexpr int kSettingCapacity = 2048;

// Holds at most N - 1 characters; longer input is cut, never overruns.
template <int N> class FixedText
{
    static_assert(N > 0, "a text needs room for its terminator");

  public:
    FixedText() { m_text[0] = '\0'; }
    explicit FixedText(const char* text) { Assign(text); }

    void Clear() { m_text[0] = '\0'; }

    void Assign(const char* text)
    {
        Clear();
        Append(text);
    }
    void Assign(const char* text, int length)
    {
        Clear();
        Append(text, length);
    }

    void Append(const char* text) { Append(text, text == nullptr ? 0 : static_cast<int>(std::strlen(text))); }
    // Appends the first `length` characters of text (which need not be terminated), as many as fit.
    void Append(const char* text, int length)
    {
        int used = Length();
        if (text == nullptr || length <= 0)
            return;
        int room = N - 1 - used;
        if (length > room)
            length = room;
        if (length > 0)
            std::memmove(m_text + used, text, static_cast<size_t>(length));
        m_text[used + (length > 0 ? length : 0)] = '\0';
    }

    // Keeps the first `length` characters.
    void Truncate(int length)
    {
        if (length >= 0 && length < Length())
            m_text[length] = '\0';
    }

    const char* c_str() const { return m_text; }
    int Length() const { return static_cast<int>(std::strlen(m_text)); }
    bool IsEmpty() const { return m_text[0] == '\0'; }
    // Whole, byte-for-byte, case-sensitive comparison; null compares equal to the empty text.
    bool Equals(const char* text) const { return std::strcmp(m_text, text == nullptr ? "" : text) == 0; }

    // Raw storage for a system call that fills a buffer; call Terminate(count) after it.
    char* Buffer() { return m_text; }
    // Fixes the length after the buffer was filled with `count` characters (kept within capacity).
    void Terminate(int count)
    {
        if (count < 0)
            count = 0;
        if (count > N - 1)
            count = N - 1;
        m_text[count] = '\0';
    }

  private:
    char m_text[N];
};

using PathText = FixedText<kPathCapacity>;
using SettingText = FixedText<kSettingCapacity>;
