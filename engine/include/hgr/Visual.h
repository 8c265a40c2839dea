#ifndef HGR_VISUAL_H
#define HGR_VISUAL_H

#include <hgr/Node.h>
#include <lang/Array.h>
#include <math/float3.h>

namespace gr
{
class Context;
class Shader;
}

namespace hgr
{

class Camera;

/** Abstract base of nodes that draw themselves, with their bounding volume. Reference counted. */
class Visual : public Node
{
public:
	/** Half extent of the unbounded default box and its radius, in world units. */
	static constexpr float UNBOUNDED = 1e10f;

	/** Node defaults, class id NODE_VISUAL, an unbounded box and radius. */
	Visual();
	Visual(const Visual& other);

	/** Null: only concrete visuals can be cloned. */
	Node* clone() const override;

	/** Draws the visual if its shader belongs to the pass of the given priority. */
	virtual void render(gr::Context* context, Camera* camera, int priority) = 0;
	/** Appends the shaders the visual draws with, so a scene renderer can collect the passes. */
	virtual void getShaders(lang::Array<gr::Shader*>& shaders) = 0;
	/** Recomputes the bounding box and radius from the visual's content. */
	virtual void computeBound() = 0;

	const math::float3& boundMin() const				{ return m_boundMin; }
	const math::float3& boundMax() const				{ return m_boundMax; }
	float boundRadius() const							{ return m_boundRadius; }

protected:
	void setBound(const math::float3& boundMin, const math::float3& boundMax, float radius);

private:
	math::float3 m_boundMin;
	math::float3 m_boundMax;
	float m_boundRadius;
};

} // hgr

#endif
