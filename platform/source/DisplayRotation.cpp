#include <platform/DisplayRotation.h>
#include <cstddef>

namespace platform {

DisplayRotation::DisplayRotation(int quarterTurns, int viewWidth, int viewHeight) :
	m_turns(quarterTurns >= 0 && quarterTurns <= 3 ? quarterTurns : 0),
	m_viewWidth(viewWidth),
	m_viewHeight(viewHeight)
{
}

DisplayRotation DisplayRotation::fromStatusBar(int statusBarOrientation, int viewWidth, int viewHeight)
{
	static const int turns[] = {0, 0, 2, 1, 3};
	const int o = statusBarOrientation >= 1 && statusBarOrientation <= 4 ? statusBarOrientation : 1;
	return DisplayRotation(turns[o], viewWidth, viewHeight);
}

int DisplayRotation::screenWidth() const
{
	return m_turns % 2 ? m_viewHeight : m_viewWidth;
}

int DisplayRotation::screenHeight() const
{
	return m_turns % 2 ? m_viewWidth : m_viewHeight;
}

// The inverse of the rendering device's mapping of view points to screen points.
void DisplayRotation::toView(float screenX, float screenY, float& viewX, float& viewY) const
{
	const float w = static_cast<float>(m_viewWidth);
	const float h = static_cast<float>(m_viewHeight);
	switch (m_turns)
	{
	case 1:
		viewX = w - screenY;
		viewY = screenX;
		break;
	case 2:
		viewX = w - screenX;
		viewY = h - screenY;
		break;
	case 3:
		viewX = screenY;
		viewY = h - screenX;
		break;
	default:
		viewX = screenX;
		viewY = screenY;
		break;
	}
}

std::vector<uint8_t> DisplayRotation::screenPicture(const std::vector<uint8_t>& viewPixels) const
{
	const int width = screenWidth();
	const int height = screenHeight();
	std::vector<uint8_t> picture(static_cast<size_t>(width) * height * 4);
	if (viewPixels.size() != picture.size())
		return {};
	for (int sy = 0; sy < height; ++sy)
		for (int sx = 0; sx < width; ++sx)
		{
			float vx = 0, vy = 0;
			toView(sx + 0.5f, sy + 0.5f, vx, vy);
			const int column = static_cast<int>(vx);
			const int row = m_viewHeight - 1 - static_cast<int>(vy);
			const uint8_t* from = &viewPixels[(static_cast<size_t>(row) * m_viewWidth + column) * 4];
			uint8_t* to = &picture[(static_cast<size_t>(sy) * width + sx) * 4];
			to[0] = from[0];
			to[1] = from[1];
			to[2] = from[2];
			to[3] = 255;
		}
	return picture;
}

} // platform
