#include <game/ChunkReader.h>
#include <io/FileInputStream.h>
#include <io/IOException.h>
#include <io/PathName.h>

namespace game
{

ChunkReader::ChunkReader(const lang::String& fileName) :
	m_fileName(fileName),
	m_bytes(fileName),
	m_in(&m_bytes)
{
	io::FileInputStream file(fileName);
	const int size = file.available();
	m_bytes.reset(nullptr, size);
	if (size > 0 && file.read(m_bytes.data(), size) != size)
		lang::throwError(io::IOException(lang::Format("Failed to read {1} bytes from {0}", fileName, size)));
}

bool ChunkReader::readHeader(LengthCheck check)
{
	if (available() < 4 || m_in.readInt() != TAG_CHNK)
	{
		m_bytes.seek(0, io::InputStream::SEEKMODE_START);
		return false;
	}
	const int length = m_in.readInt();
	const bool fits = check == LENGTH_UNSIGNED
		? static_cast<unsigned int>(length) <= static_cast<unsigned int>(available())
		: length <= available();
	if (!fits)
		throwMalformed();
	return true;
}

bool ChunkReader::nextChunk(int& tag, int& size)
{
	if (available() <= 0)
		return false;
	tag = m_in.readInt();
	size = m_in.readInt();
	if (size < 0 || size > available())
		throwMalformed();
	return true;
}

bool ChunkReader::nextPayload(int tag)
{
	int chunkTag;
	int size;
	while (nextChunk(chunkTag, size))
	{
		if (chunkTag != tag)
			skip(size);
		else if (m_in.readShort() == VERSION)
			return true;
		else
			skip(size - 2);
	}
	return false;
}

void ChunkReader::skip(int n)
{
	if (n < 0 || n > available())
		throwMalformed();
	m_in.skip(n);
}

void ChunkReader::skipCounted()
{
	skip(m_in.readInt());
}

lang::String ChunkReader::pathBeside(const lang::String& name) const
{
	return io::PathName(io::PathName(m_fileName).parent().toString(), name).toString();
}

void ChunkReader::throwMalformed() const
{
	lang::throwError(io::IOException(lang::Format("Malformed CHNK file: {0}", m_fileName)));
}

} // game
