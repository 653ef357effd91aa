#include "link/BlobReader.h"

void BlobReader::MoveTo(size_t at) {
    if (at > m_size) {
        m_failed = true;
        at = m_size;
    }
    m_at = at;
}

uint16_t BlobReader::Word() {
    if (m_size - m_at < 2) {
        m_failed = true;
        m_at = m_size;
        return 0;
    }
    const auto word = static_cast<uint16_t>(m_data[m_at] << 8 | m_data[m_at + 1]);
    m_at += 2;
    return word;
}

void BlobReader::Skip(size_t bytes) {
    MoveTo(bytes <= m_size - m_at ? m_at + bytes : m_size + 1);
}

std::string BlobReader::ZeroText() {
    const size_t start = m_at;
    while (m_at < m_size && m_data[m_at] != 0)
        ++m_at;
    std::string text(reinterpret_cast<const char*>(m_data + start), m_at - start);
    if (m_at < m_size)
        ++m_at;
    else
        m_failed = true;
    return text;
}

void BlobReader::SkipZeros() {
    while (m_at < m_size && m_data[m_at] == 0)
        ++m_at;
    if (m_at == m_size) m_failed = true;
}

std::string BlobReader::CountedText(size_t words) {
    const size_t bytes = 2 * words;
    if (bytes > m_size - m_at) {
        m_failed = true;
        m_at = m_size;
        return {};
    }
    size_t length = 0;
    while (length < bytes && m_data[m_at + length] != 0)
        ++length;
    std::string text(reinterpret_cast<const char*>(m_data + m_at), length);
    m_at += bytes;
    return Trimmed(text);
}

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    const size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}
