#include <game/LuaResources.h>
#include <game/CompoSprite.h>
#include <lang/Truncate.h>
#include <pf/Launcher.h>
#include <climits>

namespace game
{

namespace
{

audio::AudioConfiguration configurationOf(float channels, float bitsPerSample, float samplesPerSecond)
{
	return audio::AudioConfiguration{lang::truncateTo<int>(channels), lang::truncateTo<int>(bitsPerSample), lang::truncateTo<int>(samplesPerSecond)};
}

/** The optional reload flag of the loaders: only a boolean counts, anything else is false. */
bool reloadFlag(lua::LuaState* lua)
{
	return lua->isBoolean(2) && lua->toBoolean(2);
}

/** Where the name of a metric query stands: alone for a dot call, after the table for a colon call. */
int nameIndex(lua::LuaState* lua)
{
	return lua->top() == 1 ? 1 : 2;
}

} // namespace

LuaResources::LuaResources(lua::LuaState* lua, gr::Context* context) :
	lua::LuaObject(lua),
	m_resources(context)
{
	registerMethod("setPath", this, &LuaResources::setPath);
	registerLuaMethod("createSpriteSheet", this, &LuaResources::createSpriteSheet);
	registerLuaMethod("createCompoSpriteSet", this, &LuaResources::createCompoSpriteSet);
	registerLuaMethod("createBitmapFont", this, &LuaResources::createBitmapFont);
	registerLuaMethod("createSystemFont", this, &LuaResources::createSystemFont);
	registerLuaMethod("createTextGroupSet", this, &LuaResources::createTextGroupSet);
	registerMethod("createAudioOutput", this, &LuaResources::createAudioOutput);
	registerMethod("createAudioInput", this, &LuaResources::createAudioInput);
	registerLuaMethod("createAudio", this, &LuaResources::createAudio);
	registerMethod("releaseSpriteSheet", this, &LuaResources::releaseSpriteSheet);
	registerMethod("releaseCompoSpriteSet", this, &LuaResources::releaseCompoSpriteSet);
	registerMethod("releaseFont", this, &LuaResources::releaseFont);
	registerMethod("releaseTextGroupSet", this, &LuaResources::releaseTextGroupSet);
	registerMethod("loadLocale", this, &LuaResources::loadLocale);
	registerMethod("useLocale", this, &LuaResources::useLocale);
	registerMethod("useFont", this, &LuaResources::useFont);
	registerLuaMethod("drawSprite", this, &LuaResources::drawSprite);
	registerLuaMethod("drawCompoSprite", this, &LuaResources::drawSprite);
	registerLuaMethod("drawString", this, &LuaResources::drawString);
	registerMethod("setClipRect", this, &LuaResources::setClipRect);
	registerMethod("getString", this, &LuaResources::getLocalisedString);
	registerLuaMethod("playAudio", this, &LuaResources::playAudio);
	registerMethod("stopAudio", this, &LuaResources::stopAudio);
	registerMethod("stopAllAudio", this, &LuaResources::stopAllAudio);
	registerLuaMethod("isAudioPlaying", this, &LuaResources::isAudioPlaying);
	registerLuaMethod("getSpriteBounds", this, &LuaResources::getSpriteBounds);
	registerLuaMethod("getSpritePivot", this, &LuaResources::getSpritePivot);
	registerLuaMethod("getCompoSpriteBounds", this, &LuaResources::getCompoSpriteBounds);
	registerLuaMethod("getCompoSpriteData", this, &LuaResources::getCompoSpriteData);
	registerMethod("getStringWidth", this, &LuaResources::getStringWidth);
	registerMethod("getFontMaxAscending", this, &LuaResources::getFontMaxAscending);
	registerMethod("getFontMaxDescending", this, &LuaResources::getFontMaxDescending);
	registerMethod("getFontLeading", this, &LuaResources::getFontLeading);
	registerMethod("getFontTracking", this, &LuaResources::getFontTracking);
	registerMethod("getFontHeight", this, &LuaResources::getFontHeight);
	registerMethod("getLocale", this, &LuaResources::getLocale);
	registerMethod("startAudioOutput", this, &LuaResources::startAudioOutput);
	registerMethod("stopAudioOutput", this, &LuaResources::stopAudioOutput);
	registerMethod("startAudioInput", this, &LuaResources::startAudioInput);
	registerMethod("stopAudioInput", this, &LuaResources::stopAudioInput);
	registerMethod("setMasterVolume", this, &LuaResources::setMasterVolume);
	registerMethod("setTrackVolume", this, &LuaResources::setTrackVolume);
	registerMethod("getTrackVolume", this, &LuaResources::getTrackVolume);
	registerMethod("openURL", this, &LuaResources::openURL);
	lua->globals().setTable("res", *this);
}

LuaResources::~LuaResources() = default;

void LuaResources::setPath(const lang::String& dir)
{
	m_resources.setPath(dir);
}

void LuaResources::createAudioOutput(float channels, float bitsPerSample, float samplesPerSecond)
{
	m_resources.createAudioOutput(configurationOf(channels, bitsPerSample, samplesPerSecond));
}

void LuaResources::createAudioInput(float channels, float bitsPerSample, float samplesPerSecond)
{
	m_resources.createAudioInput(configurationOf(channels, bitsPerSample, samplesPerSecond));
}

void LuaResources::releaseSpriteSheet(const lang::String& name)
{
	m_resources.releaseSpriteSheet(name);
}

void LuaResources::releaseCompoSpriteSet(const lang::String& name)
{
	m_resources.releaseCompoSpriteSet(name);
}

void LuaResources::releaseFont(const lang::String& name)
{
	m_resources.releaseFont(name);
}

void LuaResources::releaseTextGroupSet(const lang::String& name)
{
	m_resources.releaseTextGroupSet(name);
}

void LuaResources::loadLocale(const lang::String& setKey, const lang::String& code)
{
	m_resources.loadLocale(setKey, code);
}

void LuaResources::useLocale(const lang::String& code)
{
	m_resources.useLocale(code);
}

void LuaResources::useFont(const lang::String& key)
{
	m_resources.useFont(key);
}

void LuaResources::setClipRect(float x, float y, float width, float height)
{
	m_resources.setClipRect(gr::Rect(lang::truncateTo<int>(x), lang::truncateTo<int>(y), lang::truncateTo<int>(x + width), lang::truncateTo<int>(y + height)));
}

lang::String LuaResources::getLocalisedString(const lang::String& setKey, const lang::String& textKey)
{
	return m_resources.getString(setKey, textKey);
}

void LuaResources::stopAudio(const lang::String& name)
{
	m_resources.stopAudio(name);
}

void LuaResources::stopAllAudio()
{
	m_resources.stopAllAudio();
}

float LuaResources::getStringWidth(const lang::String& text)
{
	return static_cast<float>(m_resources.getStringWidth(text, 0, INT_MAX));
}

float LuaResources::getFontMaxAscending()
{
	return static_cast<float>(m_resources.getFontMaxAscending());
}

float LuaResources::getFontMaxDescending()
{
	return static_cast<float>(m_resources.getFontMaxDescending());
}

float LuaResources::getFontLeading()
{
	return static_cast<float>(m_resources.getFontLeading());
}

float LuaResources::getFontTracking()
{
	return static_cast<float>(m_resources.getFontTracking());
}

float LuaResources::getFontHeight()
{
	return static_cast<float>(m_resources.getFontHeight());
}

lang::String LuaResources::getLocale()
{
	return m_resources.getLocale();
}

void LuaResources::startAudioOutput()
{
	m_resources.startAudioOutput();
}

void LuaResources::stopAudioOutput()
{
	m_resources.stopAudioOutput();
}

void LuaResources::startAudioInput()
{
	m_resources.startAudioInput();
}

void LuaResources::stopAudioInput()
{
	m_resources.stopAudioInput();
}

void LuaResources::setMasterVolume(float volume)
{
	m_resources.setMasterVolume(volume);
}

void LuaResources::setTrackVolume(float volume, float track)
{
	if (audio::AudioOutput* output = m_resources.getAudioOutput())
		output->setTrackVolume(volume, lang::truncateTo<int>(track));
}

float LuaResources::getTrackVolume(float track)
{
	audio::AudioOutput* output = m_resources.getAudioOutput();
	return output ? output->getTrackVolume(lang::truncateTo<int>(track)) : 0.f;
}

bool LuaResources::openURL(const lang::String& url)
{
	lang::Ptr<pf::Launcher> launcher = new pf::Launcher;
	return launcher->openURL(url);
}

int LuaResources::createSpriteSheet(lua::LuaState* lua)
{
	m_resources.createSpriteSheet(lua->toString(1), reloadFlag(lua));
	return 0;
}

int LuaResources::createCompoSpriteSet(lua::LuaState* lua)
{
	m_resources.createCompoSpriteSet(lua->toString(1), reloadFlag(lua));
	return 0;
}

int LuaResources::createBitmapFont(lua::LuaState* lua)
{
	m_resources.createBitmapFont(lua->toString(1), reloadFlag(lua));
	return 0;
}

int LuaResources::createSystemFont(lua::LuaState* lua)
{
	m_resources.createSystemFont(lua->toString(1), reloadFlag(lua));
	return 0;
}

int LuaResources::createTextGroupSet(lua::LuaState* lua)
{
	m_resources.createTextGroupSet(lua->toString(1), reloadFlag(lua));
	return 0;
}

int LuaResources::createAudio(lua::LuaState* lua)
{
	const lang::String file = lua->toString(1);
	const lang::String name = lua->toString(2);
	// Streaming is the default; a third argument must be a boolean, nil included.
	const bool streamed = lua->top() < 3 || lua->toBoolean(3);
	m_resources.createAudio(file, name, streamed);
	return 0;
}

int LuaResources::drawSprite(lua::LuaState* lua)
{
	const int count = lua->top();
	const int s = lua->isNumber(2) ? 1 : 2;
	const lang::String name = lua->toString(s);
	const float x = lua->toNumber(s + 1);
	const float y = lua->toNumber(s + 2);
	Anchor anchor(Anchor::VPIVOT, Anchor::HPIVOT);
	if (count > s + 2)
		anchor.fromString(lua->toString(s + 3));
	if (count > s + 3)
		anchor.fromString(lua->toString(s + 4));
	// A size counts only after both anchor words, and only as a pair.
	if (count > s + 5)
		m_resources.drawSprite(name, x, y, lua->toNumber(s + 5), lua->toNumber(s + 6), anchor);
	else
		m_resources.drawSprite(name, x, y, anchor);
	return 0;
}

int LuaResources::drawString(lua::LuaState* lua)
{
	const int count = lua->top();
	const lang::String setKey = lua->toString(1);
	const lang::String textKey = lua->toString(2);
	const float x = lua->toNumber(3);
	const float y = lua->toNumber(4);
	Anchor anchor(Anchor::TOP, Anchor::LEFT);
	if (count > 4)
		anchor.fromString(lua->toString(5));
	if (count > 5)
		anchor.fromString(lua->toString(6));
	m_resources.drawString(setKey, textKey, x, y, anchor);
	return 0;
}

int LuaResources::playAudio(lua::LuaState* lua)
{
	const int count = lua->top();
	const lang::String name = lua->toString(1);
	float volume = 1.f;
	bool loop = false;
	int track = 0;
	if (count >= 2)
	{
		volume = lua->toNumber(2);
		if (count >= 3)
			loop = lua->toBoolean(3);
		if (count >= 4)
			track = lang::truncateTo<int>(lua->toNumber(4));
	}
	lua->pushNumber(static_cast<float>(m_resources.playAudio(name, volume, loop, track)));
	return 1;
}

int LuaResources::isAudioPlaying(lua::LuaState* lua)
{
	bool playing = false;
	// A numeric string names an id as a number does.
	if (lua->isNumber(1))
		playing = m_resources.isAudioPlaying(lang::truncateTo<int>(lua_tonumber(lua->interpreter(), 1)));
	else if (lua->isString(1))
		playing = m_resources.isAudioPlaying(lang::String(lua->toString(1)));
	lua->pushBoolean(playing);
	return 1;
}

int LuaResources::getSpriteBounds(lua::LuaState* lua)
{
	const lang::String name = lua->toString(nameIndex(lua));
	lua->pushNumber(static_cast<float>(m_resources.getSpriteWidth(name)));
	lua->pushNumber(static_cast<float>(m_resources.getSpriteHeight(name)));
	return 2;
}

int LuaResources::getSpritePivot(lua::LuaState* lua)
{
	const lang::String name = lua->toString(nameIndex(lua));
	lua->pushNumber(static_cast<float>(m_resources.getSpritePivotX(name)));
	lua->pushNumber(static_cast<float>(m_resources.getSpritePivotY(name)));
	return 2;
}

int LuaResources::getCompoSpriteBounds(lua::LuaState* lua)
{
	const lang::String name = lua->toString(nameIndex(lua));
	// Wide sums: a composite's box may span the whole int range.
	const long long width = m_resources.getSpriteWidth(name);
	const long long height = m_resources.getSpriteHeight(name);
	const long long pivotX = m_resources.getSpritePivotX(name);
	const long long pivotY = m_resources.getSpritePivotY(name);
	lua->pushNumber(static_cast<float>(-pivotX));
	lua->pushNumber(static_cast<float>(-pivotY));
	lua->pushNumber(static_cast<float>(width - pivotX));
	lua->pushNumber(static_cast<float>(height - pivotY));
	return 4;
}

int LuaResources::getCompoSpriteData(lua::LuaState* lua)
{
	const CompoSprite* compo = m_resources.getCompoSprite(lua->toString(1));
	lua->newTable();
	const int parts = compo ? compo->getSpriteCount() : 0;
	for (int i = 0; i < parts; ++i)
	{
		const CompoSprite::Entry& part = compo->getSpriteEntry(i);
		lua->newTable();
		lua->pushString(part.spriteName);
		lua->rawSetI(-2, 1);
		lua->pushNumber(part.x);
		lua->rawSetI(-2, 2);
		lua->pushNumber(part.y);
		lua->rawSetI(-2, 3);
		lua->rawSetI(-2, i + 1);
	}
	return 1;
}

} // game
