#ifndef HGR_CAMERA_H
#define HGR_CAMERA_H

#include <hgr/Node.h>

namespace hgr
{

/**
 * A viewpoint in the hierarchy: its world transform's columns are the right, up and view axes,
 * the view transform maps world to camera space. Reference counted like every node.
 */
class Camera : public Node
{
public:
	/** Default front (near) plane distance, in world units. */
	static constexpr float DEFAULT_FRONT = 0.1f;
	/** Default back (far) plane distance, in world units. */
	static constexpr float DEFAULT_BACK = 1000.f;

	Camera();

	Node* clone() const override;

	/** Clip plane distances in world units along the view axis; 0 < front < back. */
	void setClipPlanes(float front, float back);
	float front() const									{ return m_front; }
	float back() const									{ return m_back; }

	/** World to camera space: the inverse of the world transform. */
	math::float3x4 viewTransform() const;

private:
	float m_front;
	float m_back;
};

} // hgr

#endif
