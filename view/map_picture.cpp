// Loading the map picture for the world's hook; a file that gives no image gives no picture at all.
#include "view/map_picture.h"

std::shared_ptr<const MapPicture> loadMapPicture(const std::string& path)
{
    Image image = Image::load(path);
    if (image.get() == nullptr)
        return nullptr;
    return std::make_shared<const MapPicture>(MapPicture{std::move(image)});
}
