#ifndef GR_PRIMITIVE_H
#define GR_PRIMITIVE_H

#include <gr/ContextObject.h>
#include <gr/VertexFormat.h>
#include <math/float3.h>
#include <math/float4.h>

namespace gr
{

class Shader;

/**
 * A drawable mesh: per-attribute vertex arrays, a 16-bit index list, draw ranges and bounds.
 * Created by the device, owned by its lang::Ptr holders (pooled dynamic ones by the device).
 * Write access goes between lock(LOCK_WRITE) and unlock(), normally through ContextObject::Lock.
 */
class Primitive : public ContextObject
{
public:
	enum PrimType
	{
		PRIM_POINT = 0,
		PRIM_LINE,
		PRIM_LINESTRIP,
		PRIM_TRI,
		PRIM_TRISTRIP,
		PRIM_TRIFAN
	};

	Primitive() : ContextObject(CLASSID_PRIMITIVE) {}

	virtual void setShader(Shader* shader) = 0;
	virtual void setPerspectiveCorrection(int enabled)	{}
	virtual void setOpacity(int opacity)				{}

	virtual void setVertexPositions(int firstVertex, const math::float4* values, int count) = 0;
	virtual void setVertexPositionScaleBias(const math::float4& scaleBias) = 0;
	virtual void setVertexTransformedPositions(int firstVertex, const math::float4* values, int count) = 0;
	virtual void setVertexNormals(int firstVertex, const math::float4* values, int count) = 0;
	virtual void setVertexDiffuseColors(int firstVertex, const math::float4* values, int count) = 0;
	virtual void setVertexSpecularColors(int firstVertex, const math::float4* values, int count) = 0;
	virtual void setVertexTangents(int firstVertex, const math::float4* values, int count) = 0;
	virtual void setVertexBoneWeights(int firstVertex, const math::float4* values, int count) = 0;
	virtual void setVertexBoneIndices(int firstVertex, const math::float4* values, int count) = 0;
	virtual void setVertexTextureCoordinates(int layer, int firstVertex, const math::float4* values, int count) = 0;
	/** (s, bu, bv, unused): texture coordinates are drawn scaled by s and offset by (bu, bv). */
	virtual void setVertexTextureCoordinateScaleBias(const math::float4& scaleBias) = 0;
	virtual void setVertexData(VertexFormat::DataType type, int firstVertex, const void* data, VertexFormat::DataFormat format, int count) = 0;

	/** bytesPerIndex 1, 2 or 4; 4-byte indices keep their low 16 bits; other sizes do nothing. */
	virtual void setIndexData(int firstIndex, const void* data, int bytesPerIndex, int count) = 0;
	virtual void setIndices(int firstIndex, const int* indices, int count) = 0;

	/** Renumbers the bone indices to the bones actually used, listed by usedBoneArray. */
	virtual void packBones() = 0;
	virtual void setUsedBones(const unsigned char* bones, int count) = 0;

	/** Draws with the shader's pass already begun. */
	virtual void render() = 0;

	virtual void setWireframeColor(int colour)			{}

	virtual void getVertexDataPtr(VertexFormat::DataType type, unsigned char** data, int* pitch) = 0;
	virtual void getIndexDataPtr(unsigned short** data, int* pitch) = 0;

	virtual void setVertexRangeBegin(int begin) = 0;
	virtual void setVertexRangeEnd(int end) = 0;
	virtual void setIndexRangeBegin(int begin) = 0;
	virtual void setIndexRangeEnd(int end) = 0;

	virtual void setBound(const math::float3& boundMin, const math::float3& boundMax, float radius) = 0;

	virtual int vertexRangeBegin() const = 0;
	virtual int vertexRangeEnd() const = 0;
	virtual int indexRangeBegin() const = 0;
	virtual int indexRangeEnd() const = 0;

	virtual const unsigned char* usedBoneArray() const = 0;
	virtual PrimType type() const = 0;
	virtual int usedBones() const = 0;
	virtual Shader* shader() const = 0;
	virtual int vertices() const = 0;
	virtual int indices() const = 0;
	virtual const VertexFormat& vertexFormat() const = 0;

	virtual void getVertexPositions(int firstVertex, math::float4* out, int count) const = 0;
	virtual void getVertexNormals(int firstVertex, math::float4* out, int count) const = 0;
	virtual void getVertexDiffuseColors(int firstVertex, math::float4* out, int count) const = 0;
	virtual void getVertexSpecularColors(int firstVertex, math::float4* out, int count) const = 0;
	virtual void getVertexTangents(int firstVertex, math::float4* out, int count) const = 0;
	virtual void getVertexBoneWeights(int firstVertex, math::float4* out, int count) const = 0;
	virtual void getVertexBoneIndices(int firstVertex, math::float4* out, int count) const = 0;
	virtual void getVertexTextureCoordinates(int layer, int firstVertex, math::float4* out, int count) const = 0;
	virtual void getVertexData(VertexFormat::DataType type, int firstVertex, math::float4* out, int count) const = 0;
	virtual void getIndices(int firstIndex, int* out, int count) const = 0;

	virtual bool vertexTextureCoordinateScaleBiasIsIdentity() const = 0;
	virtual const math::float4& vertexTextureCoordinateScaleBias() const = 0;
	virtual const math::float4& vertexPositionScaleBias() const = 0;

	virtual const math::float3& boundMin() const = 0;
	virtual const math::float3& boundMax() const = 0;
	virtual float boundRadius() const = 0;
};

} // gr

#endif
