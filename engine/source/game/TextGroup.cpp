#include <game/TextGroup.h>

namespace game
{

const lang::String& TextGroup::get(const lang::String& key) const
{
	if (const lang::String* text = m_texts.find(key))
		return *text;
	lang::String& added = m_texts[key];
	added = key;
	return added;
}

} // game
