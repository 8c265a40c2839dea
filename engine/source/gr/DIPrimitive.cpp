#include <gr/DIPrimitive.h>
#include <gr/GraphicsException.h>
#include <lang/Float.h>
#include <lang/Truncate.h>
#include <algorithm>
#include <cstring>

namespace gr
{

namespace
{

const math::float4 IDENTITY_SCALE_BIAS(1.f, 0.f, 0.f, 0.f);

} // namespace

DIPrimitive::DIPrimitive() :
	m_positionScaleBias(IDENTITY_SCALE_BIAS),
	m_texCoordScaleBias(IDENTITY_SCALE_BIAS),
	m_boundRadius(0.f),
	m_indexData(nullptr),
	m_vertices(0),
	m_indices(0),
	m_vertexRangeBegin(0),
	m_vertexRangeEnd(0),
	m_indexRangeBegin(0),
	m_indexRangeEnd(0),
	m_texCoordScaleBiasIdentity(true)
{
	std::fill(m_arrays, m_arrays + VertexFormat::DT_SIZE, nullptr);
	std::fill(m_pitches, m_pitches + VertexFormat::DT_SIZE, 0);
}

void DIPrimitive::setFormat(const VertexFormat& format, int vertices, int indices)
{
	if (indices > MAX_INDICES)
		lang::throwError(GraphicsException(lang::Format("Too many indices in a primitive: {0}, maximum is {1}", indices, MAX_INDICES)));
	m_usedBones.clear();
	deallocate();
	m_format = format;
	m_vertices = vertices;
	m_indices = indices;
	m_vertexRangeBegin = 0;
	m_vertexRangeEnd = vertices;
	m_indexRangeBegin = 0;
	m_indexRangeEnd = indices;
	allocate(format, vertices, indices);
}

void DIPrimitive::allocate(const VertexFormat& format, int vertices, int indices)
{
	const int align = format.alignEach();
	size_t size = 0;
	for (int t = 0; t < VertexFormat::DT_SIZE; ++t)
		size += (size_t)vertices * VertexFormat::getDataSizeAligned(format.getDataFormat((VertexFormat::DataType)t), align);
	size += 2u * (size_t)std::max(indices, 0);
	m_block.assign(size, 0);

	unsigned char* p = m_block.data();
	for (int t = 0; t < VertexFormat::DT_SIZE; ++t)
	{
		const VertexFormat::DataFormat df = format.getDataFormat((VertexFormat::DataType)t);
		if (df == VertexFormat::DF_NONE)
		{
			m_arrays[t] = nullptr;
			m_pitches[t] = 0;
			continue;
		}
		m_arrays[t] = p;
		m_pitches[t] = VertexFormat::getDataSizeAligned(df, align);
		p += (size_t)vertices * m_pitches[t];
	}
	m_indexData = indices > 0 ? reinterpret_cast<unsigned short*>(p) : nullptr;
}

void DIPrimitive::deallocate()
{
	std::vector<unsigned char>().swap(m_block);
	std::fill(m_arrays, m_arrays + VertexFormat::DT_SIZE, nullptr);
	std::fill(m_pitches, m_pitches + VertexFormat::DT_SIZE, 0);
	m_indexData = nullptr;
}

void DIPrimitive::setVertexPositions(int firstVertex, const math::float4* values, int count)
{
	setVertexData(VertexFormat::DT_POSITION, firstVertex, values, VertexFormat::DF_V4_32, count);
}

void DIPrimitive::setVertexTransformedPositions(int firstVertex, const math::float4* values, int count)
{
	setVertexData(VertexFormat::DT_POSITIONT, firstVertex, values, VertexFormat::DF_V4_32, count);
}

void DIPrimitive::setVertexNormals(int firstVertex, const math::float4* values, int count)
{
	setVertexData(VertexFormat::DT_NORMAL, firstVertex, values, VertexFormat::DF_V4_32, count);
}

void DIPrimitive::setVertexDiffuseColors(int firstVertex, const math::float4* values, int count)
{
	setVertexData(VertexFormat::DT_DIFFUSE, firstVertex, values, VertexFormat::DF_V4_32, count);
}

void DIPrimitive::setVertexSpecularColors(int firstVertex, const math::float4* values, int count)
{
	setVertexData(VertexFormat::DT_SPECULAR, firstVertex, values, VertexFormat::DF_V4_32, count);
}

void DIPrimitive::setVertexTangents(int firstVertex, const math::float4* values, int count)
{
	setVertexData(VertexFormat::DT_TANGENT, firstVertex, values, VertexFormat::DF_V4_32, count);
}

void DIPrimitive::setVertexBoneWeights(int firstVertex, const math::float4* values, int count)
{
	setVertexData(VertexFormat::DT_BONEWEIGHTS, firstVertex, values, VertexFormat::DF_V4_32, count);
}

void DIPrimitive::setVertexBoneIndices(int firstVertex, const math::float4* values, int count)
{
	setVertexData(VertexFormat::DT_BONEINDICES, firstVertex, values, VertexFormat::DF_V4_32, count);
}

void DIPrimitive::setVertexTextureCoordinates(int layer, int firstVertex, const math::float4* values, int count)
{
	setVertexData((VertexFormat::DataType)(VertexFormat::DT_TEX0 + layer), firstVertex, values, VertexFormat::DF_V4_32, count);
}

void DIPrimitive::setVertexTextureCoordinateScaleBias(const math::float4& scaleBias)
{
	m_texCoordScaleBias = scaleBias;
	m_texCoordScaleBiasIdentity = scaleBias == IDENTITY_SCALE_BIAS;
}

void DIPrimitive::setVertexData(VertexFormat::DataType type, int firstVertex, const void* data, VertexFormat::DataFormat format, int count)
{
	unsigned char* array = m_arrays[type];
	if (!array)
		return;
	VertexFormat::copyData(array + (size_t)firstVertex * m_pitches[type], m_pitches[type], m_format.getDataFormat(type),
		data, VertexFormat::getDataSize(format), format, count);
}

void DIPrimitive::getVertexData(VertexFormat::DataType type, int firstVertex, math::float4* out, int count) const
{
	const unsigned char* array = m_arrays[type];
	if (!array)
	{
		std::fill(out, out + std::max(count, 0), math::float4(0.f, 0.f, 0.f, 0.f));
		return;
	}
	VertexFormat::copyData(out, sizeof(math::float4), VertexFormat::DF_V4_32,
		array + (size_t)firstVertex * m_pitches[type], m_pitches[type], m_format.getDataFormat(type), count);
}

void DIPrimitive::getVertexPositions(int firstVertex, math::float4* out, int count) const
{
	getVertexData(VertexFormat::DT_POSITION, firstVertex, out, count);
}

void DIPrimitive::getVertexNormals(int firstVertex, math::float4* out, int count) const
{
	getVertexData(VertexFormat::DT_NORMAL, firstVertex, out, count);
}

void DIPrimitive::getVertexDiffuseColors(int firstVertex, math::float4* out, int count) const
{
	getVertexData(VertexFormat::DT_DIFFUSE, firstVertex, out, count);
}

void DIPrimitive::getVertexSpecularColors(int firstVertex, math::float4* out, int count) const
{
	getVertexData(VertexFormat::DT_SPECULAR, firstVertex, out, count);
}

void DIPrimitive::getVertexTangents(int firstVertex, math::float4* out, int count) const
{
	getVertexData(VertexFormat::DT_TANGENT, firstVertex, out, count);
}

void DIPrimitive::getVertexBoneWeights(int firstVertex, math::float4* out, int count) const
{
	getVertexData(VertexFormat::DT_BONEWEIGHTS, firstVertex, out, count);
}

void DIPrimitive::getVertexBoneIndices(int firstVertex, math::float4* out, int count) const
{
	getVertexData(VertexFormat::DT_BONEINDICES, firstVertex, out, count);
}

void DIPrimitive::getVertexTextureCoordinates(int layer, int firstVertex, math::float4* out, int count) const
{
	getVertexData((VertexFormat::DataType)(VertexFormat::DT_TEX0 + layer), firstVertex, out, count);
}

void DIPrimitive::setIndexData(int firstIndex, const void* data, int bytesPerIndex, int count)
{
	if (!m_indexData || count < 1)
		return;
	unsigned short* dst = m_indexData + firstIndex;
	if (bytesPerIndex == 2)
		std::memcpy(dst, data, 2u * (size_t)count);
	else if (bytesPerIndex == 1)
	{
		const unsigned char* src = static_cast<const unsigned char*>(data);
		for (int i = 0; i < count; ++i)
			dst[i] = src[i];
	}
	else if (bytesPerIndex == 4)
	{
		const unsigned char* src = static_cast<const unsigned char*>(data);
		for (int i = 0; i < count; ++i)
		{
			uint32_t index;
			std::memcpy(&index, src + 4 * i, 4);
			dst[i] = (unsigned short)index;
		}
	}
}

void DIPrimitive::setIndices(int firstIndex, const int* indices, int count)
{
	setIndexData(firstIndex, indices, 4, count);
}

void DIPrimitive::getIndices(int firstIndex, int* out, int count) const
{
	for (int i = 0; i < count; ++i)
		out[i] = m_indexData[firstIndex + i];
}

void DIPrimitive::getVertexDataPtr(VertexFormat::DataType type, unsigned char** data, int* pitch)
{
	*data = m_arrays[type];
	*pitch = m_pitches[type];
}

void DIPrimitive::getIndexDataPtr(unsigned short** data, int* pitch)
{
	*data = m_indexData;
	*pitch = 2;
}

void DIPrimitive::setBound(const math::float3& boundMin, const math::float3& boundMax, float radius)
{
	m_boundMin = boundMin;
	m_boundMax = boundMax;
	m_boundRadius = radius;
}

void DIPrimitive::setUsedBones(const unsigned char* bones, int count)
{
	m_usedBones.clear();
	if (count >= 1)
		m_usedBones.assign(bones, bones + count);
}

void DIPrimitive::packBones()
{
	if (!m_format.hasData(VertexFormat::DT_BONEINDICES))
		return;
	bool used[256] = {};
	math::float4 weights;
	math::float4 bones;
	for (int v = 0; v < m_vertices; ++v)
	{
		getVertexBoneWeights(v, &weights, 1);
		getVertexBoneIndices(v, &bones, 1);
		for (int k = 0; k < 4; ++k)
		{
			if (weights[k] > 0.f && bones[k] >= 0.f && bones[k] < 256.f)
				used[(int)bones[k]] = true;
		}
	}
	unsigned char packed[256] = {};
	m_usedBones.clear();
	for (int bone = 0; bone < 256; ++bone)
	{
		if (used[bone])
		{
			packed[bone] = (unsigned char)m_usedBones.size();
			m_usedBones.push_back((unsigned char)bone);
		}
	}
	for (int v = 0; v < m_vertices; ++v)
	{
		getVertexBoneIndices(v, &bones, 1);
		for (int k = 0; k < 4; ++k)
		{
			const bool inRange = bones[k] >= 0.f && bones[k] < 256.f;
			bones[k] = inRange ? (float)packed[(int)bones[k]] : 0.f;
		}
		setVertexBoneIndices(v, &bones, 1);
	}
}

math::float3 DIPrimitive::center() const
{
	math::float3 lo(lang::Float::MAX_VALUE, lang::Float::MAX_VALUE, lang::Float::MAX_VALUE);
	math::float3 hi(-lang::Float::MAX_VALUE, -lang::Float::MAX_VALUE, -lang::Float::MAX_VALUE);
	math::float4 p;
	for (int v = 0; v < m_vertices; ++v)
	{
		getVertexPositions(v, &p, 1);
		for (int i = 0; i < 3; ++i)
		{
			lo[i] = std::min(lo[i], p[i]);
			hi[i] = std::max(hi[i], p[i]);
		}
	}
	return (lo + hi) * 0.5f;
}

math::float3 DIPrimitive::cornerPosition(int vertex, const math::float4x4& world, const math::float4x4* bones, int boneCount) const
{
	math::float4 p;
	getVertexPositions(vertex, &p, 1);
	p.w = 1.f;
	if (!bones || !m_format.hasData(VertexFormat::DT_BONEWEIGHTS))
		return p.xyz();
	// Linear blend skinning: the weighted sum of the position moved by each referenced bone.
	math::float4 weights;
	math::float4 indices;
	getVertexBoneWeights(vertex, &weights, 1);
	getVertexBoneIndices(vertex, &indices, 1);
	math::float4 skinned(0.f, 0.f, 0.f, 0.f);
	for (int k = 0; k < 4; ++k)
	{
		const int bone = lang::truncateTo<int>(indices[k]);
		if (weights[k] != 0.f && bone >= 0 && bone < boneCount)
			skinned += bones[bone].transform(p) * weights[k];
	}
	return skinned.xyz();
}

void DIPrimitive::getTriangleDistances(const math::float3& point, const math::float4x4& world, const math::float4x4* bones, int boneCount,
	unsigned short* order, float* distances, int triangles) const
{
	const bool skinned = bones && m_format.hasData(VertexFormat::DT_BONEWEIGHTS);
	const math::float4 target(point, 1.f);
	for (int i = 0; i < triangles; ++i)
	{
		math::float3 sum(0.f, 0.f, 0.f);
		for (int k = 0; k < 3; ++k)
			sum += cornerPosition(m_indexData[3 * i + k], world, bones, boneCount);
		math::float4 centroid(sum * 0.33333334f, 1.f);
		if (!skinned)
			centroid = world.transform(centroid);
		const math::float4 d = centroid - target;
		order[i] = (unsigned short)i;
		distances[i] = dot(d, d);
	}
}

void DIPrimitive::reorderTriangles(const unsigned short* order, unsigned short* scratch)
{
	const int triangles = m_indices / 3;
	for (int k = 0; k < triangles; ++k)
		std::memcpy(scratch + 3 * k, m_indexData + 3 * order[k], 3 * sizeof(unsigned short));
	std::memcpy(m_indexData, scratch, 3u * triangles * sizeof(unsigned short));
}

template <class Compare>
void DIPrimitive::sortByDistance(const math::float3& point, const math::float4x4& world, const math::float4x4* bones, int boneCount, SortBuffer& buffer)
{
	const int triangles = m_indices / 3;
	buffer.reset(triangles + m_indices, triangles);
	unsigned short* order = buffer.shorts();
	float* distances = buffer.floats();
	getTriangleDistances(point, world, bones, boneCount, order, distances, triangles);
	std::sort(order, order + triangles, Compare{distances});
	reorderTriangles(order, order + triangles);
}

void DIPrimitive::sortBackToFront(const math::float3& point, const math::float4x4& world, const math::float4x4* bones, int boneCount, SortBuffer& buffer)
{
	sortByDistance<SortGreater>(point, world, bones, boneCount, buffer);
}

void DIPrimitive::sortFrontToBack(const math::float3& point, const math::float4x4& world, const math::float4x4* bones, int boneCount, SortBuffer& buffer)
{
	sortByDistance<SortLess>(point, world, bones, boneCount, buffer);
}

void DIPrimitive::sortInsideOut(SortBuffer& buffer)
{
	sortByDistance<SortLess>(center(), math::float4x4(1.f), nullptr, 0, buffer);
}

void DIPrimitive::sortOutsideIn(SortBuffer& buffer)
{
	sortByDistance<SortGreater>(center(), math::float4x4(1.f), nullptr, 0, buffer);
}

} // gr
