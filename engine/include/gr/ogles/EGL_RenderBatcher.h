#ifndef GR_EGL_RENDERBATCHER_H
#define GR_EGL_RENDERBATCHER_H

#include <gr/Image.h>
#include <gr/RenderState2D.h>
#include <gr/Shader.h>
#include <lang/Ptr.h>
#include <math/float2.h>
#include <math/float3.h>
#include <math/float4.h>
#include <vector>

namespace gr
{

class EGL_Context;

/**
 * Collects consecutive compatible 2D requests (lines, filled quads, textured quads) into one
 * vertex list drawn with one dynamic primitive and one shader. A member of the device, which it
 * points back to without owning; holds counted references to the pending batch's image and shader.
 */
class EGL_RenderBatcher
{
public:
	enum Type
	{
		TYPE_LINES = 0,
		TYPE_QUADS = 1,
		TYPE_TEXTURED_QUADS = 2
	};

	explicit EGL_RenderBatcher(EGL_Context* context);

	/**
	 * Queues one request, drawing the pending batch first when the request can't join it.
	 * Quads give four corners in the order origin, +width, +height, +both; lines two ends;
	 * uv and colours (red, green, blue, alpha on 0..255) have as many entries, or are null.
	 * lineWidth in pixels matters for lines only.
	 */
	void render(Type type, Shader* shader, const math::float3* positions, const math::float2* uv,
		const math::float4* colours, Image* image, int lineWidth);

	/** Appends a request to the pending batch without any compatibility test. */
	void add(Type type, Shader* shader, const math::float3* positions, const math::float2* uv,
		const math::float4* colours, Image* image, int lineWidth);

	/** Draws the pending batch, if any, and empties it. */
	void flush();

	/** Empties the batch without drawing. */
	void reset();

	Image* getImage() const								{ return m_image; }
	bool pending() const								{ return !m_positions.empty(); }

private:
	bool joins(Type type, Shader* shader, const math::float2* uv, const math::float4* colours, Image* image, int lineWidth) const;

	RenderState2D m_state;
	Type m_type;
	EGL_Context* m_context;
	lang::Ptr<Image> m_image;
	lang::Ptr<Shader> m_shader;
	int m_lineWidth;
	std::vector<math::float3> m_positions;
	std::vector<math::float2> m_uv;
	std::vector<math::float4> m_colours;
	bool m_enabled;
};

} // gr

#endif
