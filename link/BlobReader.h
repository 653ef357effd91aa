#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Reads a menu blob word by word. Every read is checked against the end of the block: a read
// past it returns zeros and marks the reader failed, so a broken blob can end a parse but never
// make it read outside the block.
class BlobReader {
public:
    BlobReader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    bool Failed() const { return m_failed; }
    size_t Position() const { return m_at; }
    void MoveTo(size_t at);
    void Back(size_t bytes) { m_at = bytes <= m_at ? m_at - bytes : 0; }

    uint16_t Word();
    void Skip(size_t bytes);
    // Bytes up to a zero byte (the zero is consumed).
    std::string ZeroText();
    // Moves past zero bytes to the next non-zero byte.
    void SkipZeros();
    // 2 x words bytes; zero bytes pad the text, blanks at both ends are removed.
    std::string CountedText(size_t words);

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
    bool m_failed = false;
};

// Removes blanks at both ends.
std::string Trimmed(const std::string& text);
