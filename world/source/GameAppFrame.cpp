#include <world/GameApp.h>

#include <framework/OSInterface.h>
#include <game/LuaResources.h>
#include <gr/Context.h>
#include <lang/Debug.h>
#include <pf/Accelerometer.h>
#include <pf/OrientationObserver.h>
#include <world/GameCenter.h>
#include <world/GameLua.h>
#include <world/GameRatingPrompt.h>
#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

// The keys whose states reach the scripts every frame, in the order they are copied.
const framework::App::KeyType WATCHED_KEYS[] = {
	framework::App::LBUTTON, framework::App::KEY_BACK, framework::App::KEY_MENU,
	framework::App::VOLUME_UP, framework::App::VOLUME_DOWN,
};
// A keyboard has no Back key: its Escape stands for the tablet's.
const framework::App::KeyType KEYBOARD_BACK = framework::App::ESCAPE;
// Master volume change of one volume key press.
const float VOLUME_STEP = 0.1f;
// Filtered acceleration along y, in g, past which the picture flips between the landscapes.
const float FLIP_THRESHOLD = 0.75f;
const int LANDSCAPE_RIGHT = 1;
const int LANDSCAPE_LEFT = 3;
// Where a script's failure met in the input tables is logged.
const char* const INPUT = "input";

bool pressedIn(const lua::LuaTable& pressed, const char* name)
{
	return pressed.isBoolean(name) && pressed.getBoolean(name);
}

framework::App::KeyType tabletKey(framework::App::KeyType key)
{
	return key == KEYBOARD_BACK ? framework::App::KEY_BACK : key;
}

} // namespace

// The game's own reads and writes of the scripts' input tables fail only when a script has put
// something else in a table's place; that is logged and the frame goes on without the input.
void GameApp::update(float dt, gr::Context* context, int)
{
	m_gameLua->guardScript(INPUT, [&] { followInput(dt, context); });
	renderFrame(dt, context);
	m_gameLua->guardScript(INPUT, [&] {
		lua::LuaTable cursor = m_gameLua->getTable("cursor");
		cursor.setBoolean("wheelTriggered", false);
		cursor.setBoolean("cancelled", false);
	});
}

void GameApp::followInput(float dt, gr::Context* context)
{
	m_zoom.update(dt);
	const lang::Array<framework::TouchEvent>& fingers = touches();
	if (fingers.size() == 2)
	{
		const float dx = static_cast<float>(fingers[0].x) - static_cast<float>(fingers[1].x);
		const float dy = static_cast<float>(fingers[0].y) - static_cast<float>(fingers[1].y);
		m_zoom.pinch(std::sqrt(dx * dx + dy * dy));
	}
	else
	{
		m_zoom.endPinch();
	}
	copyKeyStates();
	const lua::LuaTable pressed = m_gameLua->getTable("keyPressed");
	if (pressedIn(pressed, "VOLUME_UP") || pressedIn(pressed, "ADD"))
		stepVolume(VOLUME_STEP);
	if (pressedIn(pressed, "VOLUME_DOWN") || pressedIn(pressed, "SUBTRACT"))
		stepVolume(-VOLUME_STEP);
	followAccelerometer(context);
	applyResolutionRequest(context);
}

void GameApp::copyKeyStates()
{
	lua::LuaTable pressed = m_gameLua->getTable("keyPressed");
	lua::LuaTable released = m_gameLua->getTable("keyReleased");
	lua::LuaTable held = m_gameLua->getTable("keyHold");
	for (KeyType k : WATCHED_KEYS)
	{
		const char* name = toString(k);
		pressed.setBoolean(name, m_pressed[k]);
		released.setBoolean(name, m_released[k]);
		held.setBoolean(name, isKeyDown(k) || (k == KEY_BACK && isKeyDown(KEYBOARD_BACK)));
		m_pressed[k] = false;
		m_released[k] = false;
	}
}

void GameApp::stepVolume(float delta)
{
	const float volume = std::max(std::min(m_luaResources->getMasterVolume() + delta, 1.0f), 0.0f);
	m_luaResources->getResources()->setMasterVolume(volume);
	if (m_gameLua->isTable("settings"))
		m_gameLua->getTable("settings").setNumber("volume", volume);
}

void GameApp::followAccelerometer(gr::Context* context)
{
	const float y = m_accelerometer->getDataFiltered().y;
	if (context->orientation() == LANDSCAPE_RIGHT)
	{
		if (y > FLIP_THRESHOLD)
			setOrientation(LANDSCAPE_LEFT);
	}
	else if (y <= -FLIP_THRESHOLD)
	{
		setOrientation(LANDSCAPE_RIGHT);
	}
}

void GameApp::setOrientation(int orientation)
{
	os()->setOrientation(static_cast<gr::Context::OrientationType>(orientation));
	if (m_gameCenter)
		m_gameCenter->setOrientation(static_cast<gr::Context::OrientationType>(orientation));
	gCurrentOrientation = orientation;
	if (gOrientationObserver)
		gOrientationObserver->onOrientationChanged(orientation);
}

void GameApp::applyResolutionRequest(gr::Context* context)
{
	if (!m_gameLua->isString("deviceModel") || !(m_gameLua->getString("deviceModel") == lang::String("iphone4")))
		return;
	if (!m_gameLua->isBoolean("changeResolution") || !m_gameLua->getBoolean("changeResolution"))
		return;
	if (m_gameLua->isString("wantedResolution") && m_gameLua->getString("wantedResolution") == lang::String("FULL"))
	{
		os()->setResolution(context->nativeWidth(), context->nativeHeight());
		lang::Debug::printf("Retina resolution\n");
	}
	else
	{
		os()->setResolution(context->nativeWidth() / 2, context->nativeHeight() / 2);
		lang::Debug::printf("Half resolution\n");
	}
	m_gameLua->setBoolean("changeResolution", false);
}

void GameApp::renderFrame(float dt, gr::Context* context)
{
	{
		gr::Context::RenderScene scene(context);
		m_gameLua->update(dt);
		FrameCosts::Timer timer(m_gameLua->frameCosts(), &FrameCosts::drawing);
		context->clear(m_gameLua->getBGColor(), true, true, true);
		m_gameLua->draw();
	}
	{
		FrameCosts::Timer timer(m_gameLua->frameCosts(), &FrameCosts::present);
		context->present();
	}
	context->statistics.reset();
}

void GameApp::clearKeyMarks()
{
	std::fill(std::begin(m_pressed), std::end(m_pressed), false);
	std::fill(std::begin(m_released), std::end(m_released), false);
}

void GameApp::keyDown(KeyType key)
{
	m_pressed[tabletKey(key)] = true;
	if (key == LBUTTON)
		setCursorPoint("pressX", "pressY", m_pointerX, m_pointerY);
}

void GameApp::keyUp(KeyType key)
{
	m_released[tabletKey(key)] = true;
	if (key == LBUTTON)
		setCursorPoint("releaseX", "releaseY", m_pointerX, m_pointerY);
}

void GameApp::mouseMove(int x, int y)
{
	m_pointerX = x;
	m_pointerY = y;
	setCursorPoint("x", "y", x, y);
}

void GameApp::setCursorPoint(const char* xName, const char* yName, int x, int y)
{
	if (!m_gameLua)
		return;
	m_gameLua->guardScript(INPUT, [&] {
		lua::LuaTable cursor = m_gameLua->getTable("cursor");
		cursor.setNumber(xName, static_cast<float>(x));
		cursor.setNumber(yName, static_cast<float>(y));
	});
}

void GameApp::mouseWheel(int delta)
{
	m_zoom.wheel(delta, isKeyDown(SHIFT), isKeyDown(CONTROL));
	m_gameLua->guardScript(INPUT, [&] {
		lua::LuaTable cursor = m_gameLua->getTable("cursor");
		cursor.setNumber("wheel", static_cast<float>(delta));
		cursor.setBoolean("wheelTriggered", true);
	});
}

void GameApp::touchCancelled(const framework::TouchEvent& touch)
{
	framework::App::touchCancelled(touch);
	if (m_gameLua)
		m_gameLua->guardScript(INPUT, [&] { m_gameLua->getTable("cursor").setBoolean("cancelled", true); });
}

// Keys and touches that arrived while the game was away are not played when it comes back: the
// level it paused stays paused until the player acts.
void GameApp::activate(bool active)
{
	framework::App::activate(active);
	clearKeyMarks();
	if (m_gameLua)
		m_gameLua->activate(active);
	if (m_accelerometer)
	{
		if (active)
			m_accelerometer->start();
		else
			m_accelerometer->stop();
	}
	if (active)
		GameRatingPrompt::appBecameActive();
}

bool GameApp::activateAudio(bool on)
{
	m_audioActive = on;
	game::Resources* resources = m_luaResources->getResources();
	if (!on)
	{
		resources->stopAudioInput();
		resources->stopAudioOutput();
		return true;
	}
	bool enabled = true;
	if (m_gameLua->isTable("settings"))
	{
		const lua::LuaTable settings = m_gameLua->getTable("settings");
		if (settings.isBoolean("audioEnabled"))
			enabled = settings.getBoolean("audioEnabled");
	}
	if (enabled && resources->getAudioOutput())
		resources->startAudioOutput();
	if (resources->getAudioInput())
		resources->startAudioInput();
	return true;
}
