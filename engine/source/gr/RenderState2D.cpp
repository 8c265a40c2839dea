#include <gr/RenderState2D.h>
#include <cmath>

namespace gr
{

void RenderState2D::setRotation(float radians)
{
	const float c = std::cos(radians);
	const float s = std::sin(radians);
	rotation[0] = c;
	rotation[1] = s;
	rotation[2] = -s;
	rotation[3] = c;
	angle = radians;
}

} // gr
