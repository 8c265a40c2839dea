#ifndef WORLD_MASKEDIMAGE_H
#define WORLD_MASKEDIMAGE_H

#include <lang/Array.h>
#include <lang/Object.h>
#include <lang/Ptr.h>
#include <math/float4.h>

namespace game { class Sprite; }
namespace gr { class Context; class Image; class Shader; }

/**
 * A batch of sprites drawn as a material picture cut to each sprite's shape: the sprite sheet's
 * alpha masks the texture image, which is addressed by position so that neighbours of one
 * material show one continuous pattern. Owned by the game world through lang::Ptr; borrows the
 * rendering device and the images, which must outlive the batch until it is rendered.
 */
class MaskedImage : public lang::Object
{
public:
	explicit MaskedImage(gr::Context* context);
	~MaskedImage() override;

	/** False on devices without the two-texture shader; masked objects are then drawn plainly. */
	bool hasShader() const									{ return m_shader != nullptr; }

	/**
	 * Queues the sprite with its pivot at (x, y), screen units under the device's 2D render state.
	 * A sprite wholly off screen is dropped. A batch pending under another texture or sheet is
	 * rendered first, so a batch never mixes images.
	 */
	void add(float x, float y, gr::Image* texture, game::Sprite* sprite);
	/** Draws what was queued in one primitive and empties the batch. */
	void render();

	/** Six vertices per sprite: clip-space positions and the coordinates of both images. */
	const lang::Array<math::float4>& positions() const		{ return m_positions; }
	const lang::Array<math::float4>& textureCoordinates() const	{ return m_textureCoordinates; }
	const lang::Array<math::float4>& maskCoordinates() const	{ return m_maskCoordinates; }
	gr::Image* textureImage() const							{ return m_textureImage; }
	gr::Image* maskImage() const							{ return m_maskImage; }

private:
	gr::Context* m_context;
	lang::Ptr<gr::Shader> m_shader;
	gr::Image* m_textureImage;
	gr::Image* m_maskImage;
	lang::Array<math::float4> m_positions;
	lang::Array<math::float4> m_textureCoordinates;
	lang::Array<math::float4> m_maskCoordinates;

	void clear();
};

#endif
