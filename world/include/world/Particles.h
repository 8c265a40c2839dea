#ifndef WORLD_PARTICLES_H
#define WORLD_PARTICLES_H

#include <lang/Array.h>
#include <lang/Hashtable.h>
#include <lang/String.h>
#include <lua/LuaObject.h>

class GameLua;
namespace game { class Resources; class Sprite; }
namespace gr { class Context; }

/**
 * The game's sprite particles: bursts spawned by template name that fly, spin, scale and animate
 * until their lifetime ends, in the game world (through its camera) and in the menus. Published
 * to the scripts as the global "particles". Owned by the game world, which it borrows with the
 * resource registry; must be destroyed before the Lua state. Main thread only.
 */
class Particles : public lua::LuaObject
{
public:
	/** Soft limits of a burst: above this many live particles the count asked for is halved. */
	static const int HALVING_THRESHOLD = 40;
	/** Hard limit of live particles that a burst may reach. */
	static const int MAX_PARTICLES = 125;
	/** Menu speeds are given for a screen of this height, pixels. */
	static constexpr float MENU_REFERENCE_HEIGHT = 768.0f;

	Particles(lua::LuaState* lua, GameLua* world, game::Resources* resources);
	~Particles() override;
	Particles(const Particles&) = delete;
	Particles& operator=(const Particles&) = delete;

	/**
	 * Spawns about count particles of the template name, spread over an area of areaWidth x
	 * areaHeight (pixels) centred at (x, y) and turned by angle (radians). The template is read
	 * from the world's "particleTable"."particles" on first use and cached by name.
	 */
	void addParticles(lang::String name, float count, float x, float y, float areaWidth, float areaHeight, float angle);
	/** Ages and moves every live particle by dt seconds; in game, particles under the ground go. */
	void update(float dt, bool inGame, gr::Context* context);
	/** Draws every live particle through the world's camera (in game) or at the menu scale. */
	void draw(gr::Context* context, bool inGame);
	/** Removes every live particle; templates stay cached. */
	void clearAll();
	void setMenuScale(float scale)							{ m_menuScale = scale; }

private:
	// A template, read once from the script table; angles in radians, speeds in pixels per second.
	struct ParticleSystemData
	{
		lang::String name;
		lang::Array<lang::String> sprites;
		// Runs through the sprites over the lifetime instead of picking one at random.
		bool animated;
		float minVel, maxVel;
		float minAngleVel, maxAngleVel;
		float minScaleBegin, maxScaleBegin;
		float minScaleEnd, maxScaleEnd;
		// Seconds.
		float lifeTime;
		// Pixels per second squared.
		float gravityX, gravityY;
		float minAngleEmitter, maxAngleEmitter;
		float minAngle, maxAngle;
		// Kept from the template; the burst limits apply whatever it says.
		bool ignoreLimits;
		float emitAreaScaleX, emitAreaScaleY;
	};

	// One live particle, kept by value; positions in pixels, times in seconds.
	struct ParticleData
	{
		lang::String templateName;
		lang::String spriteName;
		float x, y;
		float vx, vy;
		float angle;
		float angularVelocity;
		float scaleBegin, scaleEnd;
		float scale;
		// Owned by its sprite sheet in the resource registry.
		game::Sprite* sprite;
		float age;
		float lifeTime;
		// 1-based index into the template's sprites.
		int frame;
		// Owned by the template cache.
		ParticleSystemData* system;
		bool animated;
	};

	ParticleSystemData* findTemplate(const lang::String& name);
	void spawn(ParticleSystemData* system, float x, float y, float areaWidth, float areaHeight, float angle);

	GameLua* m_world;
	game::Resources* m_resources;
	float m_menuScale;
	lang::Array<ParticleData> m_particles;
	lang::Hashtable<lang::String, ParticleSystemData*> m_templates;
};

#endif
