#ifndef GAME_RESOURCES_H
#define GAME_RESOURCES_H

#include <audio/AudioClip.h>
#include <audio/AudioConfiguration.h>
#include <audio/AudioInput.h>
#include <audio/AudioOutput.h>
#include <game/Anchor.h>
#include <game/CompoSpriteSet.h>
#include <game/IFont.h>
#include <game/SpriteProvider.h>
#include <game/SpriteSheet.h>
#include <game/TextGroupSet.h>
#include <gr/Rect.h>
#include <io/PathName.h>
#include <lang/Array.h>
#include <lang/Hashtable.h>
#include <lang/Object.h>
#include <lang/Ptr.h>
#include <lang/String.h>

namespace gr
{
class Context;
}

namespace game
{

/**
 * The named registry of the game's 2D assets and sounds: sprite sheets, composite sprite sets,
 * fonts, localised text sets and audio clips, each under a short key, plus every sprite and
 * composite sprite by its own name. Created once at start-up and held through lang::Ptr (or by
 * value in the script table); owns everything it has loaded and the audio output and input. The
 * rendering device is not owned and must outlive it. Main thread only.
 *
 * Resource files are registered under the base name of the name given (ui/menu.dat -> "menu")
 * and read from that name joined to the resource directory. Lookups by name never throw: an
 * unknown name gives null, 0, -1 or nothing drawn.
 */
class Resources : public lang::Object, public SpriteProvider
{
public:
	/** One row of the sprite registry: what a sprite name stands for and which set owns it. */
	struct SpriteEntry
	{
		enum Type
		{
			NONE = 0,
			SPRITE = 1,
			COMPOSPRITE = 2
		};

		int type;
		/** Key of the sprite sheet (SPRITE) or composite sprite set (COMPOSPRITE) holding the object. */
		lang::String owner;
		/** A Sprite or a CompoSprite by type; kept alive by its owning set, not by the row. */
		lang::Object* object;

		SpriteEntry() : type(NONE), object(nullptr) {}
		SpriteEntry(int t, const lang::String& o, lang::Object* obj) : type(t), owner(o), object(obj) {}
	};

	explicit Resources(gr::Context* context);
	~Resources() override;

	Resources(const Resources&) = delete;
	Resources& operator=(const Resources&) = delete;

	/** Later loads resolve file names against dir; what is loaded stays. */
	void setPath(const lang::String& dir);
	const io::PathName& getPath() const					{ return m_path; }
	/** Clips all later 2D drawing of the device to rect (screen pixels). */
	void setClipRect(const gr::Rect& rect);
	const gr::Rect& getClipRect() const					{ return m_clipRect; }
	gr::Context* getContext() const						{ return m_context; }

	/**
	 * Loaders: without reload, a key already held is returned as it is and nothing is read.
	 * Otherwise the file is read and replaces what the key held; a failed read changes nothing
	 * (except that a text set whose language list fails to read stays stored).
	 */
	SpriteSheet* createSpriteSheet(const lang::String& name, bool reload);
	/** Parts are found among the plain sprites already registered, never among composites. */
	CompoSpriteSet* createCompoSpriteSet(const lang::String& name, bool reload);
	/** Reloading the current font makes the new font current. */
	IFont* createBitmapFont(const lang::String& name, bool reload);
	/** No system fonts exist: returns null and registers nothing. */
	IFont* createSystemFont(const lang::String& name, bool reload);
	/** Reads the set's language list but no texts; loadLocale loads a language. */
	TextGroupSet* createTextGroupSet(const lang::String& name, bool reload);

	/**
	 * Releasers take a name reduced to its key; a key not held does nothing. A sheet's sprites
	 * leave the registry at once, but the sheet itself lives on while composite sprite sets
	 * built on it are loaded. Releasing the current font leaves no current font.
	 */
	void releaseSpriteSheet(const lang::String& name);
	void releaseCompoSpriteSet(const lang::String& name);
	void releaseFont(const lang::String& name);
	void releaseTextGroupSet(const lang::String& name);

	/** A plain sprite by name; null for a composite or an unknown name. Owned by its sheet. */
	Sprite* getSprite(const lang::String& name) override;
	CompoSprite* getCompoSprite(const lang::String& name) const;
	/** The sheet held under key, taken as it is (not reduced to a base name). */
	SpriteSheet* getSpriteSheet(const lang::String& key) const;
	/** The sheet that owns the sprite of that name. */
	SpriteSheet* findSpriteSheet(const lang::String& spriteName) const;
	/** The set that owns the composite sprite of that name. */
	CompoSpriteSet* findCompoSpriteSet(const lang::String& name) const;
	IFont* getBitmapFont(const lang::String& key) const;
	TextGroupSet* getTextGroupSet(const lang::String& key) const;

	/** Size and pivot in pixels of a sprite, or of a composite's bounding box; 0 for unknown names. */
	int getSpriteWidth(const lang::String& name) const;
	int getSpriteHeight(const lang::String& name) const;
	int getSpritePivotX(const lang::String& name) const;
	int getSpritePivotY(const lang::String& name) const;

	/** Draws a sprite or a composite sprite by name with its anchor point at (x, y). */
	void drawSprite(const lang::String& name, float x, float y, Anchor anchor);
	/** A sprite stretched to width x height; a composite always at its own size. */
	void drawSprite(const lang::String& name, float x, float y, float width, float height, Anchor anchor);

	/** Makes the font under key current; a key not held keeps the current font. */
	void useFont(const lang::String& key);
	/** The current font, or null. */
	IFont* getFont() const;
	const lang::String& getFontName() const				{ return m_fontName; }

	/** Metrics of the current font in pixels; each throws lang::Exception when no font is set. */
	int getFontHeight() const;
	int getFontMaxAscending() const;
	int getFontMaxDescending() const;
	int getFontLeading() const;
	int getFontTracking() const;
	/** Width of count UTF-16 code units of text from begin in the current font. */
	int getStringWidth(const lang::String& text, int begin, int count) const;
	/** Draws the localised text of textKey from the set under setKey in the current font. */
	void drawString(const lang::String& setKey, const lang::String& textKey, float x, float y, Anchor anchor);

	/** The language used for texts from now on; loads nothing. */
	void useLocale(const lang::String& code);
	const lang::String& getLocale() const				{ return m_locale; }
	/**
	 * Loads the language's texts of the set under setKey, then drops its other languages. A
	 * failed load (an exception, or no texts for the language in the file) keeps the languages
	 * loaded before. The current locale is not changed.
	 */
	void loadLocale(const lang::String& setKey, const lang::String& code);
	/**
	 * The text of textKey in the current locale. When no set is held under setKey, textKey
	 * itself is returned, so an unloaded text shows its key. A copy: a group's own text moves
	 * when a later untranslated key is added to it.
	 */
	lang::String getString(const lang::String& setKey, const lang::String& textKey);

	/** Replaces the held output (the old one goes first); configuration errors pass through. */
	audio::AudioOutput* createAudioOutput(const audio::AudioConfiguration& config);
	audio::AudioInput* createAudioInput(const audio::AudioConfiguration& config);
	audio::AudioOutput* getAudioOutput() const;
	audio::AudioInput* getAudioInput() const;
	void startAudioOutput();
	void stopAudioOutput();
	void startAudioInput();
	void stopAudioInput();
	void setMasterVolume(float volume);
	/** 0 without an output. */
	float getMasterVolume() const;

	/**
	 * Makes a clip of file (joined to the resource directory) under name, unchanged. A streamed
	 * clip reads its file while it plays; otherwise the sound is decoded into memory now, except
	 * that MP3 always streams. A clip it replaces stops playing first.
	 */
	audio::AudioClip* createAudio(const lang::String& file, const lang::String& name, bool streamed);
	audio::AudioClip* getAudio(const lang::String& name) const;
	/** Id of the new playing instance; -1 for an unknown name or a refused play. */
	int playAudio(const lang::String& name, float volume, bool loop, int track);
	bool isAudioPlaying(const lang::String& name) const;
	bool isAudioPlaying(int id) const;
	void stopAudio(const lang::String& name);
	void stopAllAudio();

private:
	gr::Context* m_context;
	gr::Rect m_clipRect;
	lang::Ptr<audio::AudioOutput> m_audioOutput;
	lang::Ptr<audio::AudioInput> m_audioInput;
	/** Counted so a font released or reloaded while current is never left dangling. */
	lang::Ptr<IFont> m_font;
	lang::String m_fontName;
	io::PathName m_path;
	lang::String m_locale;
	lang::Hashtable<lang::String, lang::Ptr<TextGroupSet>> m_textGroupSets;
	lang::Hashtable<lang::String, lang::Ptr<SpriteSheet>> m_spriteSheets;
	/**
	 * The sheets each composite sprite set's parts point into, by the set's key, so that a sheet
	 * released or reloaded under a loaded composite set stays alive until the set goes.
	 */
	lang::Hashtable<lang::String, lang::Array<lang::Ptr<SpriteSheet>>> m_compoSpriteSheets;
	lang::Hashtable<lang::String, lang::Ptr<CompoSpriteSet>> m_compoSpriteSets;
	lang::Hashtable<lang::String, lang::Ptr<IFont>> m_fonts;
	lang::Hashtable<lang::String, lang::Ptr<audio::AudioClip>> m_audioClips;
	lang::Hashtable<lang::String, SpriteEntry> m_spriteRegistry;

	/** The registry key of a resource file name: its base name. */
	static lang::String keyOf(const lang::String& name);
	/** The file name joined to the resource directory. */
	lang::String fileOf(const lang::String& name) const;
	const SpriteEntry* findEntry(const lang::String& name) const;
	/** The current font; throws lang::Exception with message when there is none. */
	const IFont& requireFont(const char* message) const;
	audio::AudioOutput& requireOutput(const char* message) const;

	void addSpritesToRegistry(const SpriteSheet* sheet, const lang::String& key);
	void addSpritesToRegistry(const CompoSpriteSet* set, const lang::String& key);
	void removeSpritesFromRegistry(const SpriteSheet* sheet, const lang::String& key);
	void removeSpritesFromRegistry(const CompoSpriteSet* set, const lang::String& key);
	/** Removes the row of name if type and owner key are its own, leaving a newer owner's row. */
	void removeRegistryRow(const lang::String& name, int type, const lang::String& key);
	/** Every sheet that the parts of the set's composites point into. */
	static lang::Array<lang::Ptr<SpriteSheet>> sheetsUnder(const CompoSpriteSet* set);
};

} // game

#endif
