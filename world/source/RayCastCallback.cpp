#include <world/RayCastCallback.h>

RayCastCallback::RayCastCallback(lang::Array<b2Body*>& bodies) :
	m_bodies(bodies)
{
}

float RayCastCallback::ReportFixture(b2Fixture* fixture, const b2Vec2&, const b2Vec2&, float)
{
	b2Body* body = fixture->GetBody();
	if (body->GetType() != b2_staticBody && !fixture->IsSensor())
		m_bodies.add(body);
	// Never shorten the ray: every fixture along the whole segment is reported.
	return 1.0f;
}
