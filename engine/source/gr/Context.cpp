#include <gr/Context.h>

namespace gr
{

void Context::Statistics::reset()
{
	renderedFrames = 0;
	renderedLines = 0;
	renderedPoints = 0;
	renderedTriangles = 0;
	renderedPrimitives = 0;
	renderedImages = 0;
	renderedImageFlushes = 0;
	allocatedTextureMemory = 0;
	allocatedTextures = 0;
	allocatedImageMemory = 0;
	allocatedImages = 0;
}

Context::RenderScene::RenderScene(Context* context) :
	m_context(context)
{
	m_context->beginScene();
}

Context::RenderScene::~RenderScene()
{
	m_context->endScene();
}

void Context::transformPointToScreen(int& x, int& y) const
{
	const int oldX = x;
	const int oldY = y;
	switch (orientation())
	{
	case ORIENTATION_90:
		x = oldY;
		y = height() - oldX;
		break;
	case ORIENTATION_180:
		x = width() - oldX;
		y = height() - oldY;
		break;
	case ORIENTATION_270:
		x = width() - oldY;
		y = oldX;
		break;
	default:
		break;
	}
}

} // gr
