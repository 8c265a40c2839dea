#ifndef TESTS_SUPPORT_CHUNKWRITER_H
#define TESTS_SUPPORT_CHUNKWRITER_H

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

/**
 * Builds big-endian chunk-file bytes for tests and fuzz seeds: numbers, UTF strings (16-bit byte
 * count, then the bytes), tagged chunks whose sizes it fills in, and the "CHNK" container.
 * A plain value holding its own bytes.
 */
class ChunkWriter
{
public:
	ChunkWriter& int32(int32_t v)						{ return int16(static_cast<int16_t>(static_cast<uint32_t>(v) >> 16)).int16(static_cast<int16_t>(v)); }
	ChunkWriter& int16(int v)							{ return int8(static_cast<uint32_t>(v) >> 8).int8(v); }
	ChunkWriter& int8(int v)							{ m_bytes.push_back(static_cast<uint8_t>(v)); return *this; }
	ChunkWriter& utf(const std::string& text)			{ int16(static_cast<int>(text.size())); return raw(text); }
	/** Four ASCII characters in file order. */
	ChunkWriter& tag(const char* name)					{ return raw(std::string(name, 4)); }
	ChunkWriter& raw(const std::string& bytes)			{ m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end()); return *this; }
	ChunkWriter& raw(const ChunkWriter& other)			{ m_bytes.insert(m_bytes.end(), other.m_bytes.begin(), other.m_bytes.end()); return *this; }

	/** Tag, payload size, payload. */
	ChunkWriter& chunk(const char* name, const ChunkWriter& payload)
	{
		return tag(name).int32(payload.size()).raw(payload);
	}

	/** "CHNK", the number of bytes after the length field, then the chunks. */
	static ChunkWriter file(const ChunkWriter& chunks)
	{
		ChunkWriter out;
		return out.tag("CHNK").int32(chunks.size()).raw(chunks);
	}

	int size() const									{ return static_cast<int>(m_bytes.size()); }
	const std::vector<uint8_t>& bytes() const			{ return m_bytes; }

	/** Writes the bytes to a file and returns its path. */
	const std::string& save(const std::string& path) const
	{
		std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(m_bytes.data()), static_cast<std::streamsize>(m_bytes.size()));
		return path;
	}

private:
	std::vector<uint8_t> m_bytes;
};

#endif
