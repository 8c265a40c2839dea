#include <world/MaskedImage.h>

#include <game/Sprite.h>
#include <game/SpriteSheet.h>
#include <gr/Context.h>
#include <gr/Image.h>
#include <gr/Shader.h>
#include <gr/Texture.h>
#include <gr/VertexFormat.h>
#include <io/PathName.h>
#include <algorithm>

namespace {

// Depth of every masked vertex in clip space.
const float MASKED_DEPTH = 0.001f;

// Device platform codes and the shader each family draws masked sprites with.
const char* maskedShaderName(int platform)
{
	switch (platform)
	{
	case 1:
	case 6:
		return "sprite-straightalpha";
	case 5:
	case 7:
		return "2d-sprite-alpha-masked";
	default:
		return nullptr;
	}
}

// Two triangles per sprite: top-left, top-right, bottom-left, bottom-left, top-right, bottom-right.
const int CORNER_ORDER[6] = {0, 1, 2, 2, 1, 3};

// Pixels to texture coordinates of an image: its texture's size when it has one.
math::float4 texelScale(const gr::Image* image)
{
	const gr::Texture* texture = image->getTexture();
	const float width = static_cast<float>(texture ? texture->width() : image->width());
	const float height = static_cast<float>(texture ? texture->height() : image->height());
	return math::float4(width > 0.0f ? 1.0f / width : 0.0f, height > 0.0f ? 1.0f / height : 0.0f, 0.0f, 0.0f);
}

} // namespace

MaskedImage::MaskedImage(gr::Context* context) :
	m_context(context),
	m_textureImage(nullptr),
	m_maskImage(nullptr)
{
	if (const char* name = maskedShaderName(context->platform()))
		m_shader = context->createShader(io::PathName(context->shaderPath(), name).toString(), 0);
}

MaskedImage::~MaskedImage()
{
}

void MaskedImage::add(float x, float y, gr::Image* texture, game::Sprite* sprite)
{
	gr::Image* mask = sprite && sprite->getSheet() ? sprite->getSheet()->getImage() : nullptr;
	if (!texture || !mask)
		return;

	const gr::RenderState2D& state = m_context->getRenderState2D();
	const float* m = state.rotation;
	const float w = static_cast<float>(sprite->getWidth());
	const float h = static_cast<float>(sprite->getHeight());
	const float left = x - static_cast<float>(sprite->getPivotX());
	const float top = y - static_cast<float>(sprite->getPivotY());
	const float screenWidth = static_cast<float>(m_context->width());
	const float screenHeight = static_cast<float>(m_context->height());

	const float cornerU[4] = {0.0f, w, 0.0f, w};
	const float cornerV[4] = {0.0f, 0.0f, h, h};
	math::float4 position[4];
	math::float4 world[4];
	for (int i = 0; i < 4; ++i)
	{
		const float du = cornerU[i] - state.pivot.x;
		const float dv = cornerV[i] - state.pivot.y;
		const float rx = du * m[0] + dv * m[2];
		const float ry = du * m[1] + dv * m[3];
		const float sx = rx + state.pivot.x + state.translation.x + left;
		const float sy = ry + state.pivot.y + state.translation.y + top;
		position[i] = math::float4(sx * 2.0f * state.scale.x / screenWidth - 1.0f, sy * -2.0f * state.scale.y / screenHeight + 1.0f, MASKED_DEPTH, 1.0f);
		world[i] = math::float4(x + rx, y + ry, 0.0f, 0.0f);
	}

	float minX = position[0].x, maxX = minX, minY = position[0].y, maxY = minY;
	for (const math::float4& p : position)
	{
		minX = std::min(minX, p.x);
		maxX = std::max(maxX, p.x);
		minY = std::min(minY, p.y);
		maxY = std::max(maxY, p.y);
	}
	if (maxX < -1.0f || maxY < -1.0f || minX >= 1.0f || minY >= 1.0f)
		return;

	if (!m_positions.isEmpty() && (texture != m_textureImage || mask != m_maskImage))
		render();
	m_textureImage = texture;
	m_maskImage = mask;

	const math::float4 texel = texelScale(texture);
	const math::float4 maskTexel = texelScale(mask);
	const float sheetX = static_cast<float>(sprite->getPositionInSheetX());
	const float sheetY = static_cast<float>(sprite->getPositionInSheetY());
	for (int corner : CORNER_ORDER)
	{
		m_positions.add(position[corner]);
		m_textureCoordinates.add(math::float4(world[corner].x * texel.x, world[corner].y * texel.y, 0.0f, 0.0f));
		m_maskCoordinates.add(math::float4((sheetX + cornerU[corner]) * maskTexel.x, (sheetY + cornerV[corner]) * maskTexel.y, 0.0f, 0.0f));
	}
}

void MaskedImage::render()
{
	if (m_positions.isEmpty())
		return;
	if (!m_shader)
	{
		clear();
		return;
	}

	m_shader->setTexture("BASEMAP", m_textureImage->getTexture());
	m_shader->setTexture("BASEMAP1", m_maskImage->getTexture());
	m_shader->setFloat("ALPHA_FACTOR", m_context->getRenderState2D().alphaFactor);
	m_shader->setMatrix("PROJTM", m_context->projectionTransform());
	const int passes = m_shader->begin();

	gr::VertexFormat format;
	format.addPosition(gr::VertexFormat::DF_V3_32);
	format.addTextureCoordinate(gr::VertexFormat::DF_V2_32);
	format.addTextureCoordinate(gr::VertexFormat::DF_V2_32);
	const int vertices = m_positions.size();
	gr::Primitive* primitive = m_context->getDynamicPrimitive(gr::Primitive::PRIM_TRI, format, vertices, 0);
	{
		gr::ContextObject::Lock lock(primitive, gr::ContextObject::LOCK_WRITE);
		primitive->setVertexPositions(0, m_positions.data(), vertices);
		primitive->setVertexTextureCoordinates(0, 0, m_textureCoordinates.data(), vertices);
		primitive->setVertexTextureCoordinates(1, 0, m_maskCoordinates.data(), vertices);
		primitive->setVertexRangeBegin(0);
		primitive->setVertexRangeEnd(vertices);
	}

	// Positions are already in clip space.
	m_context->setOrthographicProjection();
	primitive->setShader(m_shader);
	const math::float4x4 identity(1.0f);
	m_shader->setMatrix(gr::Shader::PARAM_VIEWTM, identity);
	m_shader->setMatrix(gr::Shader::PARAM_VIEWTMINV, identity);
	for (int pass = 0; pass < passes; ++pass)
	{
		m_shader->beginPass(pass);
		primitive->render();
		m_shader->endPass();
	}
	m_shader->end();
	clear();
}

void MaskedImage::clear()
{
	m_positions.clear();
	m_textureCoordinates.clear();
	m_maskCoordinates.clear();
	m_textureImage = nullptr;
	m_maskImage = nullptr;
}
