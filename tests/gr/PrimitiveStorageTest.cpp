#include <gr/DIPrimitive.h>
#include <gr/GraphicsException.h>
#include <gtest/gtest.h>

namespace
{

/** CPU storage alone: the drawing side is not needed here. */
class StoragePrimitive : public gr::DIPrimitive
{
public:
	StoragePrimitive(const gr::VertexFormat& format, int vertices, int indices)	{ setFormat(format, vertices, indices); }
	void setShader(gr::Shader*) override								{}
	gr::Shader* shader() const override									{ return nullptr; }
	PrimType type() const override										{ return PRIM_TRI; }
	void render() override												{}
};

gr::VertexFormat positionsOnly()
{
	gr::VertexFormat format;
	format.addPosition(gr::VertexFormat::DF_V3_32);
	return format;
}

/** Three triangles whose centroids lie at x = 5, 1, 9 (distances from the origin). */
StoragePrimitive threeTriangles()
{
	StoragePrimitive p(positionsOnly(), 9, 9);
	const float xs[3] = {5.f, 1.f, 9.f};
	for (int t = 0; t < 3; ++t)
	{
		const math::float4 corners[3] = {{xs[t] - 1.f, -1.f, 0.f, 1.f}, {xs[t] + 1.f, -1.f, 0.f, 1.f}, {xs[t], 2.f, 0.f, 1.f}};
		p.setVertexPositions(3 * t, corners, 3);
	}
	const int indices[9] = {0, 1, 2, 3, 4, 5, 6, 7, 8};
	p.setIndices(0, indices, 9);
	return p;
}

std::vector<int> triangleOrder(const StoragePrimitive& p)
{
	std::vector<int> order;
	int indices[9];
	p.getIndices(0, indices, 9);
	for (int t = 0; t < 3; ++t)
		order.push_back(indices[3 * t] / 3);
	return order;
}

} // namespace

TEST(PrimitiveStorage, FormatSizesEverythingAndRefusesTooManyIndices)
{
	StoragePrimitive p(positionsOnly(), 4, 65535);
	EXPECT_EQ(65535, p.indices());
	EXPECT_EQ(4, p.vertexRangeEnd());
	EXPECT_EQ(65535, p.indexRangeEnd());
	EXPECT_THROW(p.setFormat(positionsOnly(), 4, 70000), gr::GraphicsException);
	EXPECT_THROW(p.setFormat(positionsOnly(), 4, 65536), gr::GraphicsException);
}

TEST(PrimitiveStorage, AbsentAttributesReadAsZeroAndIgnoreWrites)
{
	StoragePrimitive p(positionsOnly(), 2, 0);
	const math::float4 normal(0.f, 1.f, 0.f, 0.f);
	p.setVertexNormals(0, &normal, 1);
	math::float4 out[2] = {{9.f, 9.f, 9.f, 9.f}, {9.f, 9.f, 9.f, 9.f}};
	p.getVertexNormals(0, out, 2);
	EXPECT_EQ(math::float4(0.f, 0.f, 0.f, 0.f), out[1]);
	unsigned char* data;
	int pitch;
	p.getVertexDataPtr(gr::VertexFormat::DT_NORMAL, &data, &pitch);
	EXPECT_EQ(nullptr, data);
}

TEST(PrimitiveStorage, IndexWidths)
{
	StoragePrimitive p(positionsOnly(), 1, 4);
	const unsigned char bytes[1] = {200};
	const unsigned ints[1] = {65537};
	p.setIndexData(0, bytes, 1, 1);
	p.setIndexData(1, ints, 4, 1);
	p.setIndexData(2, ints, 3, 1);
	int out[3];
	p.getIndices(0, out, 3);
	EXPECT_EQ(200, out[0]);
	EXPECT_EQ(1, out[1]);
	EXPECT_EQ(0, out[2]);
}

TEST(PrimitiveStorage, CenterOfPositions)
{
	StoragePrimitive p(positionsOnly(), 2, 0);
	const math::float4 positions[2] = {{0.f, 0.f, 0.f, 1.f}, {2.f, 4.f, 6.f, 1.f}};
	p.setVertexPositions(0, positions, 2);
	const math::float3 c = p.center();
	EXPECT_EQ(1.f, c.x);
	EXPECT_EQ(2.f, c.y);
	EXPECT_EQ(3.f, c.z);
}

TEST(PrimitiveStorage, SortOrders)
{
	gr::SortBuffer buffer;
	const math::float4x4 identity(1.f);
	const math::float3 origin(0.f, 0.f, 0.f);
	struct Case { const char* name; std::vector<int> expected; };

	StoragePrimitive backToFront = threeTriangles();
	backToFront.sortBackToFront(origin, identity, nullptr, 0, buffer);
	EXPECT_EQ((std::vector<int>{2, 0, 1}), triangleOrder(backToFront));

	StoragePrimitive frontToBack = threeTriangles();
	frontToBack.sortFrontToBack(origin, identity, nullptr, 0, buffer);
	EXPECT_EQ((std::vector<int>{1, 0, 2}), triangleOrder(frontToBack));

	// The world matrix moves the triangles before measuring: shifted by -10, x = 9 is nearest.
	math::float4x4 shift(1.f);
	shift(0, 3) = -10.f;
	StoragePrimitive shifted = threeTriangles();
	shifted.sortFrontToBack(origin, shift, nullptr, 0, buffer);
	EXPECT_EQ((std::vector<int>{2, 0, 1}), triangleOrder(shifted));

	// Centre of the box is x = 5: triangle 0 is innermost.
	StoragePrimitive insideOut = threeTriangles();
	insideOut.sortInsideOut(buffer);
	EXPECT_EQ(0, triangleOrder(insideOut)[0]);
	StoragePrimitive outsideIn = threeTriangles();
	outsideIn.sortOutsideIn(buffer);
	EXPECT_EQ(0, triangleOrder(outsideIn)[2]);
}

TEST(PrimitiveStorage, SkinnedSortUsesBoneMatrices)
{
	gr::VertexFormat format = positionsOnly();
	format.setDataFormat(gr::VertexFormat::DT_BONEWEIGHTS, gr::VertexFormat::DF_V4_32);
	format.setDataFormat(gr::VertexFormat::DT_BONEINDICES, gr::VertexFormat::DF_V4_8);
	StoragePrimitive p(format, 6, 6);
	const math::float4 positions[6] = {{1, 0, 0, 1}, {1, 1, 0, 1}, {1, 0, 1, 1}, {2, 0, 0, 1}, {2, 1, 0, 1}, {2, 0, 1, 1}};
	p.setVertexPositions(0, positions, 6);
	const math::float4 weights(1.f, 0.f, 0.f, 0.f);
	const math::float4 firstBone(0.f, 0.f, 0.f, 0.f);
	const math::float4 secondBone(1.f, 0.f, 0.f, 0.f);
	for (int v = 0; v < 6; ++v)
	{
		p.setVertexBoneWeights(v, &weights, 1);
		p.setVertexBoneIndices(v, v < 3 ? &firstBone : &secondBone, 1);
	}
	const int indices[6] = {0, 1, 2, 3, 4, 5};
	p.setIndices(0, indices, 6);
	// Bone 0 carries the first triangle far away; without skinning it would be the nearer one.
	math::float4x4 bones[2] = {math::float4x4(1.f), math::float4x4(1.f)};
	bones[0](0, 3) = 100.f;
	gr::SortBuffer buffer;
	p.sortFrontToBack(math::float3(0.f, 0.f, 0.f), math::float4x4(1.f), bones, 2, buffer);
	int out[6];
	p.getIndices(0, out, 6);
	EXPECT_EQ(3, out[0]);
}

TEST(PrimitiveStorage, SortBufferLayout)
{
	gr::SortBuffer buffer;
	buffer.reset(10, 3);
	ASSERT_EQ(36, buffer.capacity());
	EXPECT_EQ(reinterpret_cast<const unsigned char*>(buffer.floats()), buffer.data());
	EXPECT_EQ(reinterpret_cast<const unsigned char*>(buffer.shorts()), buffer.data() + 12);
	EXPECT_EQ(0, std::memcmp(buffer.data() + 32, "ok!", 4));
	buffer.reset(20, 3);
	EXPECT_EQ(72, buffer.capacity());
}

TEST(PrimitiveStorage, PackBonesRenumbersUsedBonesAndSkipsOutOfRange)
{
	gr::VertexFormat format = positionsOnly();
	format.setDataFormat(gr::VertexFormat::DT_BONEWEIGHTS, gr::VertexFormat::DF_V4_32);
	format.setDataFormat(gr::VertexFormat::DT_BONEINDICES, gr::VertexFormat::DF_V4_32);
	StoragePrimitive p(format, 2, 0);
	const math::float4 weights[2] = {{0.5f, 0.5f, 0.f, 0.f}, {1.f, 0.5f, 0.f, 0.f}};
	const math::float4 bones[2] = {{7.f, 3.f, 9.f, 0.f}, {3.f, 300.f, 0.f, 0.f}};
	p.setVertexBoneWeights(0, weights, 2);
	p.setVertexBoneIndices(0, bones, 2);
	p.packBones();
	ASSERT_EQ(2, p.usedBones());
	EXPECT_EQ(3, p.usedBoneArray()[0]);
	EXPECT_EQ(7, p.usedBoneArray()[1]);
	math::float4 out[2];
	p.getVertexBoneIndices(0, out, 2);
	EXPECT_EQ(1.f, out[0].x);
	EXPECT_EQ(0.f, out[0].y);
	EXPECT_EQ(0.f, out[1].x);
}
