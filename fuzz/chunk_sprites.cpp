// Reads arbitrary bytes as a sprite sheet file and draws every sprite it made at every anchor, on a
// device whose images have a texture and on one whose images have none.
#include "../tests/support/RecordingContext.h"
#include "chunk_drawing.h"
#include "chunk_input.h"
#include <game/SpriteSheet.h>
#include <lang/Throwable.h>
#include <iterator>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	const std::string& file = chunkInputFile(data, size);
	drawOnEveryDevice([&file](RecordingContext& context) {
		try
		{
			lang::Ptr<game::SpriteSheet> sheet = new game::SpriteSheet(&context, file.c_str());
			for (const auto& entry : sheet->getSprites())
			{
				for (const game::Anchor& anchor : DRAW_ANCHORS)
					entry.value->draw(&context, 0.f, 0.f, anchor);
			}
			const size_t draws = static_cast<size_t>(sheet->getSprites().size()) * std::size(DRAW_ANCHORS);
			if (sheet->getImage() && context.imageDraws.size() != draws)
				std::abort();
			for (const ImageDraw& draw : context.imageDraws)
			{
				if (draw.withUV != (context.textureWidth > 0))
					std::abort();
			}
		}
		catch (const lang::Throwable&)
		{
		}
	});
	return 0;
}
