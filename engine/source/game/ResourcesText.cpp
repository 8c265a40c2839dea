#include <game/Resources.h>
#include <lang/Exception.h>

namespace game
{

void Resources::useFont(const lang::String& key)
{
	const lang::Ptr<IFont>* font = m_fonts.find(key);
	if (!font || !*font)
		return;
	m_font = *font;
	m_fontName = key;
}

IFont* Resources::getFont() const
{
	return m_font;
}

const IFont& Resources::requireFont(const char* message) const
{
	if (!m_font)
		lang::throwError(lang::Exception(lang::Format(message)));
	return *m_font;
}

int Resources::getFontHeight() const
{
	const IFont& font = requireFont("No font is set while trying to get font height!");
	return font.getMaxAscending() + font.getMaxDescending();
}

int Resources::getFontMaxAscending() const
{
	return requireFont("No font is set while trying to get font max ascending").getMaxAscending();
}

int Resources::getFontMaxDescending() const
{
	return requireFont("No font is set while trying to get font max descending").getMaxDescending();
}

int Resources::getFontLeading() const
{
	return requireFont("No font is set while trying to get font leading").getLeading();
}

int Resources::getFontTracking() const
{
	return requireFont("No font is set while trying to get font tracking").getTracking();
}

int Resources::getStringWidth(const lang::String& text, int begin, int count) const
{
	return requireFont("No font is set while trying to get string width").getStringWidth(text, begin, count);
}

void Resources::drawString(const lang::String& setKey, const lang::String& textKey, float x, float y, Anchor anchor)
{
	const IFont& font = requireFont("No font is set while trying to draw string");
	font.drawString(m_context, getString(setKey, textKey), x, y, anchor);
}

void Resources::useLocale(const lang::String& code)
{
	m_locale = code;
}

void Resources::loadLocale(const lang::String& setKey, const lang::String& code)
{
	const lang::Ptr<TextGroupSet> set = getTextGroupSet(setKey);
	if (!set)
		return;
	// The new language loads before the others are dropped, so a failed load loses no texts.
	if (!set->loadTextGroup(code) || code == "ALL")
		return;
	const lang::Array<lang::String> languages = set->getLanguages();
	for (int i = 0; i < languages.size(); ++i)
		if (languages[i] != code)
			set->releaseTextGroup(languages[i]);
}

lang::String Resources::getString(const lang::String& setKey, const lang::String& textKey)
{
	const lang::Ptr<TextGroupSet> set = getTextGroupSet(setKey);
	if (!set)
		return textKey;
	return set->getTextGroup(m_locale)->get(textKey);
}

} // game
