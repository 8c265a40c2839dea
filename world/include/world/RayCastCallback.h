#ifndef WORLD_RAYCASTCALLBACK_H
#define WORLD_RAYCASTCALLBACK_H

#include <box2d/box2d.h>
#include <lang/Array.h>

/**
 * Collects the non-static bodies of every non-sensor fixture along a whole ray, once per
 * fixture, in Box2D's reporting order (not by distance). Made on the stack for one cast; fills
 * an array its caller owns.
 */
class RayCastCallback : public b2RayCastCallback
{
public:
	explicit RayCastCallback(lang::Array<b2Body*>& bodies);

	float ReportFixture(b2Fixture* fixture, const b2Vec2& point, const b2Vec2& normal, float fraction) override;

private:
	lang::Array<b2Body*>& m_bodies;
};

#endif
