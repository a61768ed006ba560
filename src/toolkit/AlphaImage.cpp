#include "toolkit/AlphaImage.h"

#include "toolkit/ImageDecoding.h"

AlphaImage::AlphaImage(const uint8_t* pngData, size_t size)
    : image(DecodePngImage(pngData, size)) {}
