#ifndef GAME_CHUNKREADER_H
#define GAME_CHUNKREADER_H

#include <io/ByteArrayInputStream.h>
#include <io/DataInputStream.h>
#include <lang/String.h>

namespace game
{

/**
 * One pass over a chunk file ("CHNK", length, then tagged chunks of tag, size and payload), read
 * whole into memory at construction and released with the reader. Lives on the stack of one
 * resource reader. Every size that moves the position is checked: a negative one, or one past the
 * bytes left, throws io::IOException "Malformed CHNK file: {0}" with the file name.
 */
class ChunkReader
{
public:
	/** Chunk tags: four ASCII characters read as one big-endian int32. */
	enum Tag
	{
		TAG_CHNK = 0x43484E4B,
		TAG_SPRT = 0x53505254,
		TAG_FONT = 0x464F4E54,
		TAG_COMP = 0x434F4D50,
		TAG_TEXT = 0x54455854,
		TAG_LDAT = 0x4C444154,
		TAG_LIDS = 0x4C494453,
		TAG_TXGP = 0x54584750
	};

	/** How the container length is compared with the bytes after it. */
	enum LengthCheck
	{
		/** A length with the top bit set always fails. */
		LENGTH_UNSIGNED,
		/** Text files: a negative length passes, as it fits. */
		LENGTH_SIGNED
	};

	/** The only payload version the readers understand. */
	static const int VERSION = 1;

	/** Opens and reads the whole file; open and read errors of io::FileInputStream pass through. */
	explicit ChunkReader(const lang::String& fileName);

	ChunkReader(const ChunkReader&) = delete;
	ChunkReader& operator=(const ChunkReader&) = delete;

	/**
	 * True for the chunk form, positioned at the first chunk after the checked length; false for a
	 * headerless file, positioned back at byte 0.
	 */
	bool readHeader(LengthCheck check);

	/** False when no bytes are left; otherwise reads the next tag and its checked payload size. */
	bool nextChunk(int& tag, int& size);

	/**
	 * Moves past the version into the payload of the next chunk of the tag whose version is VERSION,
	 * passing over chunks of other tags and versions; false when the data ends first.
	 */
	bool nextPayload(int tag);

	/**
	 * Calls readBody once for each body the file holds: at byte 0 of a headerless file, or at the
	 * payload of each chunk of the tag in the chunk form (container length checked unsigned).
	 */
	template <class ReadBody>
	void forEachBody(int tag, ReadBody readBody)
	{
		if (!readHeader(LENGTH_UNSIGNED))
		{
			readBody();
			return;
		}
		while (nextPayload(tag))
			readBody();
	}

	/** Passes over n bytes. */
	void skip(int n);

	/** Reads an int32 that counts bytes to pass over, then passes over them. */
	void skipCounted();

	/** A file named inside this one: the name joined to this file's directory. */
	lang::String pathBeside(const lang::String& name) const;

	io::DataInputStream& in()							{ return m_in; }
	int available() const								{ return m_in.available(); }
	const lang::String& fileName() const				{ return m_fileName; }

	[[noreturn]] void throwMalformed() const;

private:
	/** The file's bytes, named after the file so that end-of-data messages name it. */
	class FileBytes : public io::ByteArrayInputStream
	{
	public:
		explicit FileBytes(const lang::String& name) : m_name(name) {}
		lang::String toString() const override			{ return m_name; }

	private:
		lang::String m_name;
	};

	lang::String m_fileName;
	FileBytes m_bytes;
	io::DataInputStream m_in;
};

} // game

#endif
