#ifndef WORLD_TARGETFACE_H
#define WORLD_TARGETFACE_H

#include <world/GameLua.h>

namespace game { class Sprite; }

/** Moods under which a target keeps a face; any unlisted mood name is NORMAL. */
enum TargetFaceState
{
	TARGET_FACE_NORMAL = 1,
	TARGET_FACE_NERVOUS = 2,
	TARGET_FACE_SCARED = 3,
	TARGET_FACE_RELIEVED = 4,
	TARGET_FACE_SLEEPY = 5,
	TARGET_FACE_SLEEPING = 6
};

/** One sprite of a face; a plain value inside its face. The sprites belong to their sheets. */
struct TargetFacePart
{
	game::Sprite* sprite = nullptr;
	// Shown while the eye blinks; eyes only.
	game::Sprite* blinkSprite = nullptr;
	// Pixels from the part's rest position, and the largest offsets allowed.
	float offsetX = 0.0f;
	float offsetY = 0.0f;
	float maxOffsetX = 0.0f;
	float maxOffsetY = 0.0f;
	bool present = false;
};

/** A target's face for one mood; a plain value kept in its object's record by mood. */
struct GameLua::TargetFace
{
	enum Part
	{
		LEFT_EYE,
		RIGHT_EYE,
		LEFT_PUPIL,
		RIGHT_PUPIL,
		NOSE,
		PART_COUNT
	};

	TargetFacePart parts[PART_COUNT];
};

#endif
