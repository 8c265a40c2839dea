#ifndef FRAMEWORK_APP_H
#define FRAMEWORK_APP_H

#include <framework/TouchEvent.h>
#include <io/PathName.h>
#include <lang/Array.h>
#include <lang/String.h>

namespace gr
{
class Context;
}

namespace framework
{

class OSInterface;

/**
 * Base class of the one application object of the process: keys down, touches on the screen, the
 * quit request and the data sub-directory. The application derives from it and supplies update.
 * Created by framework::init, registered as the process-wide singleton by its constructor and
 * destroyed by deleteApp at termination; it borrows the OS interface.
 */
class App
{
public:
	/** Key codes, indexed 0 to 88; toString gives the name scripts use. */
	enum KeyType
	{
		NONE,
		A, B, C, D, E, F, G, H, I, J, K, L, M, N, O, P, Q, R, S, T, U, V, W, X, Y, Z,
		PAGEDOWN, PAGEUP, HOME, END, INSERT, DELETE, RETURN, SHIFT, CONTROL, TAB, SPACE, BACKSPACE,
		PAUSE, ESCAPE,
		F1, F2, F3, F4, F5, F6, F7, F8, F9, F10, F11, F12,
		LEFT, RIGHT, UP, DOWN, LBUTTON, MBUTTON, RBUTTON,
		KEY_0, KEY_1, KEY_2, KEY_3, KEY_4, KEY_5, KEY_6, KEY_7, KEY_8, KEY_9,
		MULTIPLY, ADD, SUBTRACT, DIVIDE, LEFTSOFT, RIGHTSOFT, MIDDLE, ASTERISK, HASH, CLEAR, EDIT, SEND,
		VOLUME_UP, VOLUME_DOWN, KEY_GAMING_A, KEY_GAMING_B, KEY_BACK, KEY_MENU, KEY_ALT,
		KEY_COUNT
	};

	/** The start-up record that framework::configure fills. */
	struct Configuration
	{
		lang::String name;
		int width;
		int height;
		/** 32 selects 8-bit RGBA for the GL view, anything else 16-bit RGB565. */
		int bits;
		bool fullscreen;
		bool showCursor;
		/** The GL view gets a 16-bit depth buffer. */
		bool depthbuffer;
		bool stencilbuffer;
		bool captureMouse;
		int iconResourceID;
		const char* const* usedShaders;
		const char* const* usedParticles;
		int idleTime;
		bool debugMemoryAllocs;
		/** The rendering device's start orientation (gr::Context::OrientationType). */
		int orientation;
		lang::String dbusInterface;
		/** Target frames a second. */
		int framerate;
		lang::String publisher;
		lang::String product;
		/** Rendering device types in order of preference. */
		lang::Array<int> renderer;
		bool singleton;

		Configuration();
	};

	explicit App(OSInterface* os);
	virtual ~App();

	/** Called once a frame; dt in seconds. */
	virtual void update(float dt, gr::Context* context, int flags) = 0;
	virtual void keyDown(KeyType key);
	virtual void keyUp(KeyType key);
	virtual void orientationChanged();
	virtual void resolutionChanged();
	virtual void mouseMove(int x, int y);
	virtual void mouseWheel(int delta);
	/** Appends the touch to the list. */
	virtual void touchBegan(const TouchEvent& touch);
	/** Overwrites the first touch of the same id. */
	virtual void touchMoved(const TouchEvent& touch);
	/** Removes the first touch of the same id. */
	virtual void touchEnded(const TouchEvent& touch);
	/** A touch the system took away (a call, a gesture of its own): ends it as touchEnded does. */
	virtual void touchCancelled(const TouchEvent& touch);
	/** Clears every key flag and the touch list, whatever the argument. */
	virtual void activate(bool active);
	virtual bool activateAudio(bool active);

	void quit(int code);
	bool quitRequested() const								{ return m_quit; }
	int exitCode() const									{ return m_exitCode; }
	void setKeyDown(KeyType key, bool down)					{ m_keyDown[key] = down; }
	bool isKeyDown(KeyType key) const						{ return m_keyDown[key]; }
	const lang::Array<TouchEvent>& touches() const			{ return m_touches; }
	void setDataPath(const lang::String& path);
	/** The default data path, the data path and name joined. */
	lang::String path(const lang::String& name) const;
	OSInterface* os() const									{ return m_os; }

	/** The key's name; null outside 0 to 88. */
	static const char* toString(KeyType key);
	/** The key of a name; NONE for an unknown one. */
	static KeyType toKeyType(const lang::String& name);
	static App* get();
	static bool initialized();
	/** Destroys the registered application (if any) and empties the application-data roots. */
	static void deleteApp();

private:
	OSInterface* m_os;
	io::PathName m_dataPath;
	bool m_keyDown[KEY_COUNT];
	bool m_quit;
	int m_exitCode;
	lang::Array<TouchEvent> m_touches;

	App(const App&);
	App& operator=(const App&);
};

/** Supplied by the application: fills the configuration before any window or device exists. */
void configure(App::Configuration& config, OSInterface& os);
/** Supplied by the application: creates the application once the rendering device exists. */
App* init(OSInterface* os, gr::Context* context);

/** The names of the keys, indexed by App::KeyType. */
extern const char* const s_keysz[App::KEY_COUNT];

} // framework

#endif
