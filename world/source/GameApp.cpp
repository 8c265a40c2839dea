#include <world/GameApp.h>

#include <framework/OSInterface.h>
#include <game/LuaResources.h>
#include <gr/Context.h>
#include <gr/Shader.h>
#include <io/DataCorruptedException.h>
#include <io/FileBundle.h>
#include <io/FileInputStream.h>
#include <io/FileNotFoundException.h>
#include <io/IOException.h>
#include <lang/Debug.h>
#include <lua/LuaState.h>
#include <pf/Accelerometer.h>
#include <platform/Application.h>
#include <platform/Directories.h>
#include <world/GameAnalytics.h>
#include <world/GameCenter.h>
#include <world/GameLua.h>
#include <world/GameRatingPrompt.h>
#include <string>

lang::String GameApp::s_datapath;
lang::String GameApp::s_imagePath;
lang::String GameApp::s_fontPath;
lang::String GameApp::s_audioPath;
lang::String GameApp::s_localizationPath;
lang::String GameApp::s_levelPath;
lang::String GameApp::s_scriptPath;
lang::String GameApp::s_deviceModel;

namespace {

const char* const TEXTS_SET = "TEXTS_BASIC";
const char* const LANGUAGE = "en_EN";
const char* const BUNDLE_INDEX = "bundleIndex.idx";
const char* const GAME_LOGIC = "/gamelogic.lua";
// Rendering devices that take programmable shaders; the fixed-function device reports 1.
const int SHADER_PLATFORMS[] = {5, 7};
const char* const SHADERS[] = {
	"shaders/2d-sprite-alpha-masked",
	"shaders/2d-sprite",
	"shaders/2d-sprite-alpha",
	"shaders/2d-vertexcolor-alpha",
	"shaders/2d-vertexcolor",
};
const float FULL_VOLUME = 1.0f;

lang::String joined(const lang::String& directory, const char* name)
{
	lang::String path(directory);
	path += name;
	return path;
}

// False whatever the failure. A damaged index is logged with its fault first, so that the log
// says why the files are read loose although an index is there.
bool readBundleIndex(io::FileBundle& bundle, const lang::String& index, const lang::String& baseDirectory)
{
	try
	{
		bundle.parseIndex(index, baseDirectory);
		return true;
	}
	catch (const io::DataCorruptedException& e)
	{
		lang::Debug::printf("%s\n", e.getMessage().format().c_str());
	}
	catch (...)
	{
	}
	return false;
}

} // namespace

GameApp::GameApp(gr::Context* context, framework::OSInterface* os) :
	framework::App(os),
	m_audioActive(false),
	m_multitouchWheelSimulation(false),
	m_gameCenter(nullptr),
	m_pointerX(0),
	m_pointerY(0)
{
	clearKeyMarks();
	try
	{
		start(context);
	}
	catch (...)
	{
		release();
		throw;
	}
}

GameApp::~GameApp()
{
	release();
}

void GameApp::start(gr::Context* context)
{
	m_lua = new lua::LuaState;
	m_accelerometer = new pf::Accelerometer;
	m_luaResources = new game::LuaResources(m_lua, context);

	const lang::String logicName = joined(s_scriptPath, GAME_LOGIC);
	setDataPath(s_datapath);
	if (!holdsGameData(logicName))
	{
		// The data directory may be the data folder itself; else it is named as given in the failure.
		setDataPath(lang::String(""));
		if (!holdsGameData(logicName))
			setDataPath(s_datapath);
	}
	context->setShaderPath(path(lang::String("shaders/")));
	m_luaResources->getResources()->setPath(path(lang::String("")));
	installBundle();
	const lang::String logic = path(logicName);
	requireGameData(logic);

	m_gameLua = new GameLua(this, m_luaResources->getResources(), m_lua, context);
	m_gameLua->setTable("res", *m_luaResources);
	m_gameLua->setString("imagePath", s_imagePath);
	m_gameLua->setString("fontPath", s_fontPath);
	m_gameLua->setString("audioPath", s_audioPath);
	m_gameLua->setString("localizationPath", s_localizationPath);
	m_gameLua->setString("levelPath", s_levelPath);
	m_gameLua->setString("scriptPath", s_scriptPath);
	m_gameLua->setString("deviceModel", s_deviceModel);
	m_gameLua->setBoolean("isLiteVersion", false);

	loadStartupScripts(logic);
	// The copies in the game world's table and the shell's data path are the ones kept.
	for (lang::String* s : {&s_datapath, &s_imagePath, &s_fontPath, &s_audioPath, &s_localizationPath, &s_levelPath, &s_scriptPath, &s_deviceModel})
		*s = lang::String("");

	createShaders(context);
	publishKeyTables();
	GameAnalytics::startSession(GameAnalytics::API_KEY);
	startGameCenter(context);
	m_gameLua->createAssets();

	game::Resources* resources = m_luaResources->getResources();
	resources->loadLocale(lang::String(TEXTS_SET), lang::String(LANGUAGE));
	resources->useLocale(lang::String(LANGUAGE));
	resources->setMasterVolume(savedVolume());

	m_accelerometer->start();
	GameRatingPrompt::appStarted();
}

void GameApp::release()
{
	GameAnalytics::endSession();
	delete m_gameCenter;
	m_gameCenter = nullptr;
	s_datapath = lang::String("");
	// The rest in the reverse order of building. The game world, which saves "settings.lua" as it
	// goes, borrows the resource registry and so goes before it.
	m_gameLua = nullptr;
	// File streams must not reach a bundle that is gone.
	if (m_bundle && io::FileInputStream::sm_fileBundle == m_bundle.ptr())
		io::FileInputStream::sm_fileBundle = nullptr;
	m_bundle = nullptr;
	m_luaResources = nullptr;
	m_accelerometer = nullptr;
	m_lua = nullptr;
}

void GameApp::installBundle()
{
	lang::Ptr<io::FileBundle> bundle = new io::FileBundle;
	if (!readBundleIndex(*bundle, path(lang::String(BUNDLE_INDEX)), path(lang::String(""))))
	{
		lang::Debug::printf("Can't find bundle, using files directly...\n");
		return;
	}
	m_bundle = bundle;
	io::FileInputStream::sm_fileBundle = m_bundle.ptr();
}

// Looked for before the bundle is installed: the data folder holds the bundle's index or the
// game logic as a file.
bool GameApp::holdsGameData(const lang::String& logicName) const
{
	for (const lang::String& name : {lang::String(BUNDLE_INDEX), logicName})
	{
		try
		{
			io::FileInputStream file(path(name));
			return true;
		}
		catch (const io::IOException&)
		{
		}
	}
	return false;
}

// Without the game logic nothing the game starts can work, and the failures it would meet first
// (a script callback that is not there) would hide the cause.
void GameApp::requireGameData(const lang::String& logic)
{
	try
	{
		io::FileInputStream file(logic);
	}
	catch (const io::IOException&)
	{
		// A data directory that is not there is named as given, not as the folder looked for in it.
		const lang::String given = os()->getDefaultDataPath();
		const std::string fault = given.isEmpty() ? std::string() : platform::Directories::folderFault(given.c_str());
		if (!fault.empty())
			lang::throwError(io::FileNotFoundException(lang::Format("The data directory {0} {1}", given, fault.c_str())));
		lang::throwError(io::FileNotFoundException(lang::Format(
			"The data folder {0} holds no game data: {1} is missing", path(lang::String("")), logic)));
	}
}

void GameApp::loadStartupScripts(const lang::String& logic)
{
	const lang::String none("");
	m_gameLua->loadLuaFile(joined(s_scriptPath, "/starLimits.lua"), lang::String("starTable"), false, false);
	m_gameLua->loadLuaFile(joined(s_scriptPath, "/gamecenter/ipad/leaderboards.lua"), lang::String("leaderboards"), false, false);
	m_gameLua->loadLuaFile(joined(s_scriptPath, "/gamecenter/ipad/achievements.lua"), none, false, false);
	m_gameLua->loadLuaFile(joined(s_scriptPath, "/loadlist.lua"), none, false, false);
	m_gameLua->compile(logic);
	// The failure is logged with its reason; going on would only meet the missing callbacks.
	if (!m_gameLua->scriptsReady())
		lang::throwError(lang::Exception(lang::Format("The game logic {0} could not be loaded: {1}", logic, m_gameLua->compileFailure())));
}

void GameApp::createShaders(gr::Context* context)
{
	const int platform = context->platform();
	for (int shaderPlatform : SHADER_PLATFORMS)
	{
		if (platform != shaderPlatform)
			continue;
		// The device's resource manager keeps each shader; the reference here is dropped.
		for (const char* name : SHADERS)
			lang::Ptr<gr::Shader> shader = context->createShader(path(lang::String(name)), 0);
	}
}

void GameApp::publishKeyTables()
{
	lua::LuaTable pressed = m_gameLua->getTable("keyPressed");
	lua::LuaTable released = m_gameLua->getTable("keyReleased");
	lua::LuaTable held = m_gameLua->getTable("keyHold");
	for (int k = 0; k < KEY_COUNT; ++k)
	{
		const char* name = toString(static_cast<KeyType>(k));
		pressed.setBoolean(name, false);
		released.setBoolean(name, false);
		held.setBoolean(name, false);
	}
}

// The game service lives on the platform application; without one (a game world under test)
// there is no game service, as on a device without it.
void GameApp::startGameCenter(gr::Context* context)
{
	platform::Application* application = platform::Application::shared();
	if (application)
		m_gameCenter = new GameCenter(*application, m_gameLua, context);
	if (application && GameCenter::isGameCenterAvailable(*application))
	{
		m_gameLua->setBoolean("gameCenterSupported", true);
		m_gameCenter->firstInit();
	}
	else
	{
		lang::Debug::printf("GameCenter support not available.\n");
		m_gameLua->setBoolean("gameCenterSupported", false);
	}
}

float GameApp::savedVolume() const
{
	if (!m_gameLua->isTable("settings"))
		return FULL_VOLUME;
	const lua::LuaTable settings = m_gameLua->getTable("settings");
	return settings.isNumber("volume") ? settings.getNumber("volume") : FULL_VOLUME;
}
