#ifndef TESTS_SUPPORT_RECORDINGSCENECONTEXT_H
#define TESTS_SUPPORT_RECORDINGSCENECONTEXT_H

#include "RecordingContext.h"
#include <gr/DIPrimitive.h>
#include <gr/Shader.h>
#include <map>

/** A shader that records its texture bindings, matrices and passes. */
class RecordingShader : public gr::Shader
{
public:
	int shaderPriority = 0;
	int passes = 1;
	std::map<std::string, gr::BaseTexture*> textures;
	std::map<int, math::float4x4> matrices;
	int begins = 0;
	int ends = 0;

	explicit RecordingShader(const lang::String& name) : m_name(name) {}

	gr::Shader* clone() const override						{ return new RecordingShader(m_name); }
	void setTechnique(const char*) override					{}
	bool hasTechnique(const char*) const override			{ return false; }
	void setTexture(ParamType, gr::BaseTexture*) override	{}
	void setTexture(const char* name, gr::BaseTexture* texture) override	{ textures[name] = texture; }
	void setMatrix(ParamType param, const math::float4x4& value) override	{ matrices[param] = value; }
	void setMatrix(const char*, const math::float4x4&) override	{}
	void setMatrixArray(ParamType, math::float4x4**, int) override	{}
	void setVector(ParamType, const math::float4&) override	{}
	void setVector(const char*, const math::float4&) override	{}
	void setFloat(ParamType, float) override				{}
	void setFloat(const char*, float) override				{}
	gr::BaseTexture* getTexture(const char* name) const override	{ auto it = textures.find(name); return it == textures.end() ? nullptr : it->second; }
	math::float4x4 getMatrix(const char*) const override	{ return math::float4x4(); }
	math::float4 getVector(const char*) const override		{ return math::float4(); }
	float getFloat(const char*) const override				{ return 0.f; }
	int begin() override									{ ++begins; return passes; }
	void beginPass(int) override							{}
	void endPass() override									{}
	void end() override										{ ++ends; }
	void setName(const lang::String& name) override			{ m_name = name; }
	void setSort(SortType) override							{}
	int priority() const override							{ return shaderPriority; }
	SortType sort() const override							{ return SORT_NONE; }
	bool enabled() const override							{ return true; }
	const lang::String& name() const override				{ return m_name; }

private:
	lang::String m_name;
};

/** A primitive in CPU memory that counts its draws. */
class RecordingPrimitive : public gr::DIPrimitive
{
public:
	int renders = 0;
	/** Usage flags it was created with; -1 for a pooled dynamic primitive. */
	int usage;

	RecordingPrimitive(PrimType type, const gr::VertexFormat& format, int vertices, int indices, int usageFlags) :
		usage(usageFlags), m_type(type)
	{
		setFormat(format, vertices, indices);
	}

	void setShader(gr::Shader* shader) override				{ m_shader = shader; }
	void render() override									{ ++renders; }
	PrimType type() const override							{ return m_type; }
	gr::Shader* shader() const override						{ return m_shader; }

private:
	PrimType m_type;
	lang::Ptr<gr::Shader> m_shader;
};

/**
 * The recording device with what the scene layer needs on top: recording shaders, CPU primitives,
 * a settable platform value and orientation. Keeps every shader and primitive it made.
 */
class RecordingSceneContext : public RecordingContext
{
public:
	int platformValue = 1;
	OrientationType orientationValue = ORIENTATION_0;
	int shaderPriority = 0;
	std::vector<std::string> createdShaders;
	std::vector<lang::Ptr<RecordingShader>> shaders;
	std::vector<lang::Ptr<RecordingPrimitive>> primitives;

	gr::Shader* createShader(const lang::String& name, int) override
	{
		createdShaders.push_back(name.c_str());
		RecordingShader* shader = new RecordingShader(name);
		shader->shaderPriority = shaderPriority;
		shaders.push_back(shader);
		return shader;
	}

	gr::Primitive* createPrimitive(gr::Primitive::PrimType type, const gr::VertexFormat& format, int vertices, int indices, int usage) override
	{
		primitives.push_back(new RecordingPrimitive(type, format, vertices, indices, usage));
		return primitives.back();
	}

	gr::Primitive* getDynamicPrimitive(gr::Primitive::PrimType type, const gr::VertexFormat& format, int vertices, int indices) override
	{
		primitives.push_back(new RecordingPrimitive(type, format, vertices, indices, -1));
		return primitives.back();
	}

	int platform() const override							{ return platformValue; }
	OrientationType orientation() const override			{ return orientationValue; }
	void setOrientation(OrientationType orientation) override	{ orientationValue = orientation; }
};

#endif
