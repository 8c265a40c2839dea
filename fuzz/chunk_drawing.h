#ifndef FUZZ_CHUNK_DRAWING_H
#define FUZZ_CHUNK_DRAWING_H

#include "../tests/support/RecordingContext.h"
#include <game/Anchor.h>

/** Anchors that between them take every vertical and every horizontal choice. */
inline const game::Anchor DRAW_ANCHORS[] = {
	game::Anchor(game::Anchor::TOP, game::Anchor::LEFT),
	game::Anchor(game::Anchor::VCENTER, game::Anchor::HCENTER),
	game::Anchor(game::Anchor::BOTTOM, game::Anchor::RIGHT),
	game::Anchor(game::Anchor::BASELINE, game::Anchor::HPIVOT),
	game::Anchor(game::Anchor::VPIVOT, game::Anchor::HPIVOT),
};

/**
 * Sizes, in pixels, of the texture behind each image the recording device reads: sprites of an
 * image with a texture draw through texture coordinates, those of one without (0) through source
 * rectangles.
 */
inline const int TEXTURE_SIZES[] = {256, 0};

/** Calls draw(context) once with a fresh recording device for each of TEXTURE_SIZES. */
template <class Draw>
void drawOnEveryDevice(Draw draw)
{
	for (int textureSize : TEXTURE_SIZES)
	{
		RecordingContext context;
		context.textureWidth = context.textureHeight = textureSize;
		draw(context);
	}
}

#endif
