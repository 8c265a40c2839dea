#ifndef WORLD_RENDEROBJECTDATA_H
#define WORLD_RENDEROBJECTDATA_H

#include <lang/Hashtable.h>
#include <lang/String.h>
#include <world/GameLua.h>
#include <world/TargetFace.h>

namespace game { class CompoSprite; class Sprite; }
namespace gr { class Image; }

/**
 * The game world's record of one object: what drawing and the faces need. Allocated by the
 * creating method and freed when the object is removed; the sprites and the texture belong to
 * the resource registry.
 */
struct GameLua::RenderObjectData
{
	lang::String name;
	game::Sprite* sprite = nullptr;
	game::CompoSprite* compoSprite = nullptr;
	// A whole sprite sheet's image that makes the object a masked one.
	gr::Image* texture = nullptr;
	// The pose drawn this frame: metres and radians.
	float renderX = 0.0f;
	float renderY = 0.0f;
	float renderAngle = 0.0f;
	// Current x and y scale, then the base x and y scale.
	float scale[4] = {1.0f, 1.0f, 1.0f, 1.0f};
	bool isCompoSprite = false;
	// Drawn mirrored.
	bool flag8 = false;
	// Drawn upright whatever the body's angle.
	bool flag10 = false;
	bool isProjectile = false;
	bool damageOverTime = false;
	// Drawing layer; its integer part keys the z-order table.
	float zOrder = 0.0f;
	lang::Hashtable<int, GameLua::TargetFace> faces;
};

#endif
