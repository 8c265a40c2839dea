#ifndef AGENT_ADS_CHUNKREADER_H
#define AGENT_ADS_CHUNKREADER_H

#include <cstddef>
#include <cstdint>
#include <string>

// Big-endian reads within one chunk body of the ad answer; borrows the bytes. A read past the
// body's end fails the reader: it and every later read give zeros and empty texts, and ok()
// turns false, so a chunk operation can never leave its chunk.
class ChunkReader
{
public:
	ChunkReader(const unsigned char* data, std::size_t size) : m_data(data), m_size(size) {}

	bool ok() const { return m_ok; }
	std::uint8_t u8() { return static_cast<std::uint8_t>(number(1)); }
	std::uint16_t u16() { return static_cast<std::uint16_t>(number(2)); }
	std::uint32_t u32() { return static_cast<std::uint32_t>(number(4)); }
	std::uint64_t u64() { return number(8); }
	std::int8_t s8() { return static_cast<std::int8_t>(u8()); }
	std::int16_t s16() { return static_cast<std::int16_t>(u16()); }
	std::int32_t s32() { return static_cast<std::int32_t>(u32()); }
	std::int64_t s64() { return static_cast<std::int64_t>(u64()); }
	// A 2-byte length and that many bytes.
	std::string text() { return bytes(u16()); }
	std::string bytes(std::size_t count)
	{
		if (!take(count))
			return std::string();
		return std::string(reinterpret_cast<const char*>(m_data + m_at - count), count);
	}

private:
	bool take(std::size_t count)
	{
		if (!m_ok || count > m_size - m_at)
		{
			m_ok = false;
			return false;
		}
		m_at += count;
		return true;
	}

	std::uint64_t number(std::size_t count)
	{
		if (!take(count))
			return 0;
		std::uint64_t value = 0;
		for (std::size_t i = m_at - count; i < m_at; ++i)
			value = value << 8 | m_data[i];
		return value;
	}

	const unsigned char* m_data;
	std::size_t m_size;
	std::size_t m_at = 0;
	bool m_ok = true;
};

#endif
