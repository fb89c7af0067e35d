// SPDX-License-Identifier: MIT
// Feeds arbitrary bytes to the BMP loader. Whatever they are, it must return an image whose
// pixel block holds width x height x 3 bytes and show no message, or return null after exactly
// one message, without reading or writing out of bounds and without leaking.
#include "platform/MessageBox.h"
#include "scene/BmpLoader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace
{
int messages = 0;

void CheckImage(const RGBImage& image)
{
    if (image.width <= 0 || image.height <= 0 || image.data == nullptr)
        std::abort();
    // Touching both ends lets the address sanitizer check the block's size.
    const std::size_t bytes = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 3;
    volatile unsigned char ends = image.data[0] ^ image.data[bytes - 1];
    (void)ends;
}
}

// The allocator refuses large blocks long before the loader's own limit, so the fuzzer spends
// its time decoding rather than mapping memory, and walks the out-of-memory path on the way.
extern "C" const char* __asan_default_options()
{
    return "max_allocation_size_mb=32:allocator_may_return_null=1";
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    SetMessageBoxSink([](const MessageBoxRecord&) { ++messages; });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    messages = 0;
    RGBImage* image = DecodeBMPImage(data, size);
    if (messages != (image == nullptr ? 1 : 0))
        std::abort();
    if (image != nullptr)
        CheckImage(*image);
    FreeRGBImage(image);
    return 0;
}
