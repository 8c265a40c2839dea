#ifndef WORLD_RENDEROBJECTDATA_H
#define WORLD_RENDEROBJECTDATA_H

#include <lang/Hashtable.h>
#include <world/GameLua.h>
#include <world/TargetFace.h>

namespace game { class Sprite; class CompoSprite; }
namespace gr { class Image; }

/**
 * The game world's record of one object: its body, its script table and what drawing,
 * interpolation and damage need. Allocated by the creating script method and owned by the game
 * world's object table until the object is removed or the world is cleared, then by the change
 * that destroys its body; the body belongs to the physics world, the sprites and the texture to
 * the resource registry.
 */
struct GameLua::RenderObjectData
{
	/** One stored physics pose: metres and radians. */
	struct State
	{
		float x;
		float y;
		float angle;
	};

	RenderObjectData(const lang::String& objectName, const lua::LuaTable& scriptTable, b2Body* objectBody, float x, float y, float z);
	// A record of no object, as tests place them.
	RenderObjectData() : RenderObjectData(lang::String(), lua::LuaTable(), nullptr, 0.0f, 0.0f, 0.0f) {}

	lang::String name;
	lua::LuaTable table;
	// Null while the physics world steps, for an object made during that step (poseWaiting).
	b2Body* body;
	lang::String spriteName;
	game::Sprite* sprite;
	game::CompoSprite* compoSprite;
	gr::Image* texture;
	// The last two stored physics states; the frame writes slot GameLua::m_stateSlot last.
	State states[2];
	// A circle's radius in metres; -1 for boxes and polygons, which never roll audibly.
	float radius;
	float width;
	float height;
	float renderX;
	float renderY;
	float renderAngle;
	// Current x and y scale, then the base x and y scale the wobble swings round.
	float scale[4];
	bool isCompoSprite;
	bool flag8;
	bool flag9;
	bool flag10;
	bool flag11;
	bool flag12;
	bool flag14;
	bool gettingUp;
	// Seconds left for a toppled target to right itself.
	float getUpTimer;
	bool isProjectile;
	bool rolls;
	bool damageOverTime;
	bool flag13;
	// Rolling-sound material: 0 none, 1 wood, 2 rock, 3 light, 4 propeller, 5 immovable.
	int material;
	bool hasPendingVelocity;
	b2Vec2 pendingVelocity;
	float zOrder;
	// Whether the body was awake at the previous frame; a body asleep twice running is not published.
	bool wasAwake;
	int hazardContacts;
	bool jointDestroyPending;
	// Seconds until a record whose joint partner was removed loses its strength.
	float jointDestroyTimer;
	int hazardTouches;
	bool hitMarked;
	float hitThreshold;
	float hitAmount;
	float param7;
	float param6;
	float param4;
	float param3;
	// Damage-over-time state started by object parameter 1: a flag word, then the values the
	// target code reads (the fifth is a random phase in [0, 3)).
	int damageStateFlag;
	float damageStateValues[6];
	bool wobbling;
	// Seconds since the wobble started.
	float wobbleTime;
	float wobbleValue;
	float wobbleAmplitude;
	float wobbleSpeedOffset;
	float wobbleFactor;
	// Face state of a target, by face.
	lang::Hashtable<int, GameLua::TargetFace> faces;
	// The body type and mass as the calls so far leave them, known before the body takes them.
	bool staticBody;
	// Kilograms, the mass of the body when dynamic: its fixture's, or a set mass at density 0,
	// where Box2D would give it none.
	float dynamicMass;
	// While a change that makes, moves or turns the body waits for the physics step to end, the
	// pose it will give the body (metres, radians).
	bool poseWaiting = false;
	b2Transform waitingPose;
	// Where the body's mass is centred in its own frame (metres) and its rotational inertia about
	// that centre (kilogram square metres), known before the body exists like its mass.
	b2Vec2 massCentre;
	float centralInertia;
	// Set once its body, turned to no number or carried beyond the world's extent by a step, has
	// been put back; it is logged only the first time.
	bool putBackByTheNet = false;

	float mass() const										{ return staticBody ? 0.0f : dynamicMass; }
};

/**
 * User data of one fixture, owned by the game world: allocated with the fixture and freed after
 * the fixture's body has been destroyed, so that the contact-end callbacks the destruction
 * raises still read it and its record.
 */
struct GameLua::FixtureUserData
{
	lang::String name;
	bool collisionEnabled;
	int sensorKind;
	bool triggersSensors;
	// The object's record, which outlives the body; null for a body made without one.
	RenderObjectData* record = nullptr;
};

#endif
