// Reads arbitrary bytes as a sprite sheet file and draws every sprite it made.
#include "../tests/support/RecordingContext.h"
#include "chunk_input.h"
#include <game/SpriteSheet.h>
#include <lang/Throwable.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	RecordingContext context;
	try
	{
		lang::Ptr<game::SpriteSheet> sheet = new game::SpriteSheet(&context, chunkInputFile(data, size).c_str());
		for (const auto& entry : sheet->getSprites())
			entry.value->draw(&context, 0.f, 0.f, game::Anchor(game::Anchor::VCENTER, game::Anchor::HCENTER));
		if (sheet->getImage() && context.imageDraws.size() != static_cast<size_t>(sheet->getSprites().size()))
			std::abort();
	}
	catch (const lang::Throwable&)
	{
	}
	return 0;
}
