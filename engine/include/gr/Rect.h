#ifndef GR_RECT_H
#define GR_RECT_H

namespace gr
{

/** Integer rectangle in pixels (viewports, clip and texture extents); a plain value. */
class Rect
{
public:
	int left;
	int top;
	int right;
	int bottom;

	Rect() : left(0), top(0), right(0), bottom(0) {}
	Rect(int width, int height) : left(0), top(0), right(width), bottom(height) {}
	Rect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}

	void setLeft(int v)									{ left = v; }
	void setTop(int v)									{ top = v; }
	void setRight(int v)								{ right = v; }
	void setBottom(int v)								{ bottom = v; }


	bool operator==(const Rect& o) const				{ return left == o.left && top == o.top && right == o.right && bottom == o.bottom; }
	bool operator!=(const Rect& o) const				{ return !(*this == o); }
};

} // gr

#endif
