#ifndef GAME_ANCHOR_H
#define GAME_ANCHOR_H

namespace game
{

/**
 * Which point of a drawn sprite, composite sprite or line of text lies at the position given to
 * the draw call. A plain value passed by value; {TOP, LEFT} when both fields are 0.
 */
class Anchor
{
public:
	enum Vertical
	{
		TOP = 0,
		VCENTER = 1,
		BOTTOM = 2,
		BASELINE = 3,
		VPIVOT = 4
	};

	enum Horizontal
	{
		LEFT = 0,
		HCENTER = 1,
		RIGHT = 2,
		HPIVOT = 3
	};

	int vertical;
	int horizontal;

	Anchor() : vertical(TOP), horizontal(LEFT) {}
	Anchor(int v, int h) : vertical(v), horizontal(h) {}

	/**
	 * Applies one keyword ("TOP", "VCENTER", "BOTTOM", "BASELINE", "VPIVOT", "LEFT", "HCENTER",
	 * "RIGHT", "HPIVOT", case-sensitive) to its own field. Null or empty changes nothing; any other
	 * text throws lang::Exception "Invalid anchor: {0}" and leaves the anchor as it was.
	 */
	void fromString(const char* word);

	bool operator==(const Anchor& other) const		{ return vertical == other.vertical && horizontal == other.horizontal; }
	bool operator!=(const Anchor& other) const		{ return !(*this == other); }
};

} // game

#endif
