#ifndef WORLD_GAMEAPP_H
#define WORLD_GAMEAPP_H

#include <framework/App.h>
#include <lang/Ptr.h>
#include <lang/String.h>
#include <world/WorldZoom.h>

namespace game { class LuaResources; }
namespace gr { class Context; }
namespace io { class FileBundle; }
namespace lua { class LuaState; }
namespace pf { class Accelerometer; }

class GameCenter;
class GameLua;

/**
 * The game application: assembles the Lua state, the resource registry, the file bundle, the game
 * world and its scripts at construction, drives one frame per update and feeds keys, the wheel,
 * the pointer and activation into the scripts' tables. Created by framework::init and deleted by
 * the application shell at termination; owns everything it builds, borrows the OS interface and
 * the rendering device. A failing start-up step releases what was built and rethrows.
 */
class GameApp : public framework::App
{
public:
	/** The process-wide path strings that framework::configure sets and start-up consumes. */
	static lang::String s_datapath;
	static lang::String s_imagePath;
	static lang::String s_fontPath;
	static lang::String s_audioPath;
	static lang::String s_localizationPath;
	static lang::String s_levelPath;
	static lang::String s_scriptPath;
	static lang::String s_deviceModel;

	GameApp(gr::Context* context, framework::OSInterface* os);
	~GameApp() override;

	void update(float dt, gr::Context* context, int flags) override;
	// Escape, which a keyboard has in place of the Back key, reaches the scripts as KEY_BACK. The
	// left button's press and release also set "pressX", "pressY" and "releaseX", "releaseY" of
	// the scripts' "cursor" table to the pointer's position, so that a frame that brings a
	// release together with the next press tells where each of them happened.
	void keyDown(KeyType key) override;
	void keyUp(KeyType key) override;
	// Sets "x" and "y" of the scripts' "cursor" table.
	void mouseMove(int x, int y) override;
	void mouseWheel(int delta) override;
	// The scripts see "cancelled" in their "cursor" table until the end of the next frame, so the
	// release that the cancel brings with it can be told from a lift of the finger.
	void touchCancelled(const framework::TouchEvent& touch) override;
	void activate(bool active) override;
	bool activateAudio(bool on) override;

	// Written by the game world's script methods.
	void setWorldScale(float scale)						{ m_zoom.setScale(scale); }
	void setMaxWorldScale(float scale)					{ m_zoom.setMaxScale(scale); }
	void enableSmoothZooming(bool on)					{ m_zoom.enableSmoothZooming(on); }
	void setMultitouchMouseWheelSimulationEnabled(bool on)	{ m_multitouchWheelSimulation = on; }

	float worldScale() const							{ return m_zoom.scale(); }
	float previousScale() const							{ return m_zoom.previousScale(); }
	bool isAudioActive() const							{ return m_audioActive; }
	GameLua* gameLua() const							{ return m_gameLua; }
	game::LuaResources* luaResources() const			{ return m_luaResources; }

private:
	WorldZoom m_zoom;
	bool m_audioActive;
	// The scripts' request, kept; no touch count is kept that would make the wheel drop events
	// while it is off, so every wheel event is handled.
	bool m_multitouchWheelSimulation;
	lang::Ptr<io::FileBundle> m_bundle;
	lang::Ptr<lua::LuaState> m_lua;
	lang::Ptr<GameLua> m_gameLua;
	GameCenter* m_gameCenter;
	lang::Ptr<pf::Accelerometer> m_accelerometer;
	lang::Ptr<game::LuaResources> m_luaResources;
	bool m_pressed[KEY_COUNT];
	bool m_released[KEY_COUNT];
	// Where the last mouseMove put the pointer, screen pixels.
	int m_pointerX;
	int m_pointerY;

	void start(gr::Context* context);
	/** Takes down whatever start-up built, in reverse order; safe on a partly built application. */
	void release();
	void installBundle();
	// Whether the data folder that path() names holds the game's data.
	bool holdsGameData(const lang::String& logicName) const;
	// Throws io::FileNotFoundException when the game logic is missing: naming the data directory
	// with the system's reason when that cannot be opened, else the data folder looked for in it.
	void requireGameData(const lang::String& logic);
	// Throws lang::Exception naming the game logic when it is damaged and cannot run.
	void loadStartupScripts(const lang::String& logic);
	void createShaders(gr::Context* context);
	void publishKeyTables();
	void startGameCenter(gr::Context* context);
	float savedVolume() const;

	// Zoom, keys, volume keys, orientation and resolution requests of one frame.
	void followInput(float dt, gr::Context* context);
	void copyKeyStates();
	void clearKeyMarks();
	void setCursorPoint(const char* xName, const char* yName, int x, int y);
	void stepVolume(float delta);
	void followAccelerometer(gr::Context* context);
	void setOrientation(int orientation);
	void applyResolutionRequest(gr::Context* context);
	void renderFrame(float dt, gr::Context* context);
};

#endif
