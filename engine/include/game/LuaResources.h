#ifndef GAME_LUARESOURCES_H
#define GAME_LUARESOURCES_H

#include <game/Resources.h>
#include <lua/LuaObject.h>

namespace gr
{
class Context;
}

namespace game
{

/**
 * The script table "res": the resource registry published to scripts as 44 functions on this
 * object's table, which the constructor stores as the global "res". Created once by the game
 * world with the Lua state and rendering device, both of which must outlive it; owns the
 * registry by value. Functions take their arguments from position 1 (dot calls); drawSprite,
 * drawCompoSprite, getSpriteBounds, getSpritePivot and getCompoSpriteBounds also accept the
 * colon call. Registry exceptions reach the script's caller unchanged.
 */
class LuaResources : public lua::LuaObject
{
public:
	LuaResources(lua::LuaState* lua, gr::Context* context);
	~LuaResources() override;

	/** The registry, for the game world's own drawing and sound. */
	Resources* getResources()							{ return &m_resources; }
	/** 0 without an audio output. */
	float getMasterVolume() const						{ return m_resources.getMasterVolume(); }

private:
	Resources m_resources;

	// Typed functions: strict argument conversion by the binding, one result at most.
	void setPath(const lang::String& dir);
	void createAudioOutput(float channels, float bitsPerSample, float samplesPerSecond);
	void createAudioInput(float channels, float bitsPerSample, float samplesPerSecond);
	void releaseSpriteSheet(const lang::String& name);
	void releaseCompoSpriteSet(const lang::String& name);
	void releaseFont(const lang::String& name);
	void releaseTextGroupSet(const lang::String& name);
	void loadLocale(const lang::String& setKey, const lang::String& code);
	void useLocale(const lang::String& code);
	void useFont(const lang::String& key);
	void setClipRect(float x, float y, float width, float height);
	/** Published as "getString"; named apart from the table's own getString. */
	lang::String getLocalisedString(const lang::String& setKey, const lang::String& textKey);
	void stopAudio(const lang::String& name);
	void stopAllAudio();
	float getStringWidth(const lang::String& text);
	float getFontMaxAscending();
	float getFontMaxDescending();
	float getFontLeading();
	float getFontTracking();
	float getFontHeight();
	lang::String getLocale();
	void startAudioOutput();
	void stopAudioOutput();
	void startAudioInput();
	void stopAudioInput();
	void setMasterVolume(float volume);
	void setTrackVolume(float volume, float track);
	float getTrackVolume(float track);
	bool openURL(const lang::String& url);

	// Raw functions: read the stack themselves and return their result count.
	int createSpriteSheet(lua::LuaState* lua);
	int createCompoSpriteSet(lua::LuaState* lua);
	int createBitmapFont(lua::LuaState* lua);
	int createSystemFont(lua::LuaState* lua);
	int createTextGroupSet(lua::LuaState* lua);
	int createAudio(lua::LuaState* lua);
	int drawSprite(lua::LuaState* lua);
	int drawString(lua::LuaState* lua);
	int playAudio(lua::LuaState* lua);
	int isAudioPlaying(lua::LuaState* lua);
	int getSpriteBounds(lua::LuaState* lua);
	int getSpritePivot(lua::LuaState* lua);
	int getCompoSpriteBounds(lua::LuaState* lua);
	int getCompoSpriteData(lua::LuaState* lua);
};

} // game

#endif
