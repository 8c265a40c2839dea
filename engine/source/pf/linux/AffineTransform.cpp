#include <pf/AffineTransform.h>
#include <cmath>

namespace pf
{

// The transform that applies first, then second.
static AffineTransform concat(const AffineTransform& first, const AffineTransform& second)
{
	AffineTransform t;
	t.a = first.a * second.a + first.b * second.c;
	t.b = first.a * second.b + first.b * second.d;
	t.c = first.c * second.a + first.d * second.c;
	t.d = first.c * second.b + first.d * second.d;
	t.tx = first.tx * second.a + first.ty * second.c + second.tx;
	t.ty = first.tx * second.b + first.ty * second.d + second.ty;
	return t;
}

AffineTransform AffineTransform::makeTranslation(float x, float y)
{
	AffineTransform t;
	t.tx = x;
	t.ty = y;
	return t;
}

AffineTransform AffineTransform::rotate(float angle) const
{
	AffineTransform r;
	r.a = std::cos(angle);
	r.b = std::sin(angle);
	r.c = -r.b;
	r.d = r.a;
	return concat(r, *this);
}

AffineTransform AffineTransform::translate(float x, float y) const
{
	return concat(makeTranslation(x, y), *this);
}

bool AffineTransform::operator==(const AffineTransform& o) const
{
	return a == o.a && b == o.b && c == o.c && d == o.d && tx == o.tx && ty == o.ty;
}

} // pf
