#ifndef WORLD_GAMELUA_H
#define WORLD_GAMELUA_H

#include <box2d/box2d.h>
#include <lang/Array.h>
#include <lang/Hashtable.h>
#include <lang/Ptr.h>
#include <lang/String.h>
#include <lua/LuaKey.h>
#include <lua/LuaObject.h>
#include <lua/LuaTable.h>
#include <math/float2.h>
#include <pf/WebView.h>
#include <pf/WebViewObserver.h>
#include <world/FrameCosts.h>
#include <world/JointDescription.h>
#include <world/ScriptErrorLog.h>
#include <exception>
#include <functional>
#include <memory>
#include <vector>

namespace framework { class App; }
namespace io { class ByteArrayInputStream; }
namespace game { class CompoSprite; class Resources; class Sprite; }
namespace gr { class Context; }

class GameApp;
class GameCenter;
class MaskedImage;
class Particles;
struct JointChange;

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

	// Runs work, in which the game calls into the scripts. A script's failure there (see
	// ScriptErrorLog::logCurrentFailure) goes no further: it is logged under where, once while it
	// repeats, and the game goes on. Other failures pass.
	template <class F>
	void guardScript(const char* where, F&& work)
	{
		try
		{
			work();
		}
		catch (...)
		{
			m_scriptErrors.logCurrentFailure(where);
		}
	}

	// Called by the game application once a frame and at its lifecycle points.
	void update(float dt);
	// Seconds spent in each phase of the frames so far; the game application adds its own phases.
	FrameCosts& frameCosts()								{ return m_frameCosts; }
	void draw();
	void activate(bool active);
	void createAssets();
	// The background colour as 0xRRGGBB, set by the scripts through "setBGColor".
	unsigned int getBGColor() const							{ return m_bgColor; }

	// Shipped scripts and tables (GameLuaFiles.cpp), deciphered under the data key. A failure is
	// reported on the debug and standard output and never leaves these operations.
	void loadLuaFile(const lang::String& name, const lang::String& tableName, bool intoDefinitions, bool asBlocks);
	void compile(const lang::String& path);
	// True once the game logic compiled and its "updateValues" ran.
	bool scriptsReady() const								{ return m_scriptsReady; }
	// Why the last compile failed, empty after one that succeeded.
	const lang::String& compileFailure() const				{ return m_compileFailure; }
	// A new table filled from a file saved in the application-data directory; empty when the
	// file is missing, and when it cannot be read or neither the save key nor the device key makes
	// it readable within the save budget: such a file is logged with why and set aside (see
	// SaveFile), so that the next save does not replace it, and its name is added to the script
	// list "unreadSaves". Never throws.
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

	// Objects and bodies (script methods; GameLuaObjects.cpp). Positions, sizes and velocities in
	// metres and seconds, angles in radians, densities in kilograms per square metre. A move, turn,
	// velocity, impulse or force of a number that is not finite changes nothing: a body given one
	// turns every body it touches to no number. Neither does a place, or the point of an impulse
	// or force, beyond WORLD_EXTENT (with a log line); a velocity, impulse or force that would
	// take a body beyond the speeds the solver can hold is bounded, with a log line. Nor does a
	// move or turn that would carry a joint of the object, at the points the joint holds its
	// ends, beyond the world's extent, nor a change of the body's type (object parameter 2)
	// under which a joint of the object could not be held; each with a log line.
	void createBoxLua(const lang::String& name, const lang::String& sprite, float x, float y, float width, float height, float density, float friction, float restitution, bool collisionEnabled, bool isProjectile, float zOrder);
	void createCircleLua(const lang::String& name, const lang::String& sprite, float x, float y, float radius, float density, float friction, float restitution, bool collisionEnabled, bool isProjectile, float zOrder);
	void createPolygonLua(const lang::String& name, const lang::String& sprite, float x, float y, float width, float height, float density, float friction, float restitution, bool collisionEnabled, bool isProjectile, float zOrder);
	void clearVertices();
	void addVertex(float x, float y);
	void applyImpulse(const lang::String& name, float ix, float iy, float px, float py);
	void applyForce(const lang::String& name, float fx, float fy, float px, float py);
	void setPosition(const lang::String& name, float x, float y);
	void setRotation(const lang::String& name, float angle);
	void setVelocity(const lang::String& name, float vx, float vy);
	void setAngularVelocity(const lang::String& name, float w);
	float getAngularVelocity(const lang::String& name);
	void removeObject(const lang::String& name);
	void setSprite(const lang::String& name, const lang::String& sprite);
	void setMaterial(const lang::String& name, const lang::String& material);
	void setTexture(const lang::String& name, const lang::String& sheet);
	void setSleeping(const lang::String& name, bool sleeping);
	void setObjectParameter(const lang::String& name, float number, float value);
	void setCollisionEnabled(const lang::String& name, bool enabled);
	float getAngle(const lang::String& name);
	int getWorldPoint(lua::LuaState* lua);
	int getLocalPoint(lua::LuaState* lua);

	// Native object operations (GameLuaObjects.cpp). getBody logs "Body name : %s" and returns
	// null for an unknown name; getBodyName returns "" for a body of no object.
	b2Body* getBody(const lang::String& name);
	lang::String getBodyName(const b2Body* body) const;
	// Each is null, with a log line, for a place, shape or density the physics cannot hold, as
	// for the script methods.
	b2Body* createBox(const lang::String& name, float x, float y, float width, float height, float density, float friction, float restitution, bool collisionEnabled);
	b2Body* createCircle(const lang::String& name, float x, float y, float radius, float density, float friction, float restitution, bool collisionEnabled, bool triggersSensors);
	// Also null unless the vertex list holds 3 to 8 points spanning a proper hull.
	b2Body* createPolygon(const lang::String& name, float x, float y, float density, float friction, float restitution, bool collisionEnabled);
	// Removes every object, joint and body from the physics world and empties the object,
	// z-order, projectile and damage-over-time tables and the joint lists. The scripts' tables
	// "world" and "joints" are left alone. Used by level loading and the destructor.
	void clearWorld();

	// Joints (script methods; GameLuaJoints.cpp)
	int createJointLua(lua::LuaState* lua);
	int createJoints(lua::LuaState* lua);
	void destroyJointLua(const lang::String& name);
	int setJointParameters(lua::LuaState* lua);
	void removeJointsFromObject(const lang::String& name);
	void checkJointLimits(const lang::String& name);
	// Creates one joint from its script table ("createJoint" without the script stack). Refuses,
	// with a log line, unknown types, ends naming no object, both ends on one object, numbers
	// that are not finite, a reversed limit that is enabled (a prismatic joint's always is), a
	// spring of no finite stiffness or damping, anchors or ends beyond the world's extent, and an
	// anchor too far from a moving end for the physics to hold (GameLuaJoints.cpp).
	void createJoint(const lua::LuaTable& description);

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
	// Layer numbers count the background layers first, then the foreground layers.
	void createThemeSprite(const lang::String& id, const lang::String& spriteName, float x, float y, float scaleX, float scaleY, float angle, float layer, float rotationSpeed, bool flipped);
	void removeThemeSprite(const lang::String& id, float layer);
	void modifyThemeSprite(const lang::String& id, float x, float y, float scaleX, float scaleY, float angle, float layer);
	void rotateThemeSprites(float dt);
	void setThemeSprite(const lang::String& id, const lang::String& spriteName, float layer);
	int setRenderState(lua::LuaState* lua);
	void drawBackground();
	void drawLayer(float index);
	void setTheme(const lang::String& name);
	void drawForegroundNative();
	int setLayerOffSet(lua::LuaState* lua);

	// Drawing of the world (script methods; GameLuaDrawing.cpp)
	// Colour components of drawRect run from 0 to 1, those of drawLine2D from 0 to 255.
	void drawRect(float r, float g, float b, float a, float x1, float y1, float x2, float y2, bool keepRenderState);
	void drawTexturedRect(const lang::String& spriteName, float x1, float y1, float x2, float y2, bool unused);
	void drawGame();
	void drawLine2D(float x1, float y1, float x2, float y2, float width, float r, float g, float b, float a);
	void drawCompoSpriteLua(const lang::String& name, float x, float y);
	void clipText(const lang::String& set, const lang::String& key, float maxWidth);

	// Trajectories (script methods; GameLuaTrajectories.cpp)
	// Path numbers run from 1 to 3; points are world pixels.
	void startNewTrajectory();
	void addToTrajectory(float path, float x, float y);
	void addPuffToTrajectory(float path, float x, float y);

	// Faces of the targets (script methods; GameLuaFaces.cpp)
	int setComboSprites(lua::LuaState* lua);

	// Particles (script methods; GameLuaParticles.cpp)
	void drawParticles();
	void drawMenuParticles();
	void updateMenuParticles(float dt);
	void setMenuParticlesScale(float scale);
	void clearParticles();
	void enableInGameParticles(bool enabled);
	// The camera through which in-game particles are drawn: the world pixel at the screen's
	// top-left corner and the world scale.
	float topLeftX() const									{ return m_topLeftX; }
	float topLeftY() const									{ return m_topLeftY; }
	float worldScale() const								{ return m_worldScale; }

	// Game service (script methods; GameLuaGameCenter.cpp). Each acts only while the game service
	// is lent (setGameCenter); posting and unlocking also need "gameCenterEnabled".
	void postHighscore(const lang::String& leaderboard, float score);
	// The second argument is not used; the achievement is unlocked at 100 percent.
	void unlockAchievement(const lang::String& achievement, const lang::String& unused);
	void initGameCenter();
	// Acts only when "gameCenter"."leaderboards" holds a record under the id.
	void getLeaderboardScoresForRange(const lang::String& leaderboard, float first, float count);
	void showLeaderboards();
	void showAchievements();

	// Game service results (GameLuaGameCenter.cpp), called by GameCenter on the main thread.
	// The game service is borrowed from the game application; GameCenter lends itself here when
	// made and takes itself back when destroyed (null).
	void setGameCenter(GameCenter* gameCenter);
	// Keeps the game service, enables it, replaces "gameCenter" and starts loading its tables.
	void prepareGameCenter(GameCenter* gameCenter, const lang::String& playerID, const lang::String& alias);
	void hideLoadingInitGameCenter();
	void removeGameCenter();
	// As removeGameCenter, and "gameCenterSupported" becomes false.
	void removeSupport();
	// "leaderboard" or "achievement": the scripts hide the matching loading indicator.
	void stopMainMenuAnimation(const lang::String& screen);
	// Leaderboard id to title.
	void setLeaderboardCategories(lang::Hashtable<lang::String, lang::String>& categories);
	void setLeaderboardScores(lang::Array<ScoreData> scores, const lang::String& category, int range, int localRank, int localScore);
	void setAchievements(lang::Array<AchievementData> achievements);
	void setAchievementMetaData(lang::Array<AchievementData> achievements);
	void highScoresPosted(const lang::String& leaderboard);
	void showAchievementPopUp(const lang::String& achievement);
	void getLeaderboardCategories();
	void getAchievements();

	// News page (script methods; GameLuaNews.cpp)
	void createNelmaNews(float x, float y, float height, float width);
	void destroyNelmaNews();
	void loadNelmaNewsContent(const lang::String&);
	void reloadNelmaNewsContent();
	void showNelmaNews();
	void hideNelmaNews();

	// Analytics bridge (script methods; GameLuaAnalytics.cpp)
	void logAnalyticsEvent(const lang::String&);
	void logAnalyticsEventWithParam(const lang::String&, const lang::String&, const lang::String&);
	void logAnalyticsEventWithParams(const lang::String&, const lang::String&);

	// Metres from the origin beyond which no shape or joint reaches: Box2D's solvers overflow for
	// sizes and lever arms far above its working scale, and every body would then turn to no number.
	static constexpr float WORLD_EXTENT = 1.0e4f;
	// True when the point (metres) lies within WORLD_EXTENT of the origin on both axes.
	static bool isWithinExtent(const b2Vec2& point);
	// Seconds of one fixed physics step: the float nearest to 1/30.
	static constexpr float PHYSICS_STEP = 1.0f / 30.0f;

private:
	// Registers the 118 script methods in their published order (GameLuaScriptTable.cpp).
	void registerScriptMethods();

	// Calls the scripts' callback name; a script error in it, or the callback missing, is logged
	// under its name and the game goes on. A failure of a bound method it called is guarded as
	// by guardScript.
	template <class... A>
	void callScript(const char* name, const A&... arguments)
	{
		guardScript(name, [&] {
			lang::String error;
			if (!tryCall(name, error, arguments...))
				m_scriptErrors.log(name, error.c_str());
		});
	}
	ScriptErrorLog m_scriptErrors;

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
	lang::String m_compileFailure;

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
	void noteUnreadSave(const lang::String& name) noexcept;

	// Levels (GameLuaLevels.cpp)
	// Set while a level loads, so that contact-end handling does nothing while bodies go;
	// cleared on every way out of loadLevel.
	bool m_loadingLevel = false;
	// Reloads every definition file into "blockTable", "particleTable" and the world's table.
	void loadDefinitionFiles();
	// Reads the level file name + ".lua" into a new table and publishes it as "loadedObjects".
	void loadLevelTable(const lang::String& name);
	// A new, empty physics world with this world as its listener and filter (GameLua.cpp); any
	// earlier one is the caller's to delete first.
	void createPhysicsWorld();
	// Deletes the physics world and makes a new one; during a step, once the step is over.
	void replacePhysicsWorld();

	// Themes and parallax layers
	/** A sprite placed on a theme layer by the scripts; owned by its layer. */
	struct ThemeSpriteData
	{
		// Looked up at creation; drawing goes by spriteName.
		game::Sprite* spritePtr = nullptr;
		// Physics units.
		float x = 0.0f;
		float y = 0.0f;
		float scaleX = 1.0f;
		float scaleY = 1.0f;
		// Radians, kept in [0, 2 pi) by rotateThemeSprites.
		float angle = 0.0f;
		// Radians per second.
		float rotationSpeed = 0.0f;
		bool flipped = false;
		lang::String id;
		lang::String spriteName;
	};

	/** One sprite repeated across the screen and scrolled against the camera; lives until the next setTheme. */
	struct ThemeLayerData
	{
		lang::String name;
		lang::String sprite;
		// Sprite size and pivot in pixels; height and pivotY are read for foreground layers only.
		short height = 0;
		short width = 0;
		short pivotX = 0;
		short pivotY = 0;
		// Share of the camera's horizontal movement that the layer follows.
		float parallaxX = 1.0f;
		float layerScale = 1.0f;
		// World pixels added to the camera x.
		float offset = 0.0f;
		lang::Array<ThemeSpriteData> themeSprites;
	};

	static ThemeLayerData readThemeLayer(const lua::LuaTable& layer, game::Resources* resources, bool foreground);
	// Null for a number outside the background and foreground layers.
	ThemeLayerData* themeLayer(float number);
	ThemeSpriteData* findThemeSprite(const lang::String& id, float layer);
	void setBackgroundFromSky();
	// scrolling: the layer's own parallax and stored offset; otherwise it is drawn at rate 1.
	void drawLayerTiles(ThemeLayerData& layer, bool scrolling);
	void drawThemeSprites(const ThemeLayerData& layer, float parallax);

	// Red, green, blue from 0 to 255.
	float m_skyColor[3] = {0.0f, 0.0f, 0.0f};
	float m_groundColor[3] = {0.0f, 0.0f, 0.0f};
	lang::Array<ThemeLayerData> m_bgLayers;
	lang::Array<ThemeLayerData> m_fgLayers;

	// Drawing of the world
	// Tests place object records and the camera directly.
	friend struct GameLuaTestAccess;

	void drawCompoOrNormalSprite(RenderObjectData& object, bool ignoreScale);
	// Parts with a sprite, each about the composite's point (x, y), under the current render state.
	void drawCompoEntries(const game::CompoSprite& compo, float x, float y);

	// The z values of the layers in drawing order, rebuilt every drawGame.
	lang::Array<int> m_drawOrder;

	// Trajectories
	static const int TRAJECTORY_SLOTS = 6;
	static const int PATHS_PER_SHOT = 3;

	// Empties every slot's points; level loading starts from no trails.
	void clearTrajectories();
	// The slot of a path of the current shot, or -1 for a path number outside 1 to 3.
	int trajectorySlot(float path) const;
	// Called by drawGame under the camera's translation and scale, rotation identity.
	void drawTrajectories();

	// World pixels, in the order recorded.
	lang::Array<math::float2> m_trajectoryPoints[TRAJECTORY_SLOTS];
	lang::Array<math::float2> m_trajectoryPuffs[TRAJECTORY_SLOTS];
	// First slot of the current shot: 0 or PATHS_PER_SHOT.
	int m_currentTrajectory = 0;

	// Objects and bodies (GameLuaObjects.cpp, GameLuaBodies.cpp)
	// How a body and its fixture are made (GameLuaObjects.cpp).
	struct BodySettings;
	RenderObjectData* findRecord(const lang::String& name) const;
	// findRecord that logs "Body name : %s" for an unknown name.
	RenderObjectData* recordOf(const lang::String& name) const;
	// An object already under the name is removed first, with a log line.
	void removeReusedName(const lang::String& name);
	// Gives a new record its sprite, then enters it in the object table and, unless it is the ground, its z-order layer.
	void enterObject(RenderObjectData* record, const lang::String& sprite, bool fromSheet, bool isProjectile);
	// Width and height in metres, in the record and its script table alike.
	void setSize(RenderObjectData& record, float width, float height);
	int transformPoint(lua::LuaState* lua, bool toWorld);
	// The scripts' table "world" inside "objects", made on first use.
	lua::LuaTable worldTable();
	b2Body* createBody(const b2Shape& shape, const BodySettings& settings, FixtureUserData* userData);
	// Removes an object already under the name, publishes the script table and makes the record;
	// its body is made through changePhysics. enterObject enters the record in the tables.
	template <class Shape>
	RenderObjectData* addObject(const lang::String& name, const lang::String& sprite, const char* type, const Shape& shape, const BodySettings& settings, float zOrder);
	void assignSprite(RenderObjectData& record, const lang::String& sprite, bool fromSheet);
	// Takes a record found in the object table out of every table; its body and the record
	// itself go through changePhysics.
	void destroyObject(RenderObjectData* record);
	// Destroys the body, then frees its fixtures' user data.
	void destroyBody(b2Body* body);
	void putRecord(const lang::String& name, RenderObjectData* record);
	// Logs the refusal of a place (metres) at no finite number or beyond WORLD_EXTENT: Box2D
	// cannot hold the one, and contacts far out turn every body they reach to no number.
	static bool isHoldablePlace(const lang::String& name, float x, float y);
	// Logs the refusal of a friction or restitution (what names which) below 0, of no number or
	// beyond what contact impulses can take: each turns the bodies it touches to no number.
	static bool isHoldableSurface(const lang::String& name, const char* what, float value);
	// Logs the refusal of a body at a place isHoldablePlace refuses, of a friction or restitution
	// isHoldableSurface refuses, or of a shape that is not finite, reaches beyond the world's
	// extent about its body or spans no area, or whose mass or turning inertia at the density is
	// not finite, beyond what contacts can take or, for any density but 0, below what the solver
	// can carry: Box2D asserts on some and turns every body to no number on the others.
	template <class Shape>
	static bool isMakeableBody(const lang::String& name, const Shape& shape, const BodySettings& settings);


	// Every change of the physics world goes through changePhysics, in call order: at once, or,
	// while the world is locked inside a step, kept until the step has returned and run then by
	// runWaitingChanges. A change captures its values when it is made. Records and script
	// tables change at the call itself, so a script's later calls in a contact callback find
	// what its earlier ones made or removed. What a call inside a step sees:
	// - the checks that guard Box2D judge what the change will meet: places and poses through
	//   poseOf, masses through the record; impulses and forces are bounded against the body
	//   when their change runs. A call is refused or taken, with the same log line, as outside.
	// - "getWorldPoint" and "getLocalPoint" answer with the pose the earlier calls gave, made or
	//   waiting; "getAngle" with the drawn angle, which "setRotation" sets at the call;
	//   "getAngularVelocity" reads the body as the step has left it so far, without the
	//   velocities, impulses and forces still waiting, and 0 for a body still to be made.
	// - "getRayCastedObjects" and "getIntersectingObjects" ask the physics world as the step has
	//   left it: a body made in the callback is not found until the step is over, a moved body
	//   is found where it was, and a body whose object was removed is left out.
	void changePhysics(std::function<void()> change);
	void runWaitingChanges();
	// changePhysics on the body of a named object; logs "Body name : %s" for an unknown name.
	void changeBody(const lang::String& name, std::function<void(b2Body&)> change);
	// changePhysics for a change that makes, moves or turns the record's body to pose (metres,
	// radians); until the change has run, poseOf answers with pose.
	void changePose(RenderObjectData* record, const b2Transform& pose, std::function<void()> change);
	// The pose the object's body has, or the one a waiting change will give it.
	b2Transform poseOf(const RenderObjectData& record) const;
	// An impulse (N s) or a force (N) at a world point on the named object's dynamic body; a
	// point beyond the world's extent is refused and an amount the body cannot take is bounded,
	// each with a log line.
	void pushOnBody(const lang::String& name, const b2Vec2& amount, const b2Vec2& point, bool isForce);

	std::vector<std::function<void()>> m_waitingChanges;
	// The records in the object table's bucket order, rebuilt only after the table changed, so
	// the frame's walks follow the table without walking its buckets every step.
	const std::vector<RenderObjectData*>& recordsInTableOrder();
	std::vector<RenderObjectData*> m_recordList;
	unsigned m_recordListVersion = 0;
	// Bumped whenever a record enters or leaves the object table, so the frame notices callbacks
	// that changed it.
	unsigned m_objectsVersion = 0;

	// The application as the game's own, or null under another application (GameLua.cpp).
	GameApp* gameApp() const;

	// Frame update and physics stepping (GameLuaFrame.cpp)
	// Restarts the audio output each frame while the application's audio is on and enabled.
	void keepAudioAlive(const GameApp& app);
	void publishTouches();
	// Steps the world in fixed steps and stores the interpolation states. After each step, before
	// the states are stored, a body whose place, angle or velocities are no longer finite, or
	// whose place lies beyond the world's extent, is put back (putBackAtRest). True when it
	// stepped; then m_busyRecords lists the records the frame's advancing and publishing may change.
	bool stepPhysics(float dt);
	// Puts the record's body at rest at its state stored in slot, logged the first time for each
	// object as "Object NAME turned to no number in a physics step: put back at rest at (X, Y)"
	// or "Object NAME went beyond the world's extent in a physics step: put back at rest at
	// (X, Y)", and has the next step start its solver afresh, without the impulses of no number
	// or beyond bound that the body left in its contacts and joints.
	void putBackAtRest(RenderObjectData& record, int slot);
	// Bodies the checks after each step have found turned to no number, and put back, since the
	// world was made: every one is a fault that the guards before the physics missed, which the
	// tests and the fuzz targets watch for. A body a step carries beyond the world's extent is put
	// back as the net's ordinary work and not counted.
	int m_noNumberCatches = 0;
	// Whether the body's place lies within the world's extent and its angle and velocities are finite.
	static bool isHeldInTheWorld(const b2Body& body);
	// Whether the body's place, angle and velocities are all finite.
	static bool hasFiniteMotion(const b2Body& body);
	// Damage over time, interpolation and joint-destroy timers of every record.
	void advanceRecords(float dt);
	// Interpolation and joint-destroy timer of one record, blended by alpha: advancing without
	// the damage over time, which calls a script.
	void advanceRecord(RenderObjectData& record, float alpha, float dt);
	// What the publishing walk does besides publishing: nothing, or advancing the records as
	// advanceRecords would have before it (which needs m_hazardTouched false), either visiting
	// every record or, right after stepPhysics stepped, only those in m_busyRecords until a
	// script is called.
	enum class Advancing { NONE, ALL, BUSY_RECORDS };
	// Publishes the objects' states and the movement flags and collects the rolling volumes.
	void publishStates(float dt, float volumes[3], Advancing advancing);
	// Getting up and object animation of snapshot entry index; null once a callback removed it.
	RenderObjectData* advanceAnimation(int index, float speedSquared, const b2Vec2& velocity, float dt);
	void updateJointAnchors();
	void updateRollingSounds(const float volumes[3]);
	// Refills m_frameRecords with the records of the object table.
	void snapshotRecords();
	// The snapshot's entry i, or null when a callback has removed it meanwhile.
	RenderObjectData* liveRecord(int index);
	// The record when it is still in the object table after a callback changed the table.
	RenderObjectData* checkedRecord(RenderObjectData* record);

	// Interpolation slot written last (0 or 1).
	int m_stateSlot = 0;
	FrameCosts m_frameCosts;
	// Clip ids of the wood, rock and light rolling sounds; -1 when none plays.
	int m_rollingClips[3] = {-1, -1, -1};
	std::vector<RenderObjectData*> m_frameRecords;
	// Indices, in table order, of the records whose body is awake after the last step or which
	// have work on a sleeping body: was awake, wobbles, is animated or waits for a joint-destroy
	// timer. Filled by each step; the others sleep through the frame.
	std::vector<int> m_busyRecords;
	// Whether a record touched a hazard after the last step. Only a step's contacts start a
	// touch, so while it is false no record touches one.
	bool m_hazardTouched = false;
	// The keys the frame publishes under, in the objects' tables and in the world's own, made
	// once in the world's Lua state.
	struct FrameKeys
	{
		explicit FrameKeys(lua::LuaState* lua);

		lua::LuaKey x;
		lua::LuaKey y;
		lua::LuaKey frozen;
		lua::LuaKey xVel;
		lua::LuaKey yVel;
		lua::LuaKey angle;
		lua::LuaKey hasMovingObjects;
		lua::LuaKey hasAwakeObjects;
		lua::LuaKey hasMovingObjectsZeroTolerance;
		lua::LuaKey screenWidth;
		lua::LuaKey screenHeight;
		lua::LuaKey touchcount;
	};
	FrameKeys m_frameKeys;
	unsigned m_frameRecordsVersion = 0;
	bool m_frameWalkChanged = false;
	// The records of the object table, sorted, once a callback has changed it during a walk.
	std::vector<RenderObjectData*> m_liveRecords;

	// Collision filter, contacts and damage (GameLuaContacts.cpp)
	// The records of a contact's two fixtures, removed ones included; false when either has no
	// user data, no record or no script table in "world".
	bool touchingRecords(b2Contact* contact, RenderObjectData*& a, RenderObjectData*& b);
	void beginTouch(b2Contact* contact);
	void endTouch(b2Contact* contact);
	void projectileAgainstProjectile(RenderObjectData& a, RenderObjectData& b);
	void projectileAgainstObject(b2Contact* contact, RenderObjectData& projectile, RenderObjectData& object, const lang::String& objectMaterial);
	void objectAgainstObject(RenderObjectData& a, RenderObjectData& b, const lang::String& materialA, const lang::String& materialB);
	// The damage multiplier of the object's factor set against a material; 1 without a set.
	float damageFactor(const lua::LuaTable& table, const lang::String& otherMaterial);
	// Takes the multiplied impact off the object's strength; returns the damage done.
	float applyDamage(lua::LuaTable& table, float multipliedImpact, float impact, bool& hit);
	void leaveHazard(RenderObjectData& object, RenderObjectData& hazard, lua::LuaTable& hazardTable);
	// Rethrows, once, the first failure a contact callback caught since the last call.
	void rethrowContactFailure();

	// Set while clearWorld destroys bodies, so the contact ends it raises touch no freed record.
	bool m_clearingWorld = false;
	// The first failure other than a script's that a contact callback caught; Box2D must not be
	// unwound mid-step.
	std::exception_ptr m_contactFailure;

	// Joints (GameLuaJoints.cpp)
	// One joint of the scripts, shared with the physics changes that wait for it.
	struct jointData
	{
		// As created, with the changes made since by "setJointParameters".
		JointDescription description;
		// Where the joint holds its first and its second end, each in that end's own frame
		// (metres): Box2D keeps the points there from the joint's making on, however the ends move.
		b2Vec2 heldOnFirst;
		b2Vec2 heldOnSecond;
		// Null for a destroy link, and, for a joint made during a physics step, until the step ends.
		b2Joint* joint;
	};
	using JointRecord = std::shared_ptr<jointData>;
	lua::LuaTable jointsTable();
	// Why the joint cannot be made between the ends' records (null for a name of no object), or
	// null when it can; gives the joint the points it would hold its ends at.
	const char* jointFault(jointData& joint, const RenderObjectData* first, const RenderObjectData* second) const;
	// Judges each joint of the list with the object as an end by judge(description, first end,
	// second end), which answers why the physics could not hold it, or null. The ends are as the
	// joint checks of GameLuaJoints.cpp see them: the object's body at pose and static when
	// isStatic, the other end as the calls so far leave it. The first fault found, with its
	// joint's name in jointName; null when every joint passes.
	template <class Judge>
	const char* jointsFault(const RenderObjectData& record, const b2Transform& pose, bool isStatic, Judge judge, lang::String& jointName) const;
	// False, with a log line, when a joint of the object would hold an end, or the end would lie,
	// beyond the world's extent were the object's body given pose (metres, radians).
	bool keepsJointsWithinExtent(const RenderObjectData& record, const b2Transform& pose) const;
	// False, with a log line, when a joint of the object could not be held, judged as a new joint
	// is, were the object's body made static (isStatic) or dynamic.
	bool keepsJointsHeld(const RenderObjectData& record, bool isStatic) const;
	// Makes the record's body static or dynamic; a dynamic body of density 0 takes the record's
	// dynamicMass, centred at its massCentre, without turning inertia.
	static void takeBodyType(RenderObjectData& record, bool isStatic);
	// Checks and makes a "setJointParameters" change of a listed joint part by part (JointChange),
	// with a log line for each part refused.
	void changeJoint(const JointRecord& record, const JointChange& change);
	// Hands each destroy link of the object its timer on the other end and drops the link.
	void releaseDestroyLinks(const lang::String& name);
	// Drops the joint list's records of the object; destroys their joints when destroyJoints.
	void dropJointsOf(const lang::String& name, bool destroyJoints);
	bool isJointEnd(const lang::String& name) const;

	std::vector<JointRecord> m_joints;
	std::vector<JointRecord> m_destroyLinks;

	// World queries (GameLuaQueries.cpp)
	// Pushes a new table of the bodies' object names, 1..n in the given order, leaving out the
	// bodies of objects already removed.
	void pushBodyNames(lua::LuaState* lua, const lang::Array<b2Body*>& bodies);

	// Game service (GameLuaGameCenter.cpp)
	// Takes the lent game service back from the world when the world goes first, so that none
	// of its later completions reaches a destroyed world.
	struct GameCenterRelease
	{
		GameLua* world;
		~GameCenterRelease();
	};
	GameCenterRelease m_gameCenterRelease{this};
	// The "gameCenter" table's "leaderboards" or "achievements" table; unbound when missing.
	lua::LuaTable gameCenterTable(const char* key) const;
};

#endif
