#ifndef BENCH_PYRAMIDSCENE_H
#define BENCH_PYRAMIDSCENE_H

#include <box2d/box2d.h>
#include <cstdio>
#include <memory>
#include <string>

/**
 * A pyramid of 1 m boxes, described once and built two ways: through the game world's script
 * methods (buildPyramid below) and as bare physics bodies with the game world's settings, so that
 * a benchmark can time the game world against a bare physics step of the same bodies. A plain value.
 */
struct PyramidScene
{
	// Of the ground and of every box, as the game's scripts give them; the boxes' density in kg/m^2.
	static constexpr float FRICTION = 0.5f;
	static constexpr float BOX_DENSITY = 1.0f;
	// The game world's gravity (m/s^2, y grows downward) and the damping of every body it makes (1/s).
	static constexpr float GRAVITY = 20.0f;
	static constexpr float ANGULAR_DAMPING = 1.0f;

	/**
	 * Script text defining buildPyramid(world, baseRow, topRow, firstY, rowHeight, spacing, sprite):
	 * makes the boxes through the game world's table, named box<row>_<i>, of wood.
	 */
	static constexpr const char* BUILD_PYRAMID =
		"function buildPyramid(world, baseRow, topRow, firstY, rowHeight, spacing, sprite)\n"
		"  for row = 0, baseRow - topRow do\n"
		"    local count = baseRow - row\n"
		"    for i = 1, count do\n"
		"      local name = 'box' .. row .. '_' .. i\n"
		"      world.createBox(name, sprite, (i - (count + 1) / 2) * spacing, firstY - row * rowHeight, 1, 1, 1, 0.5, 0, true, false, 1)\n"
		"      world.objects.world[name].material = 'wood'\n"
		"    end\n"
		"  end\n"
		"end\n";

	// Boxes in the lowest row and in the highest.
	int baseRow;
	int topRow;
	// Centre height of a box in the lowest row and the rise per row (m).
	float firstRowY;
	float rowHeight;
	// Between box centres in a row (m).
	float spacing;

	int boxes() const									{ return (baseRow + topRow) * (baseRow - topRow + 1) / 2; }

	/** The script call that builds it through the world table named world, with the sprite for every box. */
	std::string scriptCall(const char* world, const char* sprite) const
	{
		char call[160];
		std::snprintf(call, sizeof(call), "buildPyramid(%s, %d, %d, %g, %g, %g, '%s')", world, baseRow, topRow, firstRowY, rowHeight, spacing, sprite);
		return call;
	}

	/** An empty physics world with the game world's settings. */
	static std::unique_ptr<b2World> bareWorld()
	{
		auto world = std::make_unique<b2World>(b2Vec2(0.0f, GRAVITY));
		world->SetAllowSleeping(true);
		world->SetAutoClearForces(false);
		world->SetStackGrowth(true);
		return world;
	}

	/** A box as the game world's createBox makes it: static when its density is 0. */
	static b2Body* addBox(b2World& world, float x, float y, float width, float height, float density)
	{
		b2BodyDef def;
		def.type = density == 0.0f ? b2_staticBody : b2_dynamicBody;
		def.position.Set(x, y);
		def.angularDamping = ANGULAR_DAMPING;
		b2PolygonShape shape;
		shape.SetAsBox(width * 0.5f, height * 0.5f);
		b2FixtureDef fixture;
		fixture.shape = &shape;
		fixture.density = density;
		fixture.friction = FRICTION;
		b2Body* body = world.CreateBody(&def);
		body->CreateFixture(&fixture);
		return body;
	}

	/** The boxes in the order buildPyramid makes them, each passed to add. */
	template <class Add>
	void addBoxes(b2World& world, Add add) const
	{
		for (int row = 0; row <= baseRow - topRow; ++row)
		{
			const int count = baseRow - row;
			for (int i = 1; i <= count; ++i)
				add(addBox(world, (static_cast<float>(i) - static_cast<float>(count + 1) / 2.0f) * spacing,
					firstRowY - static_cast<float>(row) * rowHeight, 1.0f, 1.0f, BOX_DENSITY));
		}
	}
};

#endif
