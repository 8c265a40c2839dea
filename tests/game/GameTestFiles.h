#ifndef TESTS_GAME_GAMETESTFILES_H
#define TESTS_GAME_GAMETESTFILES_H

#include "support/ChunkWriter.h"
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

/** A fresh directory under the system's temporary directory, removed with everything in it. */
class TempDir
{
public:
	TempDir()
	{
		std::string pattern = (std::filesystem::temp_directory_path() / "game2d-XXXXXX").string();
		m_path = mkdtemp(pattern.data());
	}
	~TempDir()											{ std::filesystem::remove_all(m_path); }
	TempDir(const TempDir&) = delete;
	TempDir& operator=(const TempDir&) = delete;

	std::string file(const std::string& name) const		{ return m_path + "/" + name; }
	/** Saves the bytes as name and returns the file's path. */
	std::string write(const std::string& name, const ChunkWriter& bytes) const	{ return bytes.save(file(name)); }

private:
	std::string m_path;
};

struct SpriteRecord
{
	std::string name;
	int x, y, width, height, pivotX, pivotY;
};

struct GlyphRecord
{
	int code;
	int x, y, width, height, pivotY;
};

/** A sprite sheet body: image name, count, records (the payload after its version). */
inline ChunkWriter sheetBody(const std::string& image, const std::vector<SpriteRecord>& sprites)
{
	ChunkWriter out;
	out.utf(image).int16(static_cast<int>(sprites.size()));
	for (const SpriteRecord& s : sprites)
		out.utf(s.name).int16(s.x).int16(s.y).int16(s.width).int16(s.height).int16(s.pivotX).int16(s.pivotY);
	return out;
}

/** A font body: image name, leading, tracking, count, glyph records. */
inline ChunkWriter fontBody(const std::string& image, int leading, int tracking, const std::vector<GlyphRecord>& glyphs)
{
	ChunkWriter out;
	out.utf(image).int16(leading).int16(tracking).int16(static_cast<int>(glyphs.size()));
	for (const GlyphRecord& g : glyphs)
		out.int16(g.code).int16(g.x).int16(g.y).int16(g.width).int16(g.height).int16(g.pivotY);
	return out;
}

/** A payload: version, then the body. */
inline ChunkWriter versioned(const ChunkWriter& body, int version = 1)
{
	ChunkWriter out;
	return out.int16(version).raw(body);
}

/** A container holding one chunk of the tag around a version-1 body. */
inline ChunkWriter singleChunkFile(const char* tag, const ChunkWriter& body)
{
	ChunkWriter chunks;
	return ChunkWriter::file(chunks.chunk(tag, versioned(body)));
}

/** UTF strings preceded by their int16 count. */
inline ChunkWriter stringList(const std::vector<std::string>& strings)
{
	ChunkWriter out;
	out.int16(static_cast<int>(strings.size()));
	for (const std::string& s : strings)
		out.utf(s);
	return out;
}

/** One UTF text per key, no count. */
inline ChunkWriter texts(const std::vector<std::string>& strings)
{
	ChunkWriter out;
	for (const std::string& s : strings)
		out.utf(s);
	return out;
}

#endif
