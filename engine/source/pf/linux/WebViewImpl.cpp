#include <pf/WebViewImpl.h>

namespace pf
{

WebViewImpl::WebViewImpl(float x, float y, float width, float height) :
	m_controller(x, y, width, height)
{
}

WebViewImpl::~WebViewImpl()
{
	if (gOrientationObserver == this)
		gOrientationObserver = nullptr;
}

void WebViewImpl::onOrientationChanged(OrientationType orientation)
{
	m_controller.orientationChanged(orientation);
}

} // pf
