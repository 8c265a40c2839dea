#include <world/QueryCallback.h>

QueryCallback::QueryCallback(const b2Vec2& point, lang::Array<b2Body*>& bodies) :
	m_point(point),
	m_bodies(bodies)
{
}

bool QueryCallback::ReportFixture(b2Fixture* fixture)
{
	b2Body* body = fixture->GetBody();
	if (body->GetType() != b2_staticBody)
		m_bodies.add(body);
	return true;
}
