#include <gr/ogles/EGL_Primitive.h>
#include <gr/ogles/EGL_Context.h>
#include <gr/ogles/EGL_State.h>
#include <gr/Shader.h>
#include <algorithm>
#include <cstdint>

namespace gr
{

namespace
{

GLenum glModeOf(Primitive::PrimType type)
{
	static const GLenum MODES[] = {GL_POINTS, GL_LINES, GL_LINE_STRIP, GL_TRIANGLES, GL_TRIANGLE_STRIP, GL_TRIANGLE_FAN};
	return MODES[type];
}

/** Triangles (or segments, or points) that count vertices of a primitive type make. */
int elementsOf(Primitive::PrimType type, int count)
{
	switch (type)
	{
	case Primitive::PRIM_TRI: return count / 3;
	case Primitive::PRIM_TRISTRIP:
	case Primitive::PRIM_TRIFAN: return std::max(count - 2, 0);
	default: return 0;
	}
}

GLenum glTypeOf(VertexFormat::DataType type, VertexFormat::DataFormat format)
{
	const int dim = VertexFormat::getDataDim(format);
	const int componentSize = dim ? VertexFormat::getDataSize(format) / dim : 0;
	switch (componentSize)
	{
	case 2: return GL_SHORT;
	case 4: return GL_FLOAT;
	case 1: return type == VertexFormat::DT_DIFFUSE ? GL_UNSIGNED_BYTE : GL_BYTE;
	default: return 0;
	}
}

} // namespace

EGL_Primitive::EGL_Primitive(EGL_Context* device, PrimType type, const VertexFormat& format, int vertices, int indices, int usage) :
	m_device(device),
	m_indexBuffer(0),
	m_type(type),
	m_lockType(LOCK_NONE),
	m_usage(usage)
{
	std::fill(m_vertexBuffers, m_vertexBuffers + VertexFormat::DT_SIZE, 0u);
	VertexFormat aligned = format;
	aligned.setAlignEach(4);
	setFormat(aligned, vertices, indices);
}

EGL_Primitive::~EGL_Primitive()
{
	if (m_device)
		m_device->removePrimitive(this);
	deleteBuffers();
}

bool EGL_Primitive::usesBuffers() const
{
	return m_usage != Context::USAGE_DYNAMIC;
}

void EGL_Primitive::setShader(Shader* shader)
{
	m_shader = shader;
}

Shader* EGL_Primitive::shader() const
{
	return m_shader;
}

void EGL_Primitive::allocate(const VertexFormat& format, int vertices, int indices)
{
	DIPrimitive::allocate(format, vertices, indices);
	if (!usesBuffers())
		return;
	if (indices > 0)
		gl().glGenBuffers(1, &m_indexBuffer);
	for (int t = 0; t < VertexFormat::DT_SIZE; ++t)
		if (format.hasData((VertexFormat::DataType)t))
			gl().glGenBuffers(1, &m_vertexBuffers[t]);
}

void EGL_Primitive::deallocate()
{
	DIPrimitive::deallocate();
	deleteBuffers();
}

void EGL_Primitive::deleteBuffers()
{
	if (!usesBuffers())
		return;
	if (m_indexBuffer)
	{
		gl().glDeleteBuffers(1, &m_indexBuffer);
		m_indexBuffer = 0;
	}
	for (GLuint& buffer : m_vertexBuffers)
	{
		if (buffer)
		{
			gl().glDeleteBuffers(1, &buffer);
			buffer = 0;
		}
	}
}

void EGL_Primitive::unlock()
{
	EGL_State& state = EGL_State::sm_current;
	if (usesBuffers() && (m_lockType & LOCK_WRITE))
	{
		if (!(m_lockType & LOCK_INDICES_KEPT) && m_indexBuffer)
		{
			unsigned short* data;
			int pitch;
			getIndexDataPtr(&data, &pitch);
			state.bindElementArrayBuffer(m_indexBuffer);
			gl().glBufferData(GL_ELEMENT_ARRAY_BUFFER, (GLsizeiptr)pitch * indices(), data, GL_STATIC_DRAW);
			state.bindElementArrayBuffer(0);
		}
		for (int t = 0; t < VertexFormat::DT_SIZE; ++t)
		{
			if (!vertexFormat().hasData((VertexFormat::DataType)t))
				continue;
			unsigned char* data;
			int pitch;
			getVertexDataPtr((VertexFormat::DataType)t, &data, &pitch);
			state.bindArrayBuffer(m_vertexBuffers[t]);
			gl().glBufferData(GL_ARRAY_BUFFER, (GLsizeiptr)pitch * vertices(), data, GL_STATIC_DRAW);
			state.bindArrayBuffer(0);
		}
	}
	m_lockType = LOCK_NONE;
}

void EGL_Primitive::render()
{
	if (!m_device)
		return;
	EGL_State& state = EGL_State::sm_current;
	const VertexFormat& format = vertexFormat();

	if (m_shader && m_shader->sort() != Shader::SORT_NONE && m_type == PRIM_TRI)
	{
		const int triangles = (indices() > 0 ? indices() : vertices()) / 3;
		if (triangles >= 1 && indices() > 0)
		{
			Lock lock(this, LOCK_READWRITE);
			switch (m_shader->sort())
			{
			case Shader::SORT_BACKTOFRONT:
				sortBackToFront(m_device->cameraPosition(), m_device->worldMatrix(), m_device->boneMatrices(), m_device->boneCount(), m_device->sortBuffer());
				break;
			case Shader::SORT_FRONTTOBACK:
				sortFrontToBack(m_device->cameraPosition(), m_device->worldMatrix(), m_device->boneMatrices(), m_device->boneCount(), m_device->sortBuffer());
				break;
			case Shader::SORT_INSIDEOUT:
				sortInsideOut(m_device->sortBuffer());
				break;
			default:
				sortOutsideIn(m_device->sortBuffer());
				break;
			}
		}
	}

	if (!usesBuffers())
		state.bindArrayBuffer(0);
	for (int t = 0; t < VertexFormat::DT_SIZE; ++t)
	{
		const VertexFormat::DataType type = (VertexFormat::DataType)t;
		const VertexFormat::DataFormat df = format.getDataFormat(type);
		if (df == VertexFormat::DF_NONE)
			continue;
		enableClientState(type);
		unsigned char* data;
		int pitch;
		getVertexDataPtr(type, &data, &pitch);
		const void* pointer = data;
		if (usesBuffers())
		{
			state.bindArrayBuffer(m_vertexBuffers[t]);
			pointer = nullptr;
		}
		const GLint dim = VertexFormat::getDataDim(df);
		const GLenum glType = glTypeOf(type, df);
		switch (type)
		{
		case VertexFormat::DT_POSITION: gl().glVertexPointer(dim, glType, pitch, pointer); break;
		case VertexFormat::DT_NORMAL: gl().glNormalPointer(glType, pitch, pointer); break;
		case VertexFormat::DT_DIFFUSE: gl().glColorPointer(dim, glType, pitch, pointer); break;
		case VertexFormat::DT_TEX0:
		case VertexFormat::DT_TEX1:
		case VertexFormat::DT_TEX2:
		case VertexFormat::DT_TEX3: gl().glTexCoordPointer(dim, glType, pitch, pointer); break;
		default: break;
		}
	}

	for (int layer = 0; layer < 4; ++layer)
	{
		if (!format.hasData((VertexFormat::DataType)(VertexFormat::DT_TEX0 + layer)))
			continue;
		math::float4x4 textureMatrix(1.f);
		if (!vertexTextureCoordinateScaleBiasIsIdentity())
		{
			const math::float4& sb = vertexTextureCoordinateScaleBias();
			textureMatrix(0, 0) = sb.x;
			textureMatrix(1, 1) = sb.x;
			textureMatrix(0, 3) = sb.y;
			textureMatrix(1, 3) = sb.z;
		}
		state.activeTexture(GL_TEXTURE0 + layer);
		state.matrixMode(GL_TEXTURE);
		state.loadMatrix(textureMatrix);
	}

	Context::Statistics& statistics = m_device->statistics;
	const GLenum mode = glModeOf(m_type);
	if (indices() != 0)
	{
		// Buffer-backed: an offset into the bound index buffer; client memory: a pointer into the list.
		uintptr_t base = 0;
		if (usesBuffers())
			state.bindElementArrayBuffer(m_indexBuffer);
		else
		{
			state.bindElementArrayBuffer(0);
			unsigned short* data;
			int pitch;
			getIndexDataPtr(&data, &pitch);
			base = reinterpret_cast<uintptr_t>(data);
		}
		const int count = indexRangeEnd() - indexRangeBegin();
		gl().glDrawElements(mode, count, GL_UNSIGNED_SHORT, reinterpret_cast<const void*>(base + 2u * indexRangeBegin()));
		statistics.renderedPoints += vertexRangeEnd() - vertexRangeBegin();
		statistics.renderedTriangles += elementsOf(m_type, count);
	}
	else
	{
		state.bindElementArrayBuffer(0);
		const int count = vertexRangeEnd() - vertexRangeBegin();
		gl().glDrawArrays(mode, vertexRangeBegin(), count);
		statistics.renderedPoints += count;
		statistics.renderedTriangles += elementsOf(m_type, count);
	}
	++statistics.renderedPrimitives;

	for (int t = 0; t < VertexFormat::DT_SIZE; ++t)
		if (format.hasData((VertexFormat::DataType)t))
			disableClientState((VertexFormat::DataType)t);
}

} // gr
