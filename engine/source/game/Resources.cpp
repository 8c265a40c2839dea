#include <game/Resources.h>
#include <game/BitmapFont.h>
#include <game/CompoSprite.h>
#include <game/Sprite.h>
#include <gr/Context.h>
#include <lang/Debug.h>

namespace game
{

namespace
{

/** One size or pivot value of whatever a registry row stands for; 0 for no row. */
int metricOf(const Resources::SpriteEntry* entry, int (Sprite::*spriteMetric)() const, int (CompoSprite::*compoMetric)() const)
{
	if (!entry)
		return 0;
	switch (entry->type)
	{
	case Resources::SpriteEntry::SPRITE:		return (static_cast<const Sprite*>(entry->object)->*spriteMetric)();
	case Resources::SpriteEntry::COMPOSPRITE:	return (static_cast<const CompoSprite*>(entry->object)->*compoMetric)();
	default:									return 0;
	}
}

} // namespace

Resources::Resources(gr::Context* context) :
	m_context(context),
	m_clipRect(-10000, -10000, 10000, 10000),
	m_locale("en_EN")
{
}

Resources::~Resources() = default;

lang::String Resources::keyOf(const lang::String& name)
{
	return lang::String(io::PathName(name).basename());
}

lang::String Resources::fileOf(const lang::String& name) const
{
	return io::PathName(m_path.toString(), io::PathName(name).toString()).toString();
}

void Resources::setPath(const lang::String& dir)
{
	m_path = io::PathName(dir);
}

void Resources::setClipRect(const gr::Rect& rect)
{
	m_clipRect = rect;
	m_context->getRenderState2D().clipRect = rect;
}

SpriteSheet* Resources::createSpriteSheet(const lang::String& name, bool reload)
{
	const lang::String key = keyOf(name);
	if (!reload)
		if (const lang::Ptr<SpriteSheet>* held = m_spriteSheets.find(key))
			return *held;
	lang::Ptr<SpriteSheet> sheet = new SpriteSheet(m_context, fileOf(name));
	if (const lang::Ptr<SpriteSheet>* old = m_spriteSheets.find(key))
		removeSpritesFromRegistry(*old, key);
	addSpritesToRegistry(sheet, key);
	m_spriteSheets[key] = sheet;
	return sheet;
}

CompoSpriteSet* Resources::createCompoSpriteSet(const lang::String& name, bool reload)
{
	const lang::String key = keyOf(name);
	if (!reload)
		if (const lang::Ptr<CompoSpriteSet>* held = m_compoSpriteSets.find(key))
			return *held;
	lang::Ptr<CompoSpriteSet> set = new CompoSpriteSet(fileOf(name), this);
	lang::Array<lang::Ptr<SpriteSheet>> sheets = sheetsUnder(set);
	if (const lang::Ptr<CompoSpriteSet>* old = m_compoSpriteSets.find(key))
		removeSpritesFromRegistry(*old, key);
	addSpritesToRegistry(set, key);
	m_compoSpriteSets[key] = set;
	// Only now that the old set is released may the sheets it pointed into go.
	m_compoSpriteSheets[key] = std::move(sheets);
	return set;
}

IFont* Resources::createBitmapFont(const lang::String& name, bool reload)
{
	const lang::String key = keyOf(name);
	if (!reload)
		if (const lang::Ptr<IFont>* held = m_fonts.find(key))
			return *held;
	lang::Ptr<IFont> font = new BitmapFont(m_context, fileOf(name));
	lang::Ptr<IFont>& slot = m_fonts[key];
	if (m_font && m_font == slot)
		m_font = font;
	slot = font;
	return font;
}

IFont* Resources::createSystemFont(const lang::String&, bool)
{
	return nullptr;
}

TextGroupSet* Resources::createTextGroupSet(const lang::String& name, bool reload)
{
	const lang::String key = keyOf(name);
	if (!reload)
		if (const lang::Ptr<TextGroupSet>* held = m_textGroupSets.find(key))
			return *held;
	lang::Ptr<TextGroupSet> set = new TextGroupSet(fileOf(name));
	m_textGroupSets[key] = set;
	set->loadLocaleCodes();
	return set;
}

void Resources::releaseSpriteSheet(const lang::String& name)
{
	const lang::String key = keyOf(name);
	const lang::Ptr<SpriteSheet>* sheet = m_spriteSheets.find(key);
	if (!sheet)
		return;
	lang::Debug::printf("Releasing spritesheet %s\n", key.c_str());
	removeSpritesFromRegistry(*sheet, key);
	m_spriteSheets.remove(key);
}

void Resources::releaseCompoSpriteSet(const lang::String& name)
{
	const lang::String key = keyOf(name);
	const lang::Ptr<CompoSpriteSet>* set = m_compoSpriteSets.find(key);
	if (!set)
		return;
	lang::Debug::printf("Releasing spritesheet %s\n", key.c_str());
	removeSpritesFromRegistry(*set, key);
	m_compoSpriteSets.remove(key);
	m_compoSpriteSheets.remove(key);
}

void Resources::releaseFont(const lang::String& name)
{
	const lang::String key = keyOf(name);
	const lang::Ptr<IFont>* font = m_fonts.find(key);
	if (!font)
		return;
	lang::Debug::printf("Releasing font %s\n", key.c_str());
	if (m_font == *font)
	{
		m_font = nullptr;
		m_fontName = lang::String();
	}
	m_fonts.remove(key);
}

void Resources::releaseTextGroupSet(const lang::String& name)
{
	const lang::String key = keyOf(name);
	if (!m_textGroupSets.find(key))
		return;
	lang::Debug::printf("Releasing textgroupset %s\n", key.c_str());
	m_textGroupSets.remove(key);
}

const Resources::SpriteEntry* Resources::findEntry(const lang::String& name) const
{
	return m_spriteRegistry.find(name);
}

Sprite* Resources::getSprite(const lang::String& name)
{
	const SpriteEntry* entry = findEntry(name);
	return entry && entry->type == SpriteEntry::SPRITE ? static_cast<Sprite*>(entry->object) : nullptr;
}

CompoSprite* Resources::getCompoSprite(const lang::String& name) const
{
	const SpriteEntry* entry = findEntry(name);
	return entry && entry->type == SpriteEntry::COMPOSPRITE ? static_cast<CompoSprite*>(entry->object) : nullptr;
}

SpriteSheet* Resources::getSpriteSheet(const lang::String& key) const
{
	const lang::Ptr<SpriteSheet>* sheet = m_spriteSheets.find(key);
	return sheet ? sheet->ptr() : nullptr;
}

SpriteSheet* Resources::findSpriteSheet(const lang::String& spriteName) const
{
	const SpriteEntry* entry = findEntry(spriteName);
	return entry && entry->type == SpriteEntry::SPRITE ? getSpriteSheet(entry->owner) : nullptr;
}

CompoSpriteSet* Resources::findCompoSpriteSet(const lang::String& name) const
{
	const SpriteEntry* entry = findEntry(name);
	if (!entry || entry->type != SpriteEntry::COMPOSPRITE)
		return nullptr;
	const lang::Ptr<CompoSpriteSet>* set = m_compoSpriteSets.find(entry->owner);
	return set ? set->ptr() : nullptr;
}

IFont* Resources::getBitmapFont(const lang::String& key) const
{
	const lang::Ptr<IFont>* font = m_fonts.find(key);
	return font ? font->ptr() : nullptr;
}

TextGroupSet* Resources::getTextGroupSet(const lang::String& key) const
{
	const lang::Ptr<TextGroupSet>* set = m_textGroupSets.find(key);
	return set ? set->ptr() : nullptr;
}

int Resources::getSpriteWidth(const lang::String& name) const
{
	return metricOf(findEntry(name), &Sprite::getWidth, &CompoSprite::getWidth);
}

int Resources::getSpriteHeight(const lang::String& name) const
{
	return metricOf(findEntry(name), &Sprite::getHeight, &CompoSprite::getHeight);
}

int Resources::getSpritePivotX(const lang::String& name) const
{
	return metricOf(findEntry(name), &Sprite::getPivotX, &CompoSprite::getPivotX);
}

int Resources::getSpritePivotY(const lang::String& name) const
{
	return metricOf(findEntry(name), &Sprite::getPivotY, &CompoSprite::getPivotY);
}

void Resources::drawSprite(const lang::String& name, float x, float y, Anchor anchor)
{
	const SpriteEntry* entry = findEntry(name);
	if (!entry)
		return;
	if (entry->type == SpriteEntry::SPRITE)
		static_cast<Sprite*>(entry->object)->draw(m_context, x, y, anchor);
	else if (entry->type == SpriteEntry::COMPOSPRITE)
		static_cast<CompoSprite*>(entry->object)->draw(m_context, x, y, anchor);
}

void Resources::drawSprite(const lang::String& name, float x, float y, float width, float height, Anchor anchor)
{
	const SpriteEntry* entry = findEntry(name);
	if (!entry)
		return;
	if (entry->type == SpriteEntry::SPRITE)
		static_cast<Sprite*>(entry->object)->draw(m_context, x, y, width, height, anchor);
	else if (entry->type == SpriteEntry::COMPOSPRITE)
		static_cast<CompoSprite*>(entry->object)->draw(m_context, x, y, anchor);
}

void Resources::addSpritesToRegistry(const SpriteSheet* sheet, const lang::String& key)
{
	for (const auto& pair : sheet->getSprites())
		m_spriteRegistry[pair.key] = SpriteEntry(SpriteEntry::SPRITE, key, pair.value);
}

void Resources::addSpritesToRegistry(const CompoSpriteSet* set, const lang::String& key)
{
	for (const auto& pair : set->getCompoSprites())
		m_spriteRegistry[pair.key] = SpriteEntry(SpriteEntry::COMPOSPRITE, key, pair.value);
}

void Resources::removeSpritesFromRegistry(const SpriteSheet* sheet, const lang::String& key)
{
	for (const auto& pair : sheet->getSprites())
		removeRegistryRow(pair.key, SpriteEntry::SPRITE, key);
}

void Resources::removeSpritesFromRegistry(const CompoSpriteSet* set, const lang::String& key)
{
	for (const auto& pair : set->getCompoSprites())
		removeRegistryRow(pair.key, SpriteEntry::COMPOSPRITE, key);
}

void Resources::removeRegistryRow(const lang::String& name, int type, const lang::String& key)
{
	const SpriteEntry* entry = findEntry(name);
	if (entry && entry->type == type && entry->owner == key)
		m_spriteRegistry.remove(name);
}

lang::Array<lang::Ptr<SpriteSheet>> Resources::sheetsUnder(const CompoSpriteSet* set)
{
	lang::Array<lang::Ptr<SpriteSheet>> sheets;
	for (const auto& pair : set->getCompoSprites())
	{
		const CompoSprite* compo = pair.value;
		for (int i = 0; i < compo->getSpriteCount(); ++i)
		{
			SpriteSheet* sheet = compo->getSpriteEntry(i).sprite->getSheet();
			bool listed = false;
			for (int k = 0; k < sheets.size() && !listed; ++k)
				listed = sheets[k] == sheet;
			if (!listed)
				sheets.add(sheet);
		}
	}
	return sheets;
}

} // game
