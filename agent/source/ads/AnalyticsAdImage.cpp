#include <agent/ads/AnalyticsAdImage.h>

using platform::ArchiveValue;

ArchiveValue AnalyticsAdImage::archive() const
{
	ArchiveValue value = ArchiveValue::record("AnalyticsAdImage");
	value.set("imageId", ArchiveValue::integer(imageId));
	value.set("width", ArchiveValue::integer(width));
	value.set("height", ArchiveValue::integer(height));
	value.set("mimeFormat", ArchiveValue::string(mimeFormat));
	value.set("imageDataSize", ArchiveValue::integer(imageDataSize));
	value.set("fileName", ArchiveValue::string(fileName));
	value.set("imageData", ArchiveValue::bytes(image));
	return value;
}

AnalyticsAdImage AnalyticsAdImage::unarchive(const ArchiveValue& value)
{
	AnalyticsAdImage image;
	image.imageId = value.get("imageId").asInt();
	image.width = value.get("width").asInt();
	image.height = value.get("height").asInt();
	image.mimeFormat = value.get("mimeFormat").asString();
	image.imageDataSize = value.get("imageDataSize").asInt();
	image.fileName = value.get("fileName").asString();
	image.image = value.get("imageData").asBytes();
	return image;
}
