#ifndef GAME_TEXTGROUP_H
#define GAME_TEXTGROUP_H

#include <lang/Hashtable.h>
#include <lang/Object.h>
#include <lang/String.h>

namespace game
{

/** The texts of one language by key. Held through lang::Ptr by its text group set and its users. */
class TextGroup : public lang::Object
{
public:
	typedef lang::Hashtable<lang::String, lang::String> TextTable;

	/** Stores a text under its key; a later text for the same key wins. */
	void put(const lang::String& key, const lang::String& text)	{ m_texts[key] = text; }

	/**
	 * The text of the key; an untranslated key is added with itself as its text, so it shows as the
	 * key. The reference lasts until the next key is added.
	 */
	const lang::String& get(const lang::String& key) const;

	const TextTable& getTexts() const					{ return m_texts; }

private:
	/** Lookups of absent keys add them. */
	mutable TextTable m_texts;
};

} // game

#endif
