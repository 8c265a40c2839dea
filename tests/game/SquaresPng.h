#ifndef TESTS_GAME_SQUARESPNG_H
#define TESTS_GAME_SQUARESPNG_H

#include "support/ChunkWriter.h"
#include "support/HeadlessGL.h"
#include "support/PngEncoder.h"
#include <cstdint>
#include <string>
#include <vector>

/** An opaque PNG file of 8 x 8 squares in the colours given, left to right: (8 * count) x 8 pixels. */
inline ChunkWriter squaresPng(const std::vector<RGB>& colours)
{
	constexpr int SQUARE = 8;
	testsupport::PngImage png;
	png.width = SQUARE * static_cast<int>(colours.size());
	png.height = SQUARE;
	for (int y = 0; y < png.height; ++y)
		for (int x = 0; x < png.width; ++x)
		{
			const RGB& c = colours[static_cast<size_t>(x / SQUARE)];
			png.pixels.insert(png.pixels.end(), {static_cast<uint8_t>(c.r), static_cast<uint8_t>(c.g), static_cast<uint8_t>(c.b), 255});
		}
	const std::vector<uint8_t> bytes = testsupport::encodePng(png);
	ChunkWriter out;
	return out.raw(std::string(bytes.begin(), bytes.end()));
}

#endif
