#include <game/Anchor.h>
#include <lang/Exception.h>
#include <cstring>

namespace game
{

namespace
{

struct Keyword
{
	const char* word;
	bool vertical;
	int value;
};

const Keyword KEYWORDS[] = {
	{"TOP", true, Anchor::TOP},
	{"VCENTER", true, Anchor::VCENTER},
	{"BOTTOM", true, Anchor::BOTTOM},
	{"BASELINE", true, Anchor::BASELINE},
	{"VPIVOT", true, Anchor::VPIVOT},
	{"LEFT", false, Anchor::LEFT},
	{"HCENTER", false, Anchor::HCENTER},
	{"RIGHT", false, Anchor::RIGHT},
	{"HPIVOT", false, Anchor::HPIVOT},
};

} // namespace

void Anchor::fromString(const char* word)
{
	if (!word || !*word)
		return;
	for (const Keyword& keyword : KEYWORDS)
	{
		if (std::strcmp(word, keyword.word) == 0)
		{
			(keyword.vertical ? vertical : horizontal) = keyword.value;
			return;
		}
	}
	lang::throwError(lang::Exception(lang::Format("Invalid anchor: {0}", word)));
}

} // game
