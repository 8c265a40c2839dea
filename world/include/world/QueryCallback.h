#ifndef WORLD_QUERYCALLBACK_H
#define WORLD_QUERYCALLBACK_H

#include <box2d/box2d.h>
#include <lang/Array.h>

/**
 * Collects the non-static bodies of the fixtures overlapping a box query, once per fixture, in
 * Box2D's reporting order. Made on the stack for one query; fills an array its caller owns.
 */
class QueryCallback : public b2QueryCallback
{
public:
	QueryCallback(const b2Vec2& point, lang::Array<b2Body*>& bodies);

	bool ReportFixture(b2Fixture* fixture) override;

private:
	b2Vec2 m_point;
	lang::Array<b2Body*>& m_bodies;
};

#endif
