#include <world/GameLua.h>

#include <audio/AudioOutput.h>
#include <framework/App.h>
#include <framework/OSInterface.h>
#include <game/Resources.h>
#include <gr/Context.h>
#include <lang/Debug.h>
#include <lang/Exception.h>
#include <lang/Truncate.h>
#include <lua/LuaStackRestore.h>
#include <lua/LuaState.h>
#include <pf/DeviceID.h>
#include <world/FileKeys.h>
#include <world/GameApp.h>
#include <world/MaskedImage.h>
#include <world/Particles.h>
#include <world/SaveCheck.h>
#include <world/uniqueid.h>
#include <algorithm>
#include <cmath>

namespace {

// Gravity in metres per second squared; y grows downward, toward the ground.
const b2Vec2 GRAVITY(0.0f, 20.0f);

// The most clips that may play at once on each mixer track (tracks 1 to 5).
struct ClipLimit
{
	int track;
	int limit;
};
const ClipLimit CLIP_LIMITS[] = {{1, 4}, {2, 6}, {3, 3}, {4, 5}, {5, 5}};

// The player's saves in the documents directory.
const char* const HIGHSCORES_FILE = "highscores.lua";
const char* const SETTINGS_FILE = "settings.lua";

// Largest value of a colour component.
constexpr int COLOUR_MAX = 255;

unsigned int colourComponent(float value)
{
	return static_cast<unsigned int>(lang::truncateToRange(value, 0, COLOUR_MAX));
}

} // namespace

GameLua::GameLua(framework::App* app, game::Resources* resources, lua::LuaState* lua, gr::Context* context) :
	lua::LuaObject(lua),
	m_context(context),
	m_app(app),
	m_resources(resources),
	m_particles(nullptr),
	m_keyPressed(lua),
	m_keyReleased(lua),
	m_keyHold(lua),
	m_cursor(lua),
	m_deterministicPhysics(false),
	m_scaredFromBlockExplosion(false),
	m_inGameParticlesEnabled(true),
	m_multitouchSweep(lua),
	m_multitouchZoom(lua),
	m_bgColor(0),
	m_world(nullptr),
	m_objectsTable(lua),
	m_clippedText(lua),
	m_blockTable(lua),
	m_physicsSimulationScale(1.0f),
	m_physicsEnabled(false),
	m_editing(false),
	m_scriptsReady(false),
	m_topLeftX(0.0f),
	m_topLeftY(0.0f),
	m_accumulator(0.0f),
	m_worldScale(1.0f),
	m_impactDivisor(10.0f),
	m_levelLimitLeft(0),
	m_levelLimitRight(0),
	m_gameCenter(nullptr),
	m_frameKeys(lua)
{
	m_maskedImage = new MaskedImage(context);

	m_dataKey = FileKeys::dataKey();
	m_saveKey = FileKeys::saveKey();
	m_deviceKey = FileKeys::deviceKey(m_dataKey, getUniqueID());

	registerScriptMethods();

	const lang::Ptr<pf::DeviceID> deviceId = new pf::DeviceID;
	setString("uniqueDeviceId", deviceId->getDeviceIDHash());
	setNumber("screenWidth", static_cast<float>(context->width()));
	setNumber("screenHeight", static_cast<float>(context->height()));

	setTable("keyPressed", m_keyPressed);
	setTable("keyReleased", m_keyReleased);
	setTable("keyHold", m_keyHold);
	setTable("cursor", m_cursor);
	setTable("multitouchSweep", m_multitouchSweep);
	setTable("multitouchZoom", m_multitouchZoom);
	m_multitouchZoom.setNumber("zoomCoolingTime", -1.0f);
	setTable("clippedText", m_clippedText);
	setTable("objects", m_objectsTable);

	createPhysicsWorld();

	lua::LuaTable highscores = loadPersistentFile(HIGHSCORES_FILE);
	SaveCheck::checkHighscores(highscores, HIGHSCORES_FILE);
	setTable("highscores", highscores);
	lua::LuaTable settings = loadPersistentFile(SETTINGS_FILE);
	SaveCheck::checkSettings(settings, SETTINGS_FILE);
	setTable("settings", settings);

	m_particles = new Particles(lua, this, resources);
}

GameLua::~GameLua()
{
	saveSettings();
	clearWorld();
	delete m_world;
	delete m_particles;
	m_newsView = nullptr;
	m_maskedImage = nullptr;
}

void GameLua::createPhysicsWorld()
{
	m_world = new b2World(GRAVITY);
	m_world->SetAllowSleeping(true);
	m_world->SetAutoClearForces(false);
	// A level of many touching bodies needs more scratch memory in a step than the library
	// keeps; kept between steps, it is not taken from the system again at every step.
	m_world->SetStackGrowth(true);
	m_world->SetContactListener(this);
	m_world->SetContactFilter(this);
}

void GameLua::draw()
{
	callScript("draw");
}

// Deactivation is the last moment a quitting or killed game is sure to get, so settings are
// saved, and the repeats of script errors logged, then and not only when the world is destroyed.
void GameLua::activate(bool active)
{
	if (m_scriptsReady)
		callScript(active ? "gameResumed" : "gamePaused");
	if (!active)
	{
		saveSettings();
		m_scriptErrors.flush();
	}
}

void GameLua::createAssets()
{
	call("createStartUpAssets");
	audio::AudioOutput* output = m_resources->getAudioOutput();
	if (!output)
		return;
	for (const ClipLimit& clipLimit : CLIP_LIMITS)
		output->setClipCountLimit(clipLimit.track, clipLimit.limit);
}

void GameLua::requestExit()
{
	saveSettings();
	m_app->quit(0);
}

void GameLua::print(const lang::String& text)
{
	lang::Debug::printf("%s", text.c_str());
}

void GameLua::setBGColor(float red, float green, float blue)
{
	m_bgColor = colourComponent(blue) + colourComponent(green) * 256 + colourComponent(red) * 65536;
}

void GameLua::captureMouse(bool capture)
{
	m_app->os()->captureMouse(capture);
}

bool GameLua::isMouseCaptured()
{
	return m_app->os()->isMouseCaptured();
}

void GameLua::setFullScreenMode(bool fullscreen)
{
	m_app->os()->setFullscreen(fullscreen);
}

void GameLua::setResolution(float width, float height)
{
	m_app->os()->setResolution(lang::truncateTo<int>(width), lang::truncateTo<int>(height));
}

bool GameLua::isInFullScreenMode()
{
	return m_app->os()->isFullscreen();
}

// The zoom settings (mouse-wheel simulation, smooth zooming, maximum world scale) are fields of
// the game application; a world under another application keeps none of them.
GameApp* GameLua::gameApp() const
{
	return dynamic_cast<GameApp*>(m_app);
}

void GameLua::setIsMultitouchMouseWheelSimulationEnabled(bool enabled)
{
	if (GameApp* app = gameApp())
		app->setMultitouchMouseWheelSimulationEnabled(enabled);
}

bool GameLua::doesMouseClickSetsTouchCount()
{
	return false;
}

void GameLua::enableSmoothZooming(bool enabled)
{
	if (GameApp* app = gameApp())
		app->enableSmoothZooming(enabled);
}

void GameLua::setPhysicsSimulationScale(float scale)
{
	m_physicsSimulationScale = scale;
}

void GameLua::setPhysicsEnabled(bool enabled)
{
	m_physicsEnabled = enabled;
}

bool GameLua::isPhysicsEnabled()
{
	return m_physicsEnabled;
}

void GameLua::setTopLeft(float x, float y)
{
	m_topLeftX = x;
	m_topLeftY = y;
}

void GameLua::setMaxWorldScale(float scale)
{
	if (GameApp* app = gameApp())
		app->setMaxWorldScale(scale);
}

void GameLua::setEditing(bool editing)
{
	m_editing = editing;
}

void GameLua::setWorldScale(float scale)
{
	m_worldScale = scale;
	if (GameApp* app = gameApp())
		app->setWorldScale(scale);
}

void GameLua::createDirectory(const lang::String&)
{
}

bool GameLua::checkDirectory(const lang::String&)
{
	return false;
}

void GameLua::throwException(const lang::String&)
{
	lang::throwError(lang::Exception());
}

void GameLua::setLevelLimits(float a, float, float c, float)
{
	m_levelLimitLeft = lang::truncateTo<int>(a);
	m_levelLimitRight = lang::truncateTo<int>(c);
}

void GameLua::goToTaskSwitcherLua()
{
}

void GameLua::setGameOn(bool on)
{
	m_app->os()->allowSleep(!on);
}

void GameLua::activateSocialUI()
{
}

void GameLua::activateSocialUIAtProfile()
{
}

void GameLua::deactivateSocialUI()
{
}

void GameLua::showSocialSplash()
{
}

bool GameLua::isSocialSplashShowing()
{
	return false;
}

bool GameLua::isSocialUIShowing()
{
	return false;
}

bool GameLua::userEnabledSocial()
{
	return false;
}

void GameLua::avoidSocialBackgroundActivity(bool)
{
}

void GameLua::getLeaderboardScoresForPlayers()
{
}

void GameLua::showAdvertisement()
{
}

void GameLua::hideAdvertisement()
{
}

void GameLua::showVideoAdvertisement()
{
}

void GameLua::requestVideoAd()
{
}

void GameLua::requestAndShowVideo()
{
}

void GameLua::requestAd()
{
}

void GameLua::printGlobals()
{
	lua::LuaState* luaState = state();
	lua::LuaStackRestore restore(luaState);
	lua::LuaState::pushTable(luaState->interpreter(), this);
	luaState->pushNil();
	while (luaState->next(-2))
	{
		// Only the key's type is tested: converting a number key to text would break the walk.
		if (luaState->type(-1) != lua::LuaState::FUNCTION)
		{
			if (luaState->type(-2) == lua::LuaState::STRING)
				lang::Debug::printf("Name: %s\n", luaState->toString(-2));
			else if (luaState->type(-2) == lua::LuaState::NUMBER)
				lang::Debug::printf("Number: %f\n", static_cast<double>(luaState->toNumber(-2)));
		}
		luaState->pop(1);
	}
}

int GameLua::setGameParameters(lua::LuaState* lua)
{
	if (!lua->isTable(-1))
		return 0;
	const lua::LuaTable parameters = lua->toTable(-1);
	if (parameters.isBoolean("deterministicPhysics"))
		m_deterministicPhysics = parameters.getBoolean("deterministicPhysics");
	if (parameters.isTable("targetExpressionSettings"))
	{
		const lua::LuaTable expressions = parameters.getTable("targetExpressionSettings");
		if (expressions.isBoolean("scaredFromBlockExplosion"))
			m_scaredFromBlockExplosion = expressions.getBoolean("scaredFromBlockExplosion");
	}
	return 0;
}
