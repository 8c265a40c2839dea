#include <game/ChunkReader.h>
#include <game/TextGroupSet.h>
#include <io/IOException.h>
#include <lang/Exception.h>

namespace game
{

namespace
{

const char* const ALL_LANGUAGES = "ALL";

/** count UTF strings; none for a count of 0 or less. */
lang::Array<lang::String> readStrings(io::DataInputStream& in, int count)
{
	lang::Array<lang::String> strings;
	for (int i = 0; i < count; ++i)
		strings.add(in.readUTF());
	return strings;
}

/** One text per key, in key order. */
lang::Ptr<TextGroup> readTexts(io::DataInputStream& in, const lang::Array<lang::String>& keys)
{
	lang::Ptr<TextGroup> group = new TextGroup;
	for (const lang::String& key : keys)
		group->put(key, in.readUTF());
	return group;
}

[[noreturn]] void throwLanguageError(const char* message, const lang::String& language)
{
	lang::throwError(lang::Exception(lang::Format(message, language)));
}

} // namespace

TextGroupSet::TextGroupSet(const lang::String& fileName) :
	m_fileName(fileName)
{
}

void TextGroupSet::loadLocaleCodes()
{
	ChunkReader reader(m_fileName);
	io::DataInputStream& in = reader.in();
	if (!reader.readHeader(ChunkReader::LENGTH_SIGNED))
	{
		in.readByte();
		in.readInt();
		m_languages = readStrings(in, static_cast<signed char>(in.readChar()));
		return;
	}
	if (!reader.nextPayload(ChunkReader::TAG_TEXT))
		return;
	// Kept aside so that a file failing halfway leaves the known list alone.
	lang::Array<lang::String> languages = m_languages;
	int tag;
	int size;
	while (reader.nextChunk(tag, size))
	{
		if (tag == ChunkReader::TAG_LDAT)
			languages = readStrings(in, in.readShort());
		else
			reader.skip(size);
	}
	m_languages = languages;
}

TextGroup* TextGroupSet::loadTextGroup(const lang::String& language)
{
	if (language == ALL_LANGUAGES)
	{
		for (int i = 0; i < m_languages.size(); ++i)
			loadTextGroup(m_languages[i]);
		return m_languages.isEmpty() ? nullptr : m_groups.get(m_languages[0]).ptr();
	}
	const int index = m_languages.indexOf(language);
	if (index < 0)
		throwLanguageError("Trying to load TextGroup for language not present in data file. Language: \"{0}\"", language);
	const lang::Ptr<TextGroup> group = readGroup(index);
	if (group)
		m_groups[language] = group;
	return group;
}

void TextGroupSet::releaseTextGroup(const lang::String& language)
{
	if (language == ALL_LANGUAGES)
	{
		m_groups.clear();
		return;
	}
	if (m_languages.indexOf(language) < 0)
		throwLanguageError("Trying to release TextGroup for language not present in data file. Language: \"{0}\"", language);
	m_groups.remove(language);
}

TextGroup* TextGroupSet::getTextGroup(const lang::String& language) const
{
	const lang::Ptr<TextGroup>* group = m_groups.find(language);
	if (group && *group)
		return *group;
	if (m_languages.indexOf(language) < 0)
		throwLanguageError("Trying to get TextGroup for language not present in data file. Language: \"{0}\"", language);
	throwLanguageError("Trying to get TextGroup for language which is not loaded. Language: \"{0}\"", language);
}

lang::Ptr<TextGroup> TextGroupSet::readGroup(int index) const
{
	ChunkReader reader(m_fileName);
	if (reader.readHeader(ChunkReader::LENGTH_SIGNED))
		return readChunkGroup(reader, index);
	return readHeaderlessGroup(reader, index);
}

lang::Ptr<TextGroup> TextGroupSet::readChunkGroup(ChunkReader& reader, int index) const
{
	if (!reader.nextPayload(ChunkReader::TAG_TEXT))
		return nullptr;
	io::DataInputStream& in = reader.in();
	lang::Array<lang::String> keys;
	int textBlock = 0;
	int tag;
	int size;
	while (reader.nextChunk(tag, size))
	{
		if (tag == ChunkReader::TAG_LIDS)
		{
			keys = readStrings(in, in.readShort());
			continue;
		}
		if (tag == ChunkReader::TAG_TXGP)
		{
			if (keys.isEmpty())
				lang::throwError(io::IOException(lang::Format("Missing LIDS chunk before TXGP chunk in file {0}", m_fileName)));
			if (textBlock++ == index)
				return readTexts(in, keys);
		}
		reader.skip(size);
	}
	return nullptr;
}

lang::Ptr<TextGroup> TextGroupSet::readHeaderlessGroup(ChunkReader& reader, int index) const
{
	io::DataInputStream& in = reader.in();
	in.readByte();
	reader.skipCounted();
	const lang::Array<lang::String> keys = readStrings(in, in.readShort());
	// Each offset counts from the end of its own entry in the table.
	reader.skip(index * 4);
	reader.skipCounted();
	return readTexts(in, keys);
}

} // game
