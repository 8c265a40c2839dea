#include <gr/ogles/EGL_RenderBatcher.h>
#include <gr/ogles/EGL_Context.h>
#include <gr/Texture.h>

namespace gr
{

namespace
{

// Two triangles sharing the edge p1-p2.
const int QUAD_CORNERS[6] = {0, 1, 2, 2, 1, 3};

template <class T>
void append(std::vector<T>& array, const T* values, bool quad)
{
	if (quad)
		for (int corner : QUAD_CORNERS)
			array.push_back(values[corner]);
	else
		array.insert(array.end(), values, values + 2);
}

} // namespace

EGL_RenderBatcher::EGL_RenderBatcher(EGL_Context* context) :
	m_type(TYPE_TEXTURED_QUADS),
	m_context(context),
	m_lineWidth(1),
	m_enabled(true)
{
}

bool EGL_RenderBatcher::joins(Type type, Shader* shader, const math::float2* uv, const math::float4* colours, Image* image, int lineWidth) const
{
	// The arrays a request carries must match the batch's, or its vertices would read stale values.
	return type == m_type
		&& (type != TYPE_LINES || lineWidth == m_lineWidth)
		&& image == m_image.ptr()
		&& shader == m_shader.ptr()
		&& (uv != nullptr) == !m_uv.empty()
		&& (colours != nullptr) == !m_colours.empty()
		&& m_context->getRenderState2D().sameBatchKey(m_state);
}

void EGL_RenderBatcher::render(Type type, Shader* shader, const math::float3* positions, const math::float2* uv,
	const math::float4* colours, Image* image, int lineWidth)
{
	if (type == TYPE_TEXTURED_QUADS)
		++m_context->statistics.renderedImages;
	if (pending() && !joins(type, shader, uv, colours, image, lineWidth))
		flush();
	add(type, shader, positions, uv, colours, image, lineWidth);
}

void EGL_RenderBatcher::add(Type type, Shader* shader, const math::float3* positions, const math::float2* uv,
	const math::float4* colours, Image* image, int lineWidth)
{
	if (!pending())
	{
		m_type = type;
		m_shader = shader;
		m_image = image;
		m_state = m_context->getRenderState2D();
		m_lineWidth = lineWidth;
	}
	const bool quad = type != TYPE_LINES;
	append(m_positions, positions, quad);
	if (uv)
		append(m_uv, uv, quad);
	if (colours)
		append(m_colours, colours, quad);
}

void EGL_RenderBatcher::flush()
{
	if (!m_enabled || (!m_image && !m_shader))
		return;
	if (m_type == TYPE_TEXTURED_QUADS)
		++m_context->statistics.renderedImageFlushes;
	m_enabled = false;

	VertexFormat format;
	format.addPosition(VertexFormat::DF_V3_32);
	if (!m_uv.empty())
		format.addTextureCoordinate(VertexFormat::DF_V2_32);
	if (!m_colours.empty())
		format.addDiffuse(VertexFormat::DF_V4_8);

	const int vertices = (int)m_positions.size();
	Primitive* primitive = m_context->getDynamicPrimitive(m_type == TYPE_LINES ? Primitive::PRIM_LINE : Primitive::PRIM_TRI, format, vertices, 0);
	{
		ContextObject::Lock lock(primitive, ContextObject::LOCK_WRITE);
		primitive->setVertexData(VertexFormat::DT_POSITION, 0, m_positions.data(), VertexFormat::DF_V3_32, vertices);
		if (!m_uv.empty())
			primitive->setVertexData(VertexFormat::DT_TEX0, 0, m_uv.data(), VertexFormat::DF_V2_32, (int)m_uv.size());
		if (!m_colours.empty())
			primitive->setVertexData(VertexFormat::DT_DIFFUSE, 0, m_colours.data(), VertexFormat::DF_V4_32, (int)m_colours.size());
		primitive->setVertexRangeBegin(0);
		primitive->setVertexRangeEnd(vertices);
	}

	m_context->setClipRect(m_state.clipRect);
	m_context->setOrthographicProjection();
	Shader* shader = m_shader;
	if (shader)
	{
		if (m_type == TYPE_LINES)
			shader->setFloat("LINE_WIDTH", (float)m_lineWidth);
		shader->setFloat("ALPHA_FACTOR", m_state.alphaFactor);
		if (m_image)
			shader->setTexture("BASEMAP", m_image->getTexture());
		primitive->setShader(shader);
		const int passes = shader->begin();
		const math::float4x4 identity(1.f);
		shader->setMatrix(Shader::PARAM_WORLDTM, identity);
		shader->setMatrix(Shader::PARAM_VIEWTM, identity);
		for (int pass = 0; pass < passes; ++pass)
		{
			shader->beginPass(pass);
			primitive->render();
			shader->endPass();
		}
		shader->end();
	}
	reset();
	m_enabled = true;
}

void EGL_RenderBatcher::reset()
{
	m_enabled = false;
	m_positions.clear();
	m_uv.clear();
	m_colours.clear();
	m_image = nullptr;
	m_shader = nullptr;
	m_enabled = true;
}

} // gr
