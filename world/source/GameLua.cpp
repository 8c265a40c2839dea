#include <world/GameLua.h>

#include <gr/Context.h>
#include <world/MaskedImage.h>
#include <world/Particles.h>

namespace {

// Gravity in metres per second squared; y grows downward, toward the ground.
const b2Vec2 GRAVITY(0.0f, 20.0f);

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
	m_gameCenter(nullptr)
{
	m_maskedImage = new MaskedImage(context);
	registerScriptMethods();
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

	m_world = new b2World(GRAVITY);
	m_world->SetAllowSleeping(true);
	m_world->SetAutoClearForces(false);
	m_world->SetContactListener(this);
	m_world->SetContactFilter(this);

	m_particles = new Particles(lua, this, resources);
}

GameLua::~GameLua()
{
	delete m_world;
	delete m_particles;
}

void GameLua::draw()
{
	call("draw");
}

void GameLua::activate(bool active)
{
	if (!m_scriptsReady)
		return;
	call(active ? "gameResumed" : "gamePaused");
}

void GameLua::createAssets()
{
	call("createStartUpAssets");
}

void GameLua::requestExit()
{
}

void GameLua::print(const lang::String&)
{
}

void GameLua::setBGColor(float, float, float)
{
}

void GameLua::captureMouse(bool)
{
}

bool GameLua::isMouseCaptured()
{
	return false;
}

void GameLua::setFullScreenMode(bool)
{
}

void GameLua::setResolution(float, float)
{
}

bool GameLua::isInFullScreenMode()
{
	return false;
}

void GameLua::setIsMultitouchMouseWheelSimulationEnabled(bool)
{
}

bool GameLua::doesMouseClickSetsTouchCount()
{
	return false;
}

void GameLua::enableSmoothZooming(bool)
{
}

void GameLua::setPhysicsSimulationScale(float)
{
}

void GameLua::setPhysicsEnabled(bool)
{
}

bool GameLua::isPhysicsEnabled()
{
	return false;
}

void GameLua::setTopLeft(float, float)
{
}

void GameLua::setMaxWorldScale(float)
{
}

void GameLua::setEditing(bool)
{
}

void GameLua::setWorldScale(float)
{
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
}

void GameLua::setLevelLimits(float, float, float, float)
{
}

void GameLua::goToTaskSwitcherLua()
{
}

void GameLua::setGameOn(bool)
{
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
}

int GameLua::setGameParameters(lua::LuaState* lua)
{
	return 0;
}
