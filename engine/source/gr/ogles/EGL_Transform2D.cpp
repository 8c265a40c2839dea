#include <gr/ogles/EGL_Transform2D.h>
#include <algorithm>

namespace gr
{

EGL_Transform2D::EGL_Transform2D(const RenderState2D& state, int screenWidth, int screenHeight) :
	m_state(state),
	m_scaleX(2.f * state.scale.x / (float)screenWidth),
	m_scaleY(-2.f * state.scale.y / (float)screenHeight)
{
}

math::float2 EGL_Transform2D::toPixels(float x, float y, float u, float v) const
{
	const RenderState2D& s = m_state;
	const float du = u - s.pivot.x;
	const float dv = v - s.pivot.y;
	return math::float2(x + s.translation.x + s.pivot.x + s.rotation[0] * du + s.rotation[2] * dv,
		y + s.translation.y + s.pivot.y + s.rotation[1] * du + s.rotation[3] * dv);
}

math::float2 EGL_Transform2D::toPixelsUnrotated(float x, float y, float u, float v) const
{
	return math::float2(x + m_state.translation.x + u, y + m_state.translation.y + v);
}

math::float3 EGL_Transform2D::toClip(const math::float2& pixels) const
{
	return math::float3(pixels.x * m_scaleX - 1.f, pixels.y * m_scaleY + 1.f, DEPTH);
}

void EGL_Transform2D::quad(float x, float y, float width, float height, bool unrotated, math::float2* pixels, math::float3* corners) const
{
	const float offsets[4][2] = {{0.f, 0.f}, {width, 0.f}, {0.f, height}, {width, height}};
	for (int i = 0; i < 4; ++i)
	{
		pixels[i] = unrotated ? toPixelsUnrotated(x, y, offsets[i][0], offsets[i][1]) : toPixels(x, y, offsets[i][0], offsets[i][1]);
		corners[i] = toClip(pixels[i]);
	}
}

bool EGL_Transform2D::culled(const math::float3* points, int count)
{
	float minX = points[0].x;
	float maxX = points[0].x;
	float minY = points[0].y;
	float maxY = points[0].y;
	for (int i = 1; i < count; ++i)
	{
		minX = std::min(minX, points[i].x);
		maxX = std::max(maxX, points[i].x);
		minY = std::min(minY, points[i].y);
		maxY = std::max(maxY, points[i].y);
	}
	return maxX < -1.f || maxY < -1.f || minX >= 1.f || minY >= 1.f;
}

bool EGL_Transform2D::culledUnrotated(const math::float3* corners) const
{
	const float left = corners[0].x;
	const float right = corners[1].x;
	const float top = corners[0].y;
	const float bottom = corners[2].y;
	const bool outX = m_state.scale.x >= 0.f ? (right < -1.f || left >= 1.f) : (left < -1.f || right >= 1.f);
	const bool outY = m_state.scale.y >= 0.f ? (bottom > 1.f || top <= -1.f) : (top > 1.f || bottom <= -1.f);
	return outX || outY;
}

} // gr
