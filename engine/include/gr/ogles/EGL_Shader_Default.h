#ifndef GR_EGL_SHADER_DEFAULT_H
#define GR_EGL_SHADER_DEFAULT_H

#include <gr/ogles/EGL_Shader.h>
#include <gr/ogles/GLFunctions.h>
#include <lang/Object.h>
#include <lang/Ptr.h>

namespace gr
{

class EGL_Context;

/**
 * A fixed-function shader template: state flags and a blend pair shared by the template and all
 * its clones, plus per-instance textures, colours, light, line width and texture scale-and-bias.
 * beginPass writes the state into GL through EGL_State. Templates are held by the device, clones
 * by their users through lang::Ptr; the device is pointed to, not owned. When the device goes,
 * the template and all its clones are detached from it and no longer touch its state.
 */
class EGL_Shader_Default : public EGL_Shader
{
public:
	/** State bits read by beginPass. */
	enum Flags
	{
		FLAG_COLOR_MATERIAL = 0x1000,
		FLAG_LIT = 0x2000,
		FLAG_TEXTURED = 0x4000,
		FLAG_NO_DEPTH = 0x8000,
		FLAG_TWO_SIDED = 0x10000
	};

	EGL_Shader_Default(EGL_Context* context, const lang::String& name, int flags);

	/** Blending is off for (GL_ONE, GL_ZERO). */
	void setBlend(int source, int destination);
	int flags() const;
	/** Forgets the device for the template and every clone of it. */
	void detach() override;

	Shader* clone() const override;

	void setTechnique(const char* name) override			{}
	bool hasTechnique(const char* name) const override		{ return true; }

	void setTexture(ParamType param, BaseTexture* texture) override;
	/** "BASEMAP" and "BASEMAP1"; the texture must be one of this device's. */
	void setTexture(const char* name, BaseTexture* texture) override;
	void setMatrix(ParamType param, const math::float4x4& value) override;
	void setMatrix(const char* name, const math::float4x4& value) override	{}
	void setMatrixArray(ParamType param, math::float4x4** values, int count) override	{}
	void setVector(ParamType param, const math::float4& value) override;
	/** "AMBIENTC", "DIFFUSEC", "SPECULARC", "SCALEBIAS". */
	void setVector(const char* name, const math::float4& value) override;
	void setFloat(ParamType param, float value) override;
	/** "LINE_WIDTH" in pixels; "ALPHA_FACTOR" multiplies the drawn alpha. */
	void setFloat(const char* name, float value) override;

	BaseTexture* getTexture(const char* name) const override	{ return nullptr; }
	math::float4x4 getMatrix(const char* name) const override	{ return math::float4x4(); }
	math::float4 getVector(const char* name) const override	{ return math::float4(); }
	float getFloat(const char* name) const override			{ return 0.f; }

	/** Flushes the device's 2D batcher; one pass. */
	int begin() override;
	void beginPass(int pass) override;
	void endPass() override									{}
	void end() override										{}

	void setName(const lang::String& name) override			{ m_name = name; }
	/** Shared with the template and every clone of it. */
	void setSort(SortType sort) override;
	int priority() const override;
	SortType sort() const override;
	bool enabled() const override							{ return true; }
	const lang::String& name() const override				{ return m_name; }

private:
	/** The part shared by a template and its clones. */
	struct Shared : public lang::Object
	{
		EGL_Context* context;
		int flags;
		int priority;
		GLenum blendSource;
		GLenum blendDestination;
		SortType sort;
	};

	void bindUnit(GLenum unit, BaseTexture* map, bool textured);

	lang::Ptr<Shared> m_shared;
	BaseTexture* m_baseMap;
	BaseTexture* m_secondMap;
	math::float4 m_lightPosition;
	math::float4 m_lightColor;
	math::float4 m_ambient;
	math::float4 m_diffuse;
	math::float4 m_specular;
	math::float4 m_scaleBias;
	float m_lineWidth;
	float m_alphaFactor;
	lang::String m_name;
};

} // gr

#endif
