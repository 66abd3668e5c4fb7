#include "picture.h"

#include "bmp/bmp_decoder.h"
#include "memory.h"

#include <utility>

Outcome makePicture(std::uint32_t columns, std::uint32_t rows, bool marks, Picture &picture) {
    Picture made;
    Outcome found = allocate(made.texels, {columns, rows, 3});
    if (found.ok() && marks) {
        found = allocate(made.transparency, {columns, rows});
    }
    if (found.ok()) {
        made.width = static_cast<std::int32_t>(columns);
        made.height = static_cast<std::int32_t>(rows);
        picture = std::move(made);
    }
    return found;
}

Picture takeImage() {
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.texels = std::move(texels);
    picture.transparency = std::move(transparency);
    clearImage();
    return picture;
}

void putImage(Picture &&picture) {
    width = picture.width;
    height = picture.height;
    texels = std::move(picture.texels);
    transparency = std::move(picture.transparency);
}
