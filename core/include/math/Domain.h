#ifndef MATH_DOMAIN_H
#define MATH_DOMAIN_H

#include <math/float2.h>
#include <math/float3.h>

namespace math
{

/**
 * A named shape with up to nine float parameters from which random values are drawn (particle
 * description values). A plain value with no random state of its own.
 */
class Domain
{
public:
	/** Values and keywords are part of the particle description text: do not reorder. */
	enum DomainType
	{
		NONE,
		CONSTANT,
		RANGE,
		POINT,
		SPHERE,
		LINE,
		BOX,
		CYLINDER,
		DISK,
		RECTANGLE,
		TRIANGLE,
		POINT_2D,
		CIRCLE_2D,
		LINE_2D,
		BOX_2D,
		RECTANGLE_2D,
		TRIANGLE_2D,
		/** One past the last type: what toDomainType gives for an unknown keyword. */
		DOMAINTYPE_COUNT
	};

	/** Maximum number of parameters of any type. */
	static const int MAX_PARAMETERS = 9;

	/** Type NONE, every parameter 0. */
	Domain();

	void setType(DomainType type)						{ m_type = type; }
	DomainType type() const								{ return m_type; }

	/** Sets parameter i; an index outside 0..8 is ignored. */
	void setParameter(int i, float value);
	float getParameter(int i) const						{ return m_params[i]; }

	/** Number of parameters the type takes; 0 for NONE and for any value outside the types. */
	static int getParameterCount(DomainType type);

	/** The type whose keyword ("NONE", "BOX_2D", ...) equals text exactly, else DOMAINTYPE_COUNT. */
	static DomainType toDomainType(const char* text);

	/** A value drawn from the shape; three-dimensional shapes give their x and y. */
	float2 getRandomFloat2() const;

	/** The x of getRandomFloat2(). */
	float getRandomFloat() const;

	/** A point drawn from a three-dimensional shape; other shapes give getRandomFloat2() with z 0. */
	float3 getRandomFloat3() const;

private:
	float m_params[MAX_PARAMETERS];
	DomainType m_type;
};

} // math

#endif
