#include <gr/ogles/EGL_Shader_Default.h>
#include <gr/ogles/EGL_Context.h>
#include <gr/ogles/EGL_State.h>
#include <gr/ogles/EGL_Texture.h>
#include <cstring>

namespace gr
{

EGL_Shader_Default::EGL_Shader_Default(EGL_Context* context, const lang::String& name, int flags) :
	m_shared(new Shared()),
	m_baseMap(nullptr),
	m_secondMap(nullptr),
	m_lightPosition(0.f, 0.f, 1.f, 0.f),
	m_lightColor(1.f, 1.f, 1.f, 1.f),
	m_ambient(0.f, 0.f, 0.f, 1.f),
	m_diffuse(1.f, 1.f, 1.f, 1.f),
	m_specular(0.f, 0.f, 0.f, 1.f),
	m_scaleBias(1.f, 0.f, 0.f, 0.f),
	m_lineWidth(1.f),
	m_alphaFactor(1.f),
	m_name(name)
{
	m_shared->context = context;
	m_shared->flags = flags;
	m_shared->priority = 0;
	m_shared->blendSource = GL_ONE;
	m_shared->blendDestination = GL_ZERO;
	m_shared->sort = SORT_NONE;
}

void EGL_Shader_Default::setBlend(int source, int destination)
{
	m_shared->blendSource = (GLenum)source;
	m_shared->blendDestination = (GLenum)destination;
}

int EGL_Shader_Default::flags() const
{
	return m_shared->flags;
}

void EGL_Shader_Default::detach()
{
	m_shared->context = nullptr;
}

Shader* EGL_Shader_Default::clone() const
{
	return new EGL_Shader_Default(*this);
}

void EGL_Shader_Default::setTexture(ParamType param, BaseTexture* texture)
{
	setTexture(toString(param), texture);
}

void EGL_Shader_Default::setTexture(const char* name, BaseTexture* texture)
{
	if (!std::strcmp(name, "BASEMAP"))
		m_baseMap = texture;
	else if (!std::strcmp(name, "BASEMAP1"))
		m_secondMap = texture;
}

void EGL_Shader_Default::setMatrix(ParamType param, const math::float4x4& value)
{
	EGL_Context* context = m_shared->context;
	if (!context)
		return;
	switch (param)
	{
	case PARAM_WORLDTM: context->setWorldMatrix(value); break;
	case PARAM_VIEWTM: context->setViewMatrix(value); break;
	case PARAM_PROJTM: context->setProjection(value); break;
	default: break;
	}
}

void EGL_Shader_Default::setVector(ParamType param, const math::float4& value)
{
	if (param >= PARAM_LIGHTP0 && param <= PARAM_LIGHTP7)
		m_lightPosition = value;
	else if (param >= PARAM_LIGHTC0 && param <= PARAM_LIGHTC7)
		m_lightColor = value;
	else if (param == PARAM_CAMERAP && sort() != SORT_NONE && m_shared->context)
		m_shared->context->setCameraPosition(value.xyz());
}

void EGL_Shader_Default::setVector(const char* name, const math::float4& value)
{
	if (!std::strcmp(name, "AMBIENTC"))
		m_ambient = value;
	else if (!std::strcmp(name, "DIFFUSEC"))
		m_diffuse = value;
	else if (!std::strcmp(name, "SPECULARC"))
		m_specular = value;
	else if (!std::strcmp(name, "SCALEBIAS"))
		m_scaleBias = value;
}

void EGL_Shader_Default::setFloat(ParamType param, float value)
{
	setFloat(toString(param), value);
}

void EGL_Shader_Default::setFloat(const char* name, float value)
{
	if (!std::strcmp(name, "LINE_WIDTH"))
		m_lineWidth = value;
	else if (!std::strcmp(name, "ALPHA_FACTOR"))
		m_alphaFactor = value;
}

int EGL_Shader_Default::begin()
{
	// Whatever 2D drawing is queued goes out first, under the state it was queued with.
	if (m_shared->context)
		m_shared->context->getBatcher().flush();
	return 1;
}

void EGL_Shader_Default::setSort(SortType sort)
{
	m_shared->sort = sort;
}

int EGL_Shader_Default::priority() const
{
	return m_shared->priority;
}

Shader::SortType EGL_Shader_Default::sort() const
{
	return m_shared->sort;
}

void EGL_Shader_Default::bindUnit(GLenum unit, BaseTexture* map, bool textured)
{
	EGL_State& state = EGL_State::sm_current;
	const int index = (int)(unit - GL_TEXTURE0);
	const GLuint texture = textured && map ? static_cast<EGL_Texture*>(map)->glTexture() : 0;
	// A unit already in the wanted state is not even made active.
	if (state.boundTexture(index) == texture && state.isTexture2DEnabled(index) == (texture != 0))
		return;
	state.activeTexture(unit);
	if (texture)
	{
		state.enable(GL_TEXTURE_2D);
		state.bindTexture(texture);
	}
	else
	{
		state.bindTexture(0);
		state.disable(GL_TEXTURE_2D);
	}
}

void EGL_Shader_Default::beginPass(int pass)
{
	EGL_State& state = EGL_State::sm_current;
	const Shared& shared = *m_shared;
	if (!shared.context)
		return;
	const bool blended = !(shared.blendSource == GL_ONE && shared.blendDestination == GL_ZERO);

	if (shared.flags & FLAG_COLOR_MATERIAL)
	{
		state.enable(GL_COLOR_MATERIAL);
		gl().glColor4f(m_diffuse.x, m_diffuse.y, m_diffuse.z, m_diffuse.w * m_alphaFactor);
	}
	else
	{
		// Fading: premultiplied blending scales every channel, straight alpha only the alpha.
		const float f = m_alphaFactor;
		const float rgb = shared.blendSource == GL_ONE && blended ? f : 1.f;
		gl().glColor4f(rgb, rgb, rgb, f);
		state.disable(GL_COLOR_MATERIAL);
	}

	const bool textured = (shared.flags & FLAG_TEXTURED) != 0;
	bindUnit(GL_TEXTURE0, m_baseMap, textured);
	bindUnit(GL_TEXTURE1, m_secondMap, textured);
	if (textured && m_secondMap)
	{
		state.activeTexture(GL_TEXTURE1);
		gl().glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
		gl().glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB, GL_REPLACE);
		gl().glTexEnvi(GL_TEXTURE_ENV, GL_SRC0_RGB, GL_PREVIOUS);
		gl().glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND0_RGB, GL_SRC_COLOR);
	}

	state.enable(GL_NORMALIZE);
	state.disable(GL_DITHER);
	state.lineWidth(m_lineWidth);

	if (shared.flags & FLAG_TWO_SIDED)
		state.disable(GL_CULL_FACE);
	else
		state.enable(GL_CULL_FACE);

	if (blended)
	{
		state.enable(GL_BLEND);
		state.blendFunc(shared.blendSource, shared.blendDestination);
	}
	else
		state.disable(GL_BLEND);

	if (shared.flags & FLAG_NO_DEPTH)
	{
		state.disable(GL_DEPTH_TEST);
		state.depthMask(false);
	}
	else
	{
		state.enable(GL_DEPTH_TEST);
		state.depthFunc(GL_LESS);
		state.depthMask(true);
	}

	if (shared.flags & FLAG_LIT)
	{
		state.enable(GL_LIGHTING);
		state.enable(GL_LIGHT0);
		shared.context->applyViewMatrix();
		const GLfloat noSpecular[4] = {0.f, 0.f, 0.f, 0.f};
		gl().glLightfv(GL_LIGHT0, GL_POSITION, &m_lightPosition.x);
		gl().glLightfv(GL_LIGHT0, GL_AMBIENT, &m_ambient.x);
		gl().glLightfv(GL_LIGHT0, GL_DIFFUSE, &m_lightColor.x);
		gl().glLightfv(GL_LIGHT0, GL_SPECULAR, noSpecular);
		gl().glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, &m_specular.x);
	}
	else
		state.disable(GL_LIGHTING);

	shared.context->applyModelViewMatrix(m_scaleBias);
}

} // gr
