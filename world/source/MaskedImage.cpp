#include <world/MaskedImage.h>

MaskedImage::MaskedImage(gr::Context* context) :
	m_context(context)
{
}

MaskedImage::~MaskedImage()
{
}
