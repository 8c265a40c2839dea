#ifndef PLATFORM_DISPLAYROTATION_H
#define PLATFORM_DISPLAYROTATION_H

#include <cstdint>
#include <vector>

namespace platform {

// How the portrait view is turned to make the picture the user sees: a plain value. Quarter
// turns as the rendering device counts them (0 native, 1 landscape right, 2 upside down,
// 3 landscape left); sizes in pixels.
class DisplayRotation
{
public:
	DisplayRotation(int quarterTurns, int viewWidth, int viewHeight);
	// From a status bar orientation: 1 portrait, 2 upside down, 3 landscape right, 4 landscape left.
	static DisplayRotation fromStatusBar(int statusBarOrientation, int viewWidth, int viewHeight);

	int quarterTurns() const { return m_turns; }
	// Size of the picture as shown.
	int screenWidth() const;
	int screenHeight() const;
	// Maps a point of the shown picture (origin top left) to the view point under it.
	void toView(float screenX, float screenY, float& viewX, float& viewY) const;
	// The shown picture (RGBA8, rows top to bottom) of the view's pixels as GL reads them (RGBA8,
	// rows bottom to top, viewWidth x viewHeight).
	std::vector<uint8_t> screenPicture(const std::vector<uint8_t>& viewPixels) const;

private:
	int m_turns;
	int m_viewWidth;
	int m_viewHeight;
};

} // platform

#endif
