// Prints what encoding an icon costs and what a repeated save of the same
// icon costs once its bytes are kept.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <vector>

#include "desktop/handles.h"
#include "inspect/icon_encoder.h"
#include "inspect/window_icon.h"

namespace {

HICON MakeIcon(int size)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    desktop::BitmapHandle colour(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    auto* pixels = static_cast<std::uint32_t*>(bits);
    for (int i = 0; i < size * size; ++i) pixels[i] = 0xFF000000u | static_cast<std::uint32_t>(i * 2654435761u >> 8);
    desktop::BitmapHandle mask(::CreateBitmap(size, size, 1, 1, nullptr));
    ICONINFO icon{TRUE, 0, 0, mask.get(), colour.get()};
    return ::CreateIconIndirect(&icon);
}

double MicrosecondsPer(int runs, auto&& action)
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < runs; ++i) action();
    const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
    return spent.count() / runs;
}

}  // namespace

int main()
{
    std::printf("icon size  file bytes  EncodeIconFile us  kept-bytes read us\n");
    for (int size : {16, 32, 48, 256}) {
        desktop::IconHandle handle(MakeIcon(size));
        const std::size_t bytes = inspect::EncodeIconFile(handle.get()).size();
        const double encode = MicrosecondsPer(200, [&] { (void)inspect::EncodeIconFile(handle.get()); });

        inspect::TIcon icon;
        icon.SetHandle(handle.release());
        (void)icon.FileBytes();  // the first save encodes
        volatile std::size_t sink = 0;
        const double kept = MicrosecondsPer(200000, [&] { sink = sink + icon.FileBytes().size(); });
        std::printf("%9d  %10zu  %17.1f  %18.3f\n", size, bytes, encode, kept);
    }
    return 0;
}
