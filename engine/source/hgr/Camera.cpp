#include <hgr/Camera.h>

namespace hgr
{

Camera::Camera() :
	m_front(DEFAULT_FRONT),
	m_back(DEFAULT_BACK)
{
}

Node* Camera::clone() const
{
	return new Camera(*this);
}

void Camera::setClipPlanes(float front, float back)
{
	m_front = front;
	m_back = back;
}

math::float3x4 Camera::viewTransform() const
{
	return worldTransform().inverse();
}

} // hgr
