#ifndef WORLD_POLYGONHULL_H
#define WORLD_POLYGONHULL_H

#include <box2d/b2_math.h>

/**
 * Whether b2PolygonShape::Set can build a polygon of a list of points, found by a dry run of
 * Set's own steps on the same floats: points closer than half the linear slop are welded into
 * one, the hull is wrapped from the rightmost point and must close within b2_maxPolygonVertices
 * corners, it needs three corners, edges of some length and, as Set's centroid sums it, an area
 * above b2_epsilon. On any other list Set asserts, or writes past its hull array where asserts are
 * off, so such a list never reaches it. A value; keeps no reference to the points (metres).
 */
class PolygonHull
{
public:
	enum Fault
	{
		NONE,
		TOO_FEW_POINTS,
		TOO_MANY_POINTS,
		POINTS_WELDED,
		HULL_UNCLOSED,
		HULL_TOO_SMALL,
		EDGE_WITHOUT_LENGTH,
		NO_AREA
	};

	PolygonHull(const b2Vec2* points, int count);

	Fault fault() const										{ return m_fault; }
	// Why Set cannot build the polygon, worded to follow "N points, " in a log line; null when it can.
	const char* reason() const;
	// The corners Set keeps when there is no fault: 3 to b2_maxPolygonVertices.
	int cornerCount() const									{ return m_cornerCount; }

private:
	Fault m_fault;
	int m_cornerCount;

	Fault judge(const b2Vec2* points, int count);
};

#endif
