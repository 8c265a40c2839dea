#ifndef GR_DIPRIMITIVE_H
#define GR_DIPRIMITIVE_H

#include <gr/Primitive.h>
#include <gr/SortBuffer.h>
#include <math/float4x4.h>
#include <vector>

namespace gr
{

/**
 * The data side of a primitive in CPU memory: one zero-filled block with an array per present
 * attribute and the 16-bit index list, conversions through the vertex format, draw ranges,
 * bounds, bone packing and triangle reordering. Owns its block; drawing is left to subclasses.
 */
class DIPrimitive : public Primitive
{
public:
	/** The largest index count a primitive holds (16-bit count). */
	static constexpr int MAX_INDICES = 65535;

	DIPrimitive();

	/**
	 * Discards all data and sizes the primitive; vertex and index ranges cover everything.
	 * Throws GraphicsException for more than MAX_INDICES indices.
	 */
	void setFormat(const VertexFormat& format, int vertices, int indices);

	void setVertexPositions(int firstVertex, const math::float4* values, int count) override;
	void setVertexPositionScaleBias(const math::float4& scaleBias) override	{ m_positionScaleBias = scaleBias; }
	void setVertexTransformedPositions(int firstVertex, const math::float4* values, int count) override;
	void setVertexNormals(int firstVertex, const math::float4* values, int count) override;
	void setVertexDiffuseColors(int firstVertex, const math::float4* values, int count) override;
	void setVertexSpecularColors(int firstVertex, const math::float4* values, int count) override;
	void setVertexTangents(int firstVertex, const math::float4* values, int count) override;
	void setVertexBoneWeights(int firstVertex, const math::float4* values, int count) override;
	void setVertexBoneIndices(int firstVertex, const math::float4* values, int count) override;
	void setVertexTextureCoordinates(int layer, int firstVertex, const math::float4* values, int count) override;
	void setVertexTextureCoordinateScaleBias(const math::float4& scaleBias) override;
	void setVertexData(VertexFormat::DataType type, int firstVertex, const void* data, VertexFormat::DataFormat format, int count) override;

	void setIndexData(int firstIndex, const void* data, int bytesPerIndex, int count) override;
	void setIndices(int firstIndex, const int* indices, int count) override;

	/** Bone indices outside 0..255 are not counted as used. */
	void packBones() override;
	void setUsedBones(const unsigned char* bones, int count) override;

	void getVertexDataPtr(VertexFormat::DataType type, unsigned char** data, int* pitch) override;
	void getIndexDataPtr(unsigned short** data, int* pitch) override;

	void setVertexRangeBegin(int begin) override		{ m_vertexRangeBegin = begin; }
	void setVertexRangeEnd(int end) override			{ m_vertexRangeEnd = end; }
	void setIndexRangeBegin(int begin) override			{ m_indexRangeBegin = begin; }
	void setIndexRangeEnd(int end) override				{ m_indexRangeEnd = end; }

	void setBound(const math::float3& boundMin, const math::float3& boundMax, float radius) override;

	int vertexRangeBegin() const override				{ return m_vertexRangeBegin; }
	int vertexRangeEnd() const override					{ return m_vertexRangeEnd; }
	int indexRangeBegin() const override				{ return m_indexRangeBegin; }
	int indexRangeEnd() const override					{ return m_indexRangeEnd; }

	const unsigned char* usedBoneArray() const override	{ return m_usedBones.empty() ? nullptr : m_usedBones.data(); }
	int usedBones() const override						{ return (int)m_usedBones.size(); }
	int vertices() const override						{ return m_vertices; }
	int indices() const override						{ return m_indices; }
	const VertexFormat& vertexFormat() const override	{ return m_format; }

	void getVertexPositions(int firstVertex, math::float4* out, int count) const override;
	void getVertexNormals(int firstVertex, math::float4* out, int count) const override;
	void getVertexDiffuseColors(int firstVertex, math::float4* out, int count) const override;
	void getVertexSpecularColors(int firstVertex, math::float4* out, int count) const override;
	void getVertexTangents(int firstVertex, math::float4* out, int count) const override;
	void getVertexBoneWeights(int firstVertex, math::float4* out, int count) const override;
	void getVertexBoneIndices(int firstVertex, math::float4* out, int count) const override;
	void getVertexTextureCoordinates(int layer, int firstVertex, math::float4* out, int count) const override;
	void getVertexData(VertexFormat::DataType type, int firstVertex, math::float4* out, int count) const override;
	void getIndices(int firstIndex, int* out, int count) const override;

	bool vertexTextureCoordinateScaleBiasIsIdentity() const override			{ return m_texCoordScaleBiasIdentity; }
	const math::float4& vertexTextureCoordinateScaleBias() const override		{ return m_texCoordScaleBias; }
	const math::float4& vertexPositionScaleBias() const override				{ return m_positionScaleBias; }

	const math::float3& boundMin() const override		{ return m_boundMin; }
	const math::float3& boundMax() const override		{ return m_boundMax; }
	float boundRadius() const override					{ return m_boundRadius; }

	/** Centre of the axis-aligned box of all vertex positions. */
	math::float3 center() const;

	/**
	 * Reorders the triangles of the index list by the squared distance of their centroids
	 * (transformed by world, or skinned by bones when the format has bone weights) to point.
	 */
	void sortBackToFront(const math::float3& point, const math::float4x4& world, const math::float4x4* bones, int boneCount, SortBuffer& buffer);
	void sortFrontToBack(const math::float3& point, const math::float4x4& world, const math::float4x4* bones, int boneCount, SortBuffer& buffer);
	/** Reorders by distance from center(): nearest first. */
	void sortInsideOut(SortBuffer& buffer);
	/** Farthest from center() first. */
	void sortOutsideIn(SortBuffer& buffer);

	/** order[i] = i and distances[i] = squared centroid distance of triangle i to point, for i < triangles. */
	void getTriangleDistances(const math::float3& point, const math::float4x4& world, const math::float4x4* bones, int boneCount,
		unsigned short* order, float* distances, int triangles) const;
	/** Rewrites the index list in the triangle order given; scratch holds indices() entries. */
	void reorderTriangles(const unsigned short* order, unsigned short* scratch);

protected:
	/** Makes the storage block; subclasses add their GL objects. */
	virtual void allocate(const VertexFormat& format, int vertices, int indices);
	virtual void deallocate();

private:
	template <class Compare>
	void sortByDistance(const math::float3& point, const math::float4x4& world, const math::float4x4* bones, int boneCount, SortBuffer& buffer);
	math::float3 cornerPosition(int vertex, const math::float4x4& world, const math::float4x4* bones, int boneCount) const;

	math::float4 m_positionScaleBias;
	math::float4 m_texCoordScaleBias;
	math::float3 m_boundMin;
	math::float3 m_boundMax;
	float m_boundRadius;
	std::vector<unsigned char> m_block;
	unsigned char* m_arrays[VertexFormat::DT_SIZE];
	int m_pitches[VertexFormat::DT_SIZE];
	unsigned short* m_indexData;
	std::vector<unsigned char> m_usedBones;
	int m_vertices;
	int m_indices;
	int m_vertexRangeBegin;
	int m_vertexRangeEnd;
	int m_indexRangeBegin;
	int m_indexRangeEnd;
	VertexFormat m_format;
	bool m_texCoordScaleBiasIdentity;
};

} // gr

#endif
