#ifndef GR_EGL_STATE_H
#define GR_EGL_STATE_H

#include <gr/ogles/GLFunctions.h>
#include <gr/Rect.h>
#include <gr/VertexFormat.h>
#include <math/float4.h>
#include <math/float4x4.h>
#include <unordered_map>

namespace gr
{

/**
 * Shadow of the OpenGL ES state: every state change of the device goes through it and reaches GL
 * only when the shadowed value differs. One process-wide instance, valid for the GL context it
 * was reset for; used only on the thread owning that context.
 */
class EGL_State
{
public:
	static constexpr int TEXTURE_UNITS = 8;

	/** The shadow every part of the device uses. */
	static EGL_State sm_current;

	EGL_State();

	/** Back to the state of a fresh GL context; call whenever a context is created or GL was changed behind the shadow. */
	void reset();

	/** GL_TEXTURE_2D is kept per texture unit and applies to the active unit. */
	void enable(GLenum capability);
	void disable(GLenum capability);
	bool isEnabled(GLenum capability) const;
	/** GL_TEXTURE_2D of a unit, whichever unit is active. */
	bool isTexture2DEnabled(int unit) const;

	void activeTexture(GLenum unit);
	GLenum activeTextureUnit() const					{ return m_activeTexture; }
	/** Binds a 2D texture on the active unit. */
	void bindTexture(GLuint texture);
	GLuint boundTexture(int unit) const					{ return m_boundTextures[unit]; }

	void clientActiveTexture(GLenum unit);
	/** GL_VERTEX_ARRAY, GL_NORMAL_ARRAY, GL_COLOR_ARRAY, GL_POINT_SIZE_ARRAY_OES, or GL_TEXTURE_COORD_ARRAY of the client active unit. */
	void enableClientArray(GLenum array);
	void disableClientArray(GLenum array);

	void bindArrayBuffer(GLuint buffer);
	void bindElementArrayBuffer(GLuint buffer);

	void blendFunc(GLenum source, GLenum destination);
	void depthFunc(GLenum function);
	void depthMask(bool enabled);
	bool depthMaskEnabled() const						{ return m_depthWrites; }
	void lineWidth(float width);
	float currentLineWidth() const						{ return m_lineWidth; }
	void clearColor(const math::float4& rgba);
	const math::float4& currentClearColor() const		{ return m_clearColor; }
	void frontFace(GLenum face);

	/** The matrix mode the next matrix load goes to: GL_MODELVIEW, GL_PROJECTION or GL_TEXTURE (of the active unit). */
	void matrixMode(GLenum mode)						{ m_wantedMatrixMode = mode; }
	/** Loads a row-major matrix into the wanted mode's matrix, transposed for GL, unless it holds it already. */
	void loadMatrix(const math::float4x4& matrix);

	/** glViewport(x, y, w, h) unless the shadow holds that box; returns whether GL was called. */
	bool viewport(int x, int y, int width, int height);
	/** glScissor(x, y, w, h) unless the shadow holds that box. */
	bool scissor(int x, int y, int width, int height);

private:
	math::float4x4& matrixSlot(GLenum mode);
	bool* clientArraySlot(GLenum array);
	int activeUnitIndex() const							{ return (int)(m_activeTexture - GL_TEXTURE0); }

	std::unordered_map<GLenum, bool> m_capabilities;
	math::float4x4 m_modelView;
	math::float4x4 m_projection;
	math::float4x4 m_textureMatrices[TEXTURE_UNITS];
	Rect m_viewport;
	Rect m_scissor;
	GLenum m_clientActiveTexture;
	GLenum m_activeTexture;
	GLuint m_boundTextures[TEXTURE_UNITS];
	GLenum m_blendSource;
	GLenum m_blendDestination;
	GLenum m_depthFunction;
	GLenum m_frontFace;
	GLenum m_currentMatrixMode;
	GLenum m_wantedMatrixMode;
	bool m_vertexArray;
	bool m_normalArray;
	bool m_colorArray;
	bool m_pointSizeArray;
	bool m_texCoordArrays[TEXTURE_UNITS];
	GLuint m_arrayBuffer;
	GLuint m_elementArrayBuffer;
	math::float4 m_clearColor;
	float m_lineWidth;
	bool m_depthWrites;
};

/** Enables the client array of a vertex attribute (texture coordinates: of their unit); types without a GL array do nothing. */
void enableClientState(VertexFormat::DataType type);
void disableClientState(VertexFormat::DataType type);

} // gr

#endif
