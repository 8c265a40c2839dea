#include <hgr/Visual.h>

namespace hgr
{

Visual::Visual() :
	m_boundMin(-UNBOUNDED, -UNBOUNDED, -UNBOUNDED),
	m_boundMax(UNBOUNDED, UNBOUNDED, UNBOUNDED),
	m_boundRadius(UNBOUNDED)
{
	setClassId(NODE_VISUAL);
}

Visual::Visual(const Visual& other) :
	Node(other),
	m_boundMin(other.m_boundMin),
	m_boundMax(other.m_boundMax),
	m_boundRadius(other.m_boundRadius)
{
}

Node* Visual::clone() const
{
	return nullptr;
}

void Visual::setBound(const math::float3& boundMin, const math::float3& boundMax, float radius)
{
	m_boundMin = boundMin;
	m_boundMax = boundMax;
	m_boundRadius = radius;
}

} // hgr
