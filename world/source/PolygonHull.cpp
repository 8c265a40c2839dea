#include <world/PolygonHull.h>

#include <box2d/b2_common.h>

// Every step below repeats b2PolygonShape::Set (Box2D 2.4.1) operation by operation in float:
// its outcome on points that lie near a line, or near one another, turns on the rounding of
// exactly these operations, which a hull found any other way does not share.
namespace {

// Set's welding: each point joins the kept ones unless it lies closer than half the linear slop
// to one of them. Returns how many are kept in welded.
int weld(const b2Vec2* points, int count, b2Vec2* welded)
{
	int kept = 0;
	for (int i = 0; i < count; ++i)
	{
		const b2Vec2 v = points[i];
		bool unique = true;
		for (int j = 0; j < kept; ++j)
		{
			if (b2DistanceSquared(v, welded[j]) < ((0.5f * b2_linearSlop) * (0.5f * b2_linearSlop)))
			{
				unique = false;
				break;
			}
		}
		if (unique)
			welded[kept++] = v;
	}
	return kept;
}

// Set's gift wrap from the rightmost point (the lowest of several): each next corner is the point
// that no other lies to the right of as the floats have it, the farthest of several on one line.
// Returns the corner count, with the indices of the corners in hull, or 0 when the wrap has not
// come back to its start within b2_maxPolygonVertices corners: near a line, rounding can lead it
// round and round, and Set would then write past its hull array.
int wrap(const b2Vec2* ps, int n, int* hull)
{
	int i0 = 0;
	float x0 = ps[0].x;
	for (int i = 1; i < n; ++i)
	{
		const float x = ps[i].x;
		if (x > x0 || (x == x0 && ps[i].y < ps[i0].y))
		{
			i0 = i;
			x0 = x;
		}
	}

	int m = 0;
	int ih = i0;
	for (;;)
	{
		if (m == b2_maxPolygonVertices)
			return 0;
		hull[m] = ih;
		int ie = 0;
		for (int j = 1; j < n; ++j)
		{
			if (ie == ih)
			{
				ie = j;
				continue;
			}
			const b2Vec2 r = ps[ie] - ps[hull[m]];
			const b2Vec2 v = ps[j] - ps[hull[m]];
			const float c = b2Cross(r, v);
			if (c < 0.0f)
				ie = j;
			if (c == 0.0f && v.LengthSquared() > r.LengthSquared())
				ie = j;
		}
		++m;
		ih = ie;
		if (ie == i0)
			return m;
	}
}

// Set asserts that each edge of the hull has a length, before it makes the edge's normal.
bool hasEdgesOfLength(const b2Vec2* vs, int count)
{
	for (int i = 0; i < count; ++i)
	{
		const b2Vec2 edge = vs[i + 1 < count ? i + 1 : 0] - vs[i];
		if (!(edge.LengthSquared() > b2_epsilon * b2_epsilon))
			return false;
	}
	return true;
}

// The area (square metres) as Set's centroid sums it over the triangles from the first corner,
// which Set asserts to be above b2_epsilon; the mass computation sums the same triangles.
float centroidArea(const b2Vec2* vs, int count)
{
	const b2Vec2 s = vs[0];
	float area = 0.0f;
	for (int i = 0; i < count; ++i)
	{
		const b2Vec2 p1 = vs[0] - s;
		const b2Vec2 p2 = vs[i] - s;
		const b2Vec2 p3 = i + 1 < count ? vs[i + 1] - s : vs[0] - s;
		const b2Vec2 e1 = p2 - p1;
		const b2Vec2 e2 = p3 - p1;
		const float D = b2Cross(e1, e2);
		const float triangleArea = 0.5f * D;
		area += triangleArea;
	}
	return area;
}

} // namespace

PolygonHull::PolygonHull(const b2Vec2* points, int count) : m_fault(NONE), m_cornerCount(0)
{
	m_fault = judge(points, count);
}

PolygonHull::Fault PolygonHull::judge(const b2Vec2* points, int count)
{
	// Set asserts on a count outside this range; without asserts it takes the first points only.
	if (count < 3)
		return TOO_FEW_POINTS;
	if (count > b2_maxPolygonVertices)
		return TOO_MANY_POINTS;
	b2Vec2 welded[b2_maxPolygonVertices];
	const int kept = weld(points, count, welded);
	if (kept < 3)
		return POINTS_WELDED;
	int hull[b2_maxPolygonVertices];
	const int corners = wrap(welded, kept, hull);
	if (corners == 0)
		return HULL_UNCLOSED;
	if (corners < 3)
		return HULL_TOO_SMALL;
	b2Vec2 vertices[b2_maxPolygonVertices];
	for (int i = 0; i < corners; ++i)
		vertices[i] = welded[hull[i]];
	if (!hasEdgesOfLength(vertices, corners))
		return EDGE_WITHOUT_LENGTH;
	if (!(centroidArea(vertices, corners) > b2_epsilon))
		return NO_AREA;
	m_cornerCount = corners;
	return NONE;
}

const char* PolygonHull::reason() const
{
	switch (m_fault)
	{
	case NONE:
		return nullptr;
	case TOO_FEW_POINTS:
		return "at least 3 are needed";
	case TOO_MANY_POINTS:
		return "more than a polygon of the physics holds";
	case POINTS_WELDED:
		return "fewer than 3 of them lie at least half the physics' linear slop apart";
	case HULL_UNCLOSED:
		return "so near a line that their hull does not close within the corners a polygon holds";
	case HULL_TOO_SMALL:
		return "their hull has fewer than 3 corners";
	case EDGE_WITHOUT_LENGTH:
		return "their hull has an edge of no length";
	case NO_AREA:
		return "their hull spans no area";
	}
	return nullptr;
}
