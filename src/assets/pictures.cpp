#include "pictures.h"

#include "stored_pictures.h"

namespace vorarid {

Pictures loadPictures() {
    Pictures pictures;
    for (int set = 0; set < setCount; ++set)
        for (int n = 1; n <= tilesPerSet; ++n)
            pictures.holders.sets[set][n - 1] = Picture(stored::image(stored::pixels, stored::tiles[set][n - 1]));
    for (int number = 1; number <= photoCount; ++number)
        pictures.holders.images[number - 1] = Picture(stored::image(stored::pixels, stored::photos[number - 1]));
    pictures.icon = stored::image(stored::iconPixels, stored::icon);
    return pictures;
}

}  // namespace vorarid
