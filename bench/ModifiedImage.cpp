#include "ModifiedImage.h"

#include "support/CartridgeImage.h"

namespace brindlewick::bench {

ModifiedImage MakeModifiedImage() {
    test::CartridgeLayout layout = test::LayoutOf(test::ReleaseOf("AAUE"));
    layout.TmMovesOffset = 0x12 * 0x4000 + 0x321;
    layout.BaseStatsOffset = 0x7C * 0x4000 + 0x10;
    layout.TmPricesOffset = 0x11 * 0x4000 + 0x600;
    test::CartridgeOptions options;
    test::GameCodeLayout code;
    code.tmHmMove = 0x12 * 0x4000 + 0x3000;
    options.code = code;
    const test::Bytes image = test::CartridgeImageBytes(layout, options);
    return {std::vector<unsigned char>(image.begin(), image.end()), layout.TmMovesOffset};
}

}  // namespace brindlewick::bench
