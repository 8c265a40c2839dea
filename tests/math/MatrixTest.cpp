#include <math/float4x4.h>
#include <gtest/gtest.h>
#include <cfloat>
#include <cmath>

using namespace math;

namespace
{

const float PI = 3.14159265f;
const float EPS = 1e-5f;

void expectNear(const float3& expected, const float3& actual)
{
	EXPECT_NEAR(expected.x, actual.x, EPS);
	EXPECT_NEAR(expected.y, actual.y, EPS);
	EXPECT_NEAR(expected.z, actual.z, EPS);
}

void expectNear(const float4& expected, const float4& actual)
{
	expectNear(expected.xyz(), actual.xyz());
	EXPECT_NEAR(expected.w, actual.w, EPS);
}

template <class M>
void expectNearMatrix(const M& expected, const M& actual)
{
	const int n = sizeof(expected.m) / sizeof(expected.m[0]);
	for (int i = 0; i < n; ++i)
		EXPECT_NEAR(expected.m[i], actual.m[i], EPS) << "element " << i;
}

float4x4 translation(float x, float y, float z)
{
	return float4x4(float3x3(1.f), float3(x, y, z));
}

} // namespace

TEST(VectorTest, Normalize0)
{
	const struct { float3 in; float3 out; } cases[] = {
		{float3(0, 0, 0), float3(0, 0, 0)},
		{float3(1e-39f, 0, 0), float3(0, 0, 0)},
		{float3(NAN, 0, 0), float3(0, 0, 0)},
		{float3(3, 0, 4), float3(0.6f, 0, 0.8f)},
		{float3(0, -2, 0), float3(0, -1, 0)},
	};
	for (const auto& c : cases)
		expectNear(c.out, normalize0(c.in));
}

TEST(VectorTest, SwizzlesShareStorage)
{
	float4 v(1, 2, 3, 4);
	v.xyz().xy() = float2(7, 8);
	EXPECT_EQ(float4(7, 8, 3, 4), v);
	EXPECT_EQ(float4(float3(1, 2, 3), 9), float4(1, 2, 3, 9));
	expectNear(float3(0, 0, 1), cross(float3(1, 0, 0), float3(0, 1, 0)));
}

TEST(MatrixTest, RotationTurnsCounterClockwiseAboutAxis)
{
	const struct { float3 axis; float3 in; float3 out; } cases[] = {
		{float3(0, 0, 1), float3(1, 0, 0), float3(0, 1, 0)},
		{float3(0, 0, 5), float3(1, 0, 0), float3(0, 1, 0)},
		{float3(1, 0, 0), float3(0, 1, 0), float3(0, 0, 1)},
		{float3(0, 1, 0), float3(0, 0, 1), float3(1, 0, 0)},
		{float3(0, 0, -1), float3(1, 0, 0), float3(0, -1, 0)},
	};
	for (const auto& c : cases)
		expectNear(c.out, float3x3(c.axis, PI / 2) * c.in);
	expectNearMatrix(float3x3(float3(0, 0, 1), 0.7f), float3x3(float3(0, 0, 3), 0.7f));
}

TEST(MatrixTest, ProductAppliesRightOperandFirst)
{
	const float4x4 rot(float3x3(float3(0, 0, 1), PI / 2), float3(0, 0, 0));
	const float4x4 move = translation(10, 0, 0);
	const float4 p(1, 0, 0, 1);

	expectNear(float4(0, 11, 0, 1), (rot * move) * p);
	expectNear(rot * (move * p), (rot * move) * p);
	expectNear(float4(10, 1, 0, 1), (move * rot) * p);

	const float3x3 a(float3(1, 2, 3), 0.4f);
	const float3x3 b(float3(0, 1, 0), 1.1f);
	expectNear(a * (b * float3(1, 2, 3)), (a * b) * float3(1, 2, 3));
}

TEST(MatrixTest, InverseUndoesTransform)
{
	float4x4 general;
	const float values[16] = {2, 1, 0, 3, -1, 4, 2, 0, 0.5f, 0, 3, 1, 1, 2, -1, 5};
	for (int i = 0; i < 16; ++i)
		general.m[i] = values[i];
	expectNearMatrix(float4x4(1.f), general * general.inverse());
	expectNearMatrix(float4x4(1.f), general.inverse() * general);

	const float3x3 rot(float3(1, 1, 0), 0.8f);
	expectNearMatrix(rot.transpose(), rot.inverse());

	const float3x4 tm(rot, float3(4, -2, 7));
	float3 there, back;
	tm.transform(float3(1, 2, 3), &there);
	tm.inverse().transform(there, &back);
	expectNear(float3(1, 2, 3), back);
	expectNearMatrix(float3x4(1.f), tm * tm.inverse());
}

TEST(MatrixTest, AffineParts)
{
	const float3x3 rot(float3(0, 0, 1), PI / 2);
	const float3 t(5, 6, 7);

	const float4 p = float4x4(rot, t) * float4(1, 2, 3, 1);
	expectNear(rot * float3(1, 2, 3) + t, p.xyz());
	EXPECT_EQ(1.f, p.w);

	const float3x4 tm(rot, t);
	float3 out;
	tm.transform(float3(1, 0, 0), &out);
	expectNear(float3(5, 7, 7), out);
	expectNear(float3(0, 1, 0), tm.rotate(float3(1, 0, 0)));
	EXPECT_EQ(float4x4(rot, t), float4x4(tm));
}

TEST(MatrixTest, OrthonormalBasisFromZ)
{
	float3x3 basis;
	basis.generateOrthonormalBasisFromZ(float3(0, 0, 1));
	EXPECT_EQ(float3x3(1.f), basis);

	// Preferred direction parallel to z: falls through to the candidate (1, 0, 0).
	basis.generateOrthonormalBasisFromZ(float3(0, 1, 0));
	expectNear(float3(0, 0, 1), basis.getColumn(0));
	expectNear(float3(1, 0, 0), basis.getColumn(1));
	expectNear(float3(0, 1, 0), basis.getColumn(2));

	const float3 z = normalize0(float3(1, 2, 3));
	basis.generateOrthonormalBasisFromZ(z, float3(1, 0, 0));
	expectNearMatrix(float3x3(1.f), basis.transpose() * basis);
	EXPECT_NEAR(1.f, basis.determinant(), EPS);

	basis.generateOrthonormalBasisFromZ(float3(0, 0, 0));
	for (float e : basis.m)
		EXPECT_TRUE(std::isfinite(e));
}

TEST(MatrixTest, PerspectiveProjection)
{
	float4x4 p;
	p.setPerspectiveProjection(PI / 2, 1, 101, 1);
	EXPECT_NEAR(1.f, p(0, 0), EPS);
	EXPECT_NEAR(1.f, p(1, 1), EPS);
	EXPECT_NEAR(1.01f, p(2, 2), EPS);
	EXPECT_NEAR(-1.01f, p(2, 3), EPS);
	EXPECT_EQ(1.f, p(3, 2));
	EXPECT_EQ(0.f, p(3, 3));

	const float4 nearPoint = p * float4(0, 0, 1, 1);
	const float4 farPoint = p * float4(0, 0, 101, 1);
	EXPECT_NEAR(0.f, nearPoint.z / nearPoint.w, EPS);
	EXPECT_NEAR(1.f, farPoint.z / farPoint.w, EPS);

	p.setPerspectiveProjection(PI / 2, 1, 101, 2);
	EXPECT_NEAR(2.f, p(1, 1), EPS);
	p.setPerspectiveProjection(PI / 2, 0, 101, 1);
	EXPECT_TRUE(std::isnan(p(1, 1)));
}
