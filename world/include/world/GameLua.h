#ifndef WORLD_GAMELUA_H
#define WORLD_GAMELUA_H

#include <box2d/box2d.h>
#include <lang/Array.h>
#include <lang/Hashtable.h>
#include <lang/Ptr.h>
#include <lang/String.h>
#include <lua/LuaObject.h>
#include <lua/LuaTable.h>
#include <pf/WebView.h>
#include <pf/WebViewObserver.h>

namespace framework { class App; }
namespace io { class ByteArrayInputStream; }
namespace game { class Resources; }
namespace gr { class Context; }

class GameCenter;
class MaskedImage;
class Particles;

/**
 * The game world: owns the physics world and every game object, publishes itself to the scripts
 * as a table with 118 methods, receives the physics contact callbacks and the web view's
 * notifications, and keeps the file keys, the persistent tables, the particles and the masked
 * image. Created by the game application at start-up and released through lang::Ptr at
 * termination; borrows the rendering device, the application and the resource registry.
 */
class GameLua : public lua::LuaObject, public b2ContactListener, public b2ContactFilter, public pf::WebViewObserver
{
public:
	struct RenderObjectData;
	struct FixtureUserData;
	struct TargetFace;
	struct ScoreData;
	struct AchievementData;
	enum SensorType
	{
		SENSOR_NONE
	};

	GameLua(framework::App* app, game::Resources* resources, lua::LuaState* lua, gr::Context* context);
	~GameLua() override;

	// Called by the game application once a frame and at its lifecycle points.
	void update(float dt);
	void draw();
	void activate(bool active);
	void createAssets();
	// The background colour as 0xRRGGBB, set by the scripts through "setBGColor".
	unsigned int getBGColor() const							{ return m_bgColor; }

	// Shipped scripts and tables (GameLuaFiles.cpp), deciphered under the data key. A failure is
	// reported on the debug and standard output and never leaves these operations.
	void loadLuaFile(const lang::String& name, const lang::String& tableName, bool intoDefinitions, bool asBlocks);
	void compile(const lang::String& path);
	// A new table filled from a file saved in the application-data directory; empty when the
	// file is missing or neither the save key nor the device key makes it readable. Never throws.
	lua::LuaTable loadPersistentFile(const lang::String& name);

	// Physics callbacks (GameLuaContacts.cpp); Box2D calls them from inside a world step.
	void BeginContact(b2Contact* contact) override;
	void EndContact(b2Contact* contact) override;
	void PreSolve(b2Contact* contact, const b2Manifold* oldManifold) override;
	void PostSolve(b2Contact* contact, const b2ContactImpulse* impulse) override;
	bool ShouldCollide(b2Fixture* fixtureA, b2Fixture* fixtureB) override;

	// Web view notifications (GameLuaNews.cpp).
	void onUrlLoadCompleted(bool success, const lang::String& title, pf::WebView* view) override;
	bool onLinkClicked(const lang::String& url, pf::WebView* view) override;

	// Small script methods: window, flags, no-op services (script methods; GameLua.cpp)
	void requestExit();
	void print(const lang::String& text);
	// Each component is clamped to 0..255 and truncated.
	void setBGColor(float red, float green, float blue);
	void captureMouse(bool capture);
	bool isMouseCaptured();
	void setFullScreenMode(bool fullscreen);
	void setResolution(float width, float height);
	bool isInFullScreenMode();
	void setIsMultitouchMouseWheelSimulationEnabled(bool enabled);
	bool doesMouseClickSetsTouchCount();
	void enableSmoothZooming(bool enabled);
	void setPhysicsSimulationScale(float scale);
	void setPhysicsEnabled(bool enabled);
	bool isPhysicsEnabled();
	void setTopLeft(float x, float y);
	void setMaxWorldScale(float scale);
	void setEditing(bool editing);
	void setWorldScale(float scale);
	void createDirectory(const lang::String& name);
	bool checkDirectory(const lang::String& name);
	void throwException(const lang::String& text);
	// The left limit is a and the right limit c; b and d are not used.
	void setLevelLimits(float a, float b, float c, float d);
	void goToTaskSwitcherLua();
	void setGameOn(bool on);
	void activateSocialUI();
	void activateSocialUIAtProfile();
	void deactivateSocialUI();
	void showSocialSplash();
	bool isSocialSplashShowing();
	bool isSocialUIShowing();
	bool userEnabledSocial();
	void avoidSocialBackgroundActivity(bool avoid);
	void getLeaderboardScoresForPlayers();
	void showAdvertisement();
	void hideAdvertisement();
	void showVideoAdvertisement();
	void requestVideoAd();
	void requestAndShowVideo();
	void requestAd();
	void printGlobals();
	int setGameParameters(lua::LuaState* lua);

	// Objects and bodies (script methods; GameLuaObjects.cpp)
	void createBoxLua(const lang::String&, const lang::String&, float, float, float, float, float, float, float, bool, bool, float);
	void createCircleLua(const lang::String&, const lang::String&, float, float, float, float, float, float, bool, bool, float);
	void createPolygonLua(const lang::String&, const lang::String&, float, float, float, float, float, float, float, bool, bool, float);
	void clearVertices();
	void addVertex(float, float);
	void applyImpulse(const lang::String&, float, float, float, float);
	void applyForce(const lang::String&, float, float, float, float);
	void setPosition(const lang::String&, float, float);
	void setRotation(const lang::String&, float);
	void setVelocity(const lang::String&, float, float);
	void setAngularVelocity(const lang::String&, float);
	float getAngularVelocity(const lang::String&);
	void removeObject(const lang::String&);
	void setSprite(const lang::String&, const lang::String&);
	void setMaterial(const lang::String&, const lang::String&);
	void setTexture(const lang::String&, const lang::String&);
	void setSleeping(const lang::String&, bool);
	void setObjectParameter(const lang::String&, float, float);
	void setCollisionEnabled(const lang::String&, bool);
	float getAngle(const lang::String&);
	int getWorldPoint(lua::LuaState* lua);
	int getLocalPoint(lua::LuaState* lua);

	// Joints (script methods; GameLuaJoints.cpp)
	int createJointLua(lua::LuaState* lua);
	int createJoints(lua::LuaState* lua);
	void destroyJointLua(const lang::String&);
	int setJointParameters(lua::LuaState* lua);
	void removeJointsFromObject(const lang::String&);
	void checkJointLimits(const lang::String&);

	// World queries (script methods; GameLuaQueries.cpp)
	int getIntersectingObjects(lua::LuaState* lua);
	int getRayCastedObjects(lua::LuaState* lua);

	// Script and data files (script methods; GameLuaFiles.cpp)
	// Writes the world table's entry tableName as Lua text to name: enciphered under the save key
	// in the application-data directory when appData is true, plain in the data directory
	// otherwise. Does nothing when there is no such table. The file is replaced whole or not at
	// all: failures to encipher, create or write throw lang::Exception and leave the old file.
	void saveLuaFile(const lang::String& name, const lang::String& tableName, bool appData);
	// Whether the data file can be opened; its contents are not read.
	bool checkForLuaFile(const lang::String& name);
	// (fileName, targetTable, key): runs the shipped file in a new script object and stores the
	// object's table as targetTable[key].
	int loadLuaFileToObject(lua::LuaState* lua);

	// Levels (script methods; GameLuaLevels.cpp). name is relative to the data directory and
	// has no ".lua" extension.
	void loadLevel(const lang::String& name);
	void saveLevel(const lang::String& name);
	// True while a level loads; the contact listener ignores contact ends meanwhile.
	bool loadingLevel() const								{ return m_loadingLevel; }

	// Themes and parallax layers (script methods; GameLuaThemes.cpp)
	void createThemeSprite(const lang::String&, const lang::String&, float, float, float, float, float, float, float, bool);
	void removeThemeSprite(const lang::String&, float);
	void modifyThemeSprite(const lang::String&, float, float, float, float, float, float);
	void rotateThemeSprites(float);
	void setThemeSprite(const lang::String&, const lang::String&, float);
	int setRenderState(lua::LuaState* lua);
	void drawBackground();
	void drawLayer(float);
	void setTheme(const lang::String&);
	void drawForegroundNative();
	int setLayerOffSet(lua::LuaState* lua);

	// Drawing of the world (script methods; GameLuaDrawing.cpp)
	void drawRect(float, float, float, float, float, float, float, float, bool);
	void drawTexturedRect(const lang::String&, float, float, float, float, bool);
	void drawGame();
	void drawLine2D(float, float, float, float, float, float, float, float, float);
	void drawCompoSpriteLua(const lang::String&, float, float);
	void clipText(const lang::String&, const lang::String&, float);

	// Trajectories (script methods; GameLuaTrajectories.cpp)
	void startNewTrajectory();
	void addToTrajectory(float, float, float);
	void addPuffToTrajectory(float, float, float);

	// Faces of the targets (script methods; GameLuaFaces.cpp)
	int setComboSprites(lua::LuaState* lua);

	// Particles (script methods; GameLuaParticles.cpp)
	void drawParticles();
	void drawMenuParticles();
	void updateMenuParticles(float);
	void setMenuParticlesScale(float);
	void clearParticles();
	void enableInGameParticles(bool);

	// Game service (script methods; GameLuaGameCenter.cpp)
	void postHighscore(const lang::String&, float);
	void unlockAchievement(const lang::String&, const lang::String&);
	void initGameCenter();
	void getLeaderboardScoresForRange(const lang::String&, float, float);
	void showLeaderboards();
	void showAchievements();

	// News page (script methods; GameLuaNews.cpp)
	void createNelmaNews(float, float, float, float);
	void destroyNelmaNews();
	void loadNelmaNewsContent(const lang::String&);
	void reloadNelmaNewsContent();
	void showNelmaNews();
	void hideNelmaNews();

	// Analytics bridge (script methods; GameLuaAnalytics.cpp)
	void logAnalyticsEvent(const lang::String&);
	void logAnalyticsEventWithParam(const lang::String&, const lang::String&, const lang::String&);
	void logAnalyticsEventWithParams(const lang::String&, const lang::String&);

private:
	// Registers the 118 script methods in their published order (GameLuaScriptTable.cpp).
	void registerScriptMethods();

	gr::Context* m_context;
	framework::App* m_app;
	game::Resources* m_resources;
	Particles* m_particles;

	lua::LuaTable m_keyPressed;
	lua::LuaTable m_keyReleased;
	lua::LuaTable m_keyHold;
	lua::LuaTable m_cursor;

	bool m_deterministicPhysics;
	bool m_scaredFromBlockExplosion;
	bool m_inGameParticlesEnabled;

	lua::LuaTable m_multitouchSweep;
	lua::LuaTable m_multitouchZoom;

	// 0xRRGGBB, read by the application's frame.
	unsigned int m_bgColor;

	b2World* m_world;

	lang::Hashtable<lang::String, RenderObjectData*> m_objects;
	lang::Hashtable<int, lang::Array<lang::String>> m_zOrder;
	lang::Hashtable<lang::String, RenderObjectData*> m_projectiles;
	lang::Hashtable<lang::String, RenderObjectData*> m_damageOverTime;
	lang::Hashtable<lang::String, SensorType> m_sensorTypes;

	lua::LuaTable m_objectsTable;
	lua::LuaTable m_clippedText;
	// The definition tables of the game rules, published by the level loader as "blockTable".
	lua::LuaTable m_blockTable;

	float m_physicsSimulationScale;
	bool m_physicsEnabled;
	bool m_editing;
	bool m_scriptsReady;

	float m_topLeftX;
	float m_topLeftY;
	// Seconds of simulated time not yet stepped.
	float m_accumulator;
	float m_worldScale;
	float m_impactDivisor;

	lang::Array<b2Vec2> m_vertices;

	lang::Ptr<MaskedImage> m_maskedImage;

	int m_levelLimitLeft;
	int m_levelLimitRight;

	// 32-byte AES keys built at run time.
	lang::Array<unsigned char> m_deviceKey;
	lang::Array<unsigned char> m_saveKey;
	lang::Array<unsigned char> m_dataKey;

	GameCenter* m_gameCenter;
	lang::Ptr<pf::WebView> m_newsView;

	// Script and data files (GameLuaFiles.cpp)
	// Fills plain with the deciphered bytes of the shipped file at path; throws on any failure.
	void readShippedFile(const lang::String& path, io::ByteArrayInputStream& plain) const;
	// Merges a block definition file's groups into the definition table's "blocks".
	void addToBlocksTable(lua::LuaTable& source);
	// Saves "settings" to "settings.lua"; a failure is reported on the output, never thrown.
	void saveSettings() noexcept;

	// Levels (GameLuaLevels.cpp)
	// Set while a level loads, so that contact-end handling does nothing while bodies go;
	// cleared on every way out of loadLevel.
	bool m_loadingLevel = false;
	// Reloads every definition file into "blockTable", "particleTable" and the world's table.
	void loadDefinitionFiles();
	// Reads the level file name + ".lua" into a new table and publishes it as "loadedObjects".
	void loadLevelTable(const lang::String& name);
	// A new, empty physics world in place of the current one, with this world as its listener.
	void recreatePhysicsWorld();

	// Provided by the objects and trajectories concerns (GameLuaObjects.cpp,
	// GameLuaTrajectories.cpp): remove every object, joint and body; empty the trails.
	void clearWorld();
	void clearTrajectories();
};

#endif
