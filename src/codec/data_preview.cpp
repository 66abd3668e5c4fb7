#include "data_preview.h"

#include "bmp/bmp_writer.h"
#include "data_writer.h"

Outcome stackDataText(const std::string &text, DataPreview &preview) {
    std::vector<DataImage> blocks;
    Outcome found = parseDataBlocks(text, blocks);
    if (found.ok()) {
        found = stackBlocks(blocks, text.size(), preview.image);
    }
    if (!found.ok()) {
        return found;
    }
    for (const DataImage &block : blocks) {
        preview.blockSizes.push_back({block.width, block.height});
    }
    return {};
}

Outcome encodePreview(const DataImage &image, std::vector<std::uint8_t> &rgb, std::string &bmp) {
    const Outcome found = expandColors(image.values, rgb);
    return found.ok() ? encodeBmp(image.width, image.height, rgb, bmp) : found;
}
