#ifndef GAME_TEXTGROUPSET_H
#define GAME_TEXTGROUPSET_H

#include <game/TextGroup.h>
#include <lang/Array.h>
#include <lang/Hashtable.h>
#include <lang/Ptr.h>
#include <lang/String.h>

namespace game
{

class ChunkReader;

/**
 * One localised text file: its language codes, and the loaded texts of single languages, each a
 * TextGroup. Held through lang::Ptr; owns its loaded groups. Every load reads the file anew.
 * "ALL" stands for every language of the file in loadTextGroup and releaseTextGroup.
 */
class TextGroupSet : public lang::Object
{
public:
	/** Stores the name; reads nothing. */
	explicit TextGroupSet(const lang::String& fileName);

	/** Reads the file's language codes, replacing the known ones (a file without a list keeps them). */
	void loadLocaleCodes();

	/**
	 * Reads the texts of one language (or of every language for "ALL", giving the first one's) into a
	 * new group stored under the language in place of an earlier one. Null, and nothing stored, when
	 * the file holds no texts for the language. A language not in the list throws lang::Exception; a
	 * text block before any keys throws io::IOException "Missing LIDS chunk before TXGP chunk in file {0}".
	 */
	TextGroup* loadTextGroup(const lang::String& language);

	/** Drops the loaded group of a language ("ALL": of every one); a language not in the list throws. */
	void releaseTextGroup(const lang::String& language);

	/** The loaded group of a language; throws lang::Exception when it is not loaded. */
	TextGroup* getTextGroup(const lang::String& language) const;

	/** The file's language codes in file order; empty until loadLocaleCodes. */
	const lang::Array<lang::String>& getLanguages() const	{ return m_languages; }
	const lang::String& getFileName() const				{ return m_fileName; }

private:
	lang::Array<lang::String> m_languages;
	lang::Hashtable<lang::String, lang::Ptr<TextGroup>> m_groups;
	lang::String m_fileName;

	/** Reads the texts of the language at index into a new group, or returns null when absent. */
	lang::Ptr<TextGroup> readGroup(int index) const;
	/** From the chunk form, positioned at the first chunk. */
	lang::Ptr<TextGroup> readChunkGroup(ChunkReader& reader, int index) const;
	/** From the headerless form, positioned at byte 0. */
	lang::Ptr<TextGroup> readHeaderlessGroup(ChunkReader& reader, int index) const;
};

} // game

#endif
