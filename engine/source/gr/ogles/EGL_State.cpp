#include <gr/ogles/EGL_State.h>
#include <cstring>

namespace gr
{

EGL_State EGL_State::sm_current;

EGL_State::EGL_State()
{
	reset();
}

void EGL_State::reset()
{
	static const GLenum CAPABILITIES[] = {
		GL_VERTEX_ARRAY, GL_NORMAL_ARRAY, GL_COLOR_ARRAY, GL_TEXTURE_COORD_ARRAY, GL_POINT_SIZE_ARRAY_OES,
		GL_NORMALIZE, GL_RESCALE_NORMAL, GL_CLIP_PLANE0, GL_CLIP_PLANE1, GL_CLIP_PLANE2, GL_CLIP_PLANE3,
		GL_CLIP_PLANE4, GL_CLIP_PLANE5, GL_FOG, GL_LIGHTING, GL_COLOR_MATERIAL, GL_LIGHT0, GL_POINT_SMOOTH,
		GL_POINT_SPRITE_OES, GL_LINE_SMOOTH, GL_CULL_FACE, GL_POLYGON_OFFSET_FILL, GL_MULTISAMPLE,
		GL_SAMPLE_ALPHA_TO_COVERAGE, GL_SAMPLE_ALPHA_TO_ONE, GL_SAMPLE_COVERAGE, GL_SAMPLE_COVERAGE_INVERT, GL_SCISSOR_TEST,
		GL_ALPHA_TEST, GL_STENCIL_TEST, GL_DEPTH_TEST, GL_BLEND, GL_DITHER, GL_COLOR_LOGIC_OP,
	};
	m_capabilities.clear();
	for (GLenum capability : CAPABILITIES)
		m_capabilities[capability] = false;
	for (int unit = 0; unit < TEXTURE_UNITS; ++unit)
		m_capabilities[GL_TEXTURE_2D + unit] = false;
	// Only multisampling is recorded as on. Dithering is recorded as off although GL starts with it
	// on, so the shaders' request to turn it off reaches GL only after something turned it on.
	m_capabilities[GL_MULTISAMPLE] = true;

	m_modelView = math::float4x4(1.f);
	m_projection = math::float4x4(1.f);
	for (math::float4x4& m : m_textureMatrices)
		m = math::float4x4(1.f);
	m_viewport = Rect(-10000, -10000, 10000, 10000);
	m_scissor = Rect(-10000, -10000, 10000, 10000);
	m_clientActiveTexture = GL_TEXTURE0;
	m_activeTexture = GL_TEXTURE0;
	std::fill(m_boundTextures, m_boundTextures + TEXTURE_UNITS, 0u);
	m_blendSource = GL_ONE;
	m_blendDestination = GL_ZERO;
	// No function recorded: the first depth function always reaches GL.
	m_depthFunction = 0;
	m_frontFace = GL_CCW;
	m_currentMatrixMode = GL_MODELVIEW;
	m_wantedMatrixMode = GL_MODELVIEW;
	m_vertexArray = false;
	m_normalArray = false;
	m_colorArray = false;
	m_pointSizeArray = false;
	std::fill(m_texCoordArrays, m_texCoordArrays + TEXTURE_UNITS, false);
	m_arrayBuffer = 0;
	m_elementArrayBuffer = 0;
	m_clearColor = math::float4(0.f, 0.f, 0.f, 0.f);
	m_lineWidth = 1.f;
	m_depthWrites = true;
}

static GLenum shadowKey(GLenum capability, int activeUnit)
{
	return capability == GL_TEXTURE_2D ? capability + activeUnit : capability;
}

void EGL_State::enable(GLenum capability)
{
	bool& enabled = m_capabilities[shadowKey(capability, activeUnitIndex())];
	if (!enabled)
	{
		enabled = true;
		gl().glEnable(capability);
	}
}

void EGL_State::disable(GLenum capability)
{
	bool& enabled = m_capabilities[shadowKey(capability, activeUnitIndex())];
	if (enabled)
	{
		enabled = false;
		gl().glDisable(capability);
	}
}

bool EGL_State::isEnabled(GLenum capability) const
{
	auto it = m_capabilities.find(shadowKey(capability, activeUnitIndex()));
	return it != m_capabilities.end() && it->second;
}

bool EGL_State::isTexture2DEnabled(int unit) const
{
	auto it = m_capabilities.find(GL_TEXTURE_2D + unit);
	return it != m_capabilities.end() && it->second;
}

void EGL_State::activeTexture(GLenum unit)
{
	if (m_activeTexture != unit)
	{
		m_activeTexture = unit;
		gl().glActiveTexture(unit);
	}
}

void EGL_State::bindTexture(GLuint texture)
{
	GLuint& bound = m_boundTextures[activeUnitIndex()];
	if (bound != texture)
	{
		bound = texture;
		gl().glBindTexture(GL_TEXTURE_2D, texture);
	}
}

void EGL_State::clientActiveTexture(GLenum unit)
{
	if (m_clientActiveTexture != unit)
	{
		m_clientActiveTexture = unit;
		gl().glClientActiveTexture(unit);
	}
}

bool* EGL_State::clientArraySlot(GLenum array)
{
	switch (array)
	{
	case GL_VERTEX_ARRAY: return &m_vertexArray;
	case GL_NORMAL_ARRAY: return &m_normalArray;
	case GL_COLOR_ARRAY: return &m_colorArray;
	case GL_POINT_SIZE_ARRAY_OES: return &m_pointSizeArray;
	case GL_TEXTURE_COORD_ARRAY: return &m_texCoordArrays[m_clientActiveTexture - GL_TEXTURE0];
	default: return nullptr;
	}
}

void EGL_State::enableClientArray(GLenum array)
{
	bool* enabled = clientArraySlot(array);
	if (enabled && !*enabled)
	{
		*enabled = true;
		gl().glEnableClientState(array);
	}
}

void EGL_State::disableClientArray(GLenum array)
{
	bool* enabled = clientArraySlot(array);
	if (enabled && *enabled)
	{
		*enabled = false;
		gl().glDisableClientState(array);
	}
}

void EGL_State::bindArrayBuffer(GLuint buffer)
{
	if (m_arrayBuffer != buffer)
	{
		m_arrayBuffer = buffer;
		gl().glBindBuffer(GL_ARRAY_BUFFER, buffer);
	}
}

void EGL_State::bindElementArrayBuffer(GLuint buffer)
{
	if (m_elementArrayBuffer != buffer)
	{
		m_elementArrayBuffer = buffer;
		gl().glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffer);
	}
}

void EGL_State::blendFunc(GLenum source, GLenum destination)
{
	if (m_blendSource != source || m_blendDestination != destination)
	{
		m_blendSource = source;
		m_blendDestination = destination;
		gl().glBlendFunc(source, destination);
	}
}

void EGL_State::depthFunc(GLenum function)
{
	if (m_depthFunction != function)
	{
		m_depthFunction = function;
		gl().glDepthFunc(function);
	}
}

void EGL_State::depthMask(bool enabled)
{
	if (m_depthWrites != enabled)
	{
		m_depthWrites = enabled;
		gl().glDepthMask(enabled ? GL_TRUE : GL_FALSE);
	}
}

void EGL_State::lineWidth(float width)
{
	if (m_lineWidth != width)
	{
		m_lineWidth = width;
		gl().glLineWidth(width);
	}
}

void EGL_State::clearColor(const math::float4& rgba)
{
	if (m_clearColor != rgba)
	{
		m_clearColor = rgba;
		gl().glClearColor(rgba.x, rgba.y, rgba.z, rgba.w);
	}
}

void EGL_State::frontFace(GLenum face)
{
	if (m_frontFace != face)
	{
		m_frontFace = face;
		gl().glFrontFace(face);
	}
}

math::float4x4& EGL_State::matrixSlot(GLenum mode)
{
	switch (mode)
	{
	case GL_PROJECTION: return m_projection;
	case GL_TEXTURE: return m_textureMatrices[activeUnitIndex()];
	default: return m_modelView;
	}
}

void EGL_State::loadMatrix(const math::float4x4& matrix)
{
	math::float4x4& slot = matrixSlot(m_wantedMatrixMode);
	if (std::memcmp(slot.m, matrix.m, sizeof(matrix.m)) == 0)
		return;
	slot = matrix;
	if (m_currentMatrixMode != m_wantedMatrixMode)
	{
		m_currentMatrixMode = m_wantedMatrixMode;
		gl().glMatrixMode(m_currentMatrixMode);
	}
	const math::float4x4 columnMajor = matrix.transpose();
	gl().glLoadMatrixf(columnMajor.m);
}

bool EGL_State::viewport(int x, int y, int width, int height)
{
	const Rect box(x, y, x + width, y + height);
	if (m_viewport == box)
		return false;
	m_viewport = box;
	gl().glViewport(x, y, width, height);
	return true;
}

bool EGL_State::scissor(int x, int y, int width, int height)
{
	const Rect box(x, y, x + width, y + height);
	if (m_scissor == box)
		return false;
	m_scissor = box;
	gl().glScissor(x, y, width, height);
	return true;
}

static GLenum clientArrayOf(VertexFormat::DataType type)
{
	switch (type)
	{
	case VertexFormat::DT_POSITION: return GL_VERTEX_ARRAY;
	case VertexFormat::DT_NORMAL: return GL_NORMAL_ARRAY;
	case VertexFormat::DT_DIFFUSE: return GL_COLOR_ARRAY;
	case VertexFormat::DT_TEX0:
	case VertexFormat::DT_TEX1:
	case VertexFormat::DT_TEX2:
	case VertexFormat::DT_TEX3:
		EGL_State::sm_current.clientActiveTexture(GL_TEXTURE0 + (type - VertexFormat::DT_TEX0));
		return GL_TEXTURE_COORD_ARRAY;
	default: return 0;
	}
}

void enableClientState(VertexFormat::DataType type)
{
	const GLenum array = clientArrayOf(type);
	if (array)
		EGL_State::sm_current.enableClientArray(array);
}

void disableClientState(VertexFormat::DataType type)
{
	const GLenum array = clientArrayOf(type);
	if (array)
		EGL_State::sm_current.disableClientArray(array);
}

} // gr
