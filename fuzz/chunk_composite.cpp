// Reads arbitrary bytes as a composite sprite set, with every non-empty sprite name known, and
// draws every composite it made at every anchor, with sprites whose image has a texture and with
// sprites whose image has none.
#include "../tests/support/RecordingContext.h"
#include "chunk_drawing.h"
#include "chunk_input.h"
#include <game/CompoSpriteSet.h>
#include <game/SpriteProvider.h>
#include <game/SpriteSheet.h>
#include <lang/Throwable.h>

namespace
{

class AnySprite : public game::SpriteProvider
{
public:
	explicit AnySprite(game::Sprite* sprite) : m_sprite(sprite) {}
	game::Sprite* getSprite(const lang::String& name) override	{ return name.isEmpty() ? nullptr : m_sprite; }

private:
	game::Sprite* m_sprite;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	const std::string& file = chunkInputFile(data, size);
	drawOnEveryDevice([&file](RecordingContext& context) {
		lang::Ptr<game::SpriteSheet> sheet = new game::SpriteSheet(context.createImage("parts.png"));
		AnySprite provider(sheet->createSprite("part", 0, 0, 7, 5, 3, 2));
		try
		{
			lang::Ptr<game::CompoSpriteSet> set = new game::CompoSpriteSet(file.c_str(), &provider);
			for (const auto& entry : set->getCompoSprites())
			{
				const game::CompoSprite& compo = *entry.value;
				if (compo.getWidth() < 0 || compo.getHeight() < 0)
					std::abort();
				for (const game::Anchor& anchor : DRAW_ANCHORS)
					compo.draw(&context, 0.f, 0.f, anchor);
			}
		}
		catch (const lang::Throwable&)
		{
		}
	});
	return 0;
}
