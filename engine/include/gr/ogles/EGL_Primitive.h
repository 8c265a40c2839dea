#ifndef GR_EGL_PRIMITIVE_H
#define GR_EGL_PRIMITIVE_H

#include <gr/DIPrimitive.h>
#include <gr/ogles/GLFunctions.h>
#include <lang/Ptr.h>

namespace gr
{

class EGL_Context;

/**
 * The device's drawable mesh: CPU storage mirrored into GL buffer objects (unless its usage is
 * Context::USAGE_DYNAMIC, which draws straight from client memory), triangle sorting when its
 * shader asks for it, and the draw call. Created by the device (not counted by it) and owned by
 * its lang::Ptr holders; holds a counted reference to its shader. One that outlives its device is
 * detached from it and draws nothing.
 */
class EGL_Primitive : public DIPrimitive
{
public:
	EGL_Primitive(EGL_Context* device, PrimType type, const VertexFormat& format, int vertices, int indices, int usage);
	~EGL_Primitive();

	void setShader(Shader* shader) override;
	Shader* shader() const override;
	PrimType type() const override						{ return m_type; }

	/** Forgets the device (it is being destroyed). */
	void detach()										{ m_device = nullptr; }

	/** Remembers the lock type for unlock; locked() keeps reporting read and write, as for every resource. */
	void lock(int lockType) override					{ m_lockType = lockType; }
	/** After a write lock, uploads the data again (the indices too unless LOCK_INDICES_KEPT). */
	void unlock() override;

	/** Draws with the current shader pass: sorts if asked, sets the arrays, draws, disables the arrays. */
	void render() override;

protected:
	void allocate(const VertexFormat& format, int vertices, int indices) override;
	void deallocate() override;

private:
	void deleteBuffers();
	bool usesBuffers() const;

	EGL_Context* m_device;
	lang::Ptr<Shader> m_shader;
	GLuint m_indexBuffer;
	GLuint m_vertexBuffers[VertexFormat::DT_SIZE];
	PrimType m_type;
	int m_lockType;
	int m_usage;
};

} // gr

#endif
