#include "plugins/setup/badge_images.h"

#include "plugins/common/kernel_calls.h"
#include "plugins/setup/count_badge.h"
#include "plugins/setup/setup_folders.h"
#include "plugins/setup/setup_module.h"

namespace setup {

namespace k = protocol::kernel;
using protocol::PluginRef;

namespace {

constexpr UINT kProgramIcon = 100;
constexpr UINT kBadgePicture = 1000;

// Resource 1000 of type "PNG" of Lumvex, decoded by the codec.
base::Bitmap DecodeBadge(k::ImageCodec* codec) {
    HMODULE module = LumvexModule();
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(kBadgePicture), L"PNG");
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    const DWORD size = found ? ::SizeofResource(module, found) : 0;
    if (!data || size == 0) return base::Bitmap();
    return base::Bitmap(protocol::Call(k::image_codec::kDecode, codec, data, static_cast<int>(size)));
}

base::Icon ProgramIcon(HMODULE program, int size) {
    if (!program) return base::Icon();
    return base::Icon(static_cast<HICON>(
        ::LoadImageW(program, MAKEINTRESOURCEW(kProgramIcon), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

}  // namespace

LONG UpdateCountBadge(const std::wstring& managerFolder, long count, const wchar_t* referencePath) {
    const std::wstring programPath = JoinPath(managerFolder, L"Pellorand.exe");
    if (programPath.empty() || !referencePath) return 0;
    // As data only: the program's imports are not resolved, nothing of it runs.
    base::Library program(::LoadLibraryExW(programPath.c_str(), nullptr,
                                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!program) program.Reset(::LoadLibraryExW(programPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    const base::Icon icon32 = ProgramIcon(program.Get(), 32);
    const base::Icon icon48 = ProgramIcon(program.Get(), 48);
    base::Bitmap images[3] = {IconImage(icon32.Get(), 32), IconImage(icon48.Get(), 48), base::Bitmap()};

    if (IsBadgeCount(count)) {
        PluginRef<k::ImageCodec> codec;
        if (SUCCEEDED(plugin::CreateKernelObject(codec))) {
            const base::Bitmap badge = DecodeBadge(codec.Get());
            if (badge) {
                DrawCountBadge(images[0].Get(), count, badge.Get());
                DrawCountBadge(images[1].Get(), count, badge.Get());
                images[2] = MakeCountStrip(count, badge.Get());
                const std::wstring stripPath = JoinPath(FolderOf(referencePath), L"PellorUpdateCount.png");
                if (images[2] && !stripPath.empty())
                    protocol::Call(k::image_codec::kSave, codec.Get(), images[2].Get(), stripPath.c_str());
            }
        }
    }

    PluginRef<k::Notification> notification;
    if (FAILED(plugin::CreateKernelObject(notification))) return 0;
    HBITMAP handed[3] = {images[0].Get(), images[1].Get(), images[2].Get()};
    return protocol::Call(k::notification::kShow, notification.Get(), handed, 3, referencePath) != 0 ? 1 : 0;
}

LONG SaveBadgedImage(long count, HBITMAP image, const wchar_t* path) {
    PluginRef<k::ImageCodec> codec;
    if (!image || !path || FAILED(plugin::CreateKernelObject(codec))) return 0;
    if (IsBadgeCount(count)) {
        const base::Bitmap badge = DecodeBadge(codec.Get());
        if (!badge) return 0;
        DrawCountBadge(image, count, badge.Get());
    }
    return protocol::Call(k::image_codec::kSave, codec.Get(), image, path);
}

LONG ShowNotify(const wchar_t* picture, const wchar_t* pngPath, HWND window, UINT message, WPARAM wParam,
                LPARAM lParam) {
    if (!picture || !pngPath || !window) return 0;
    PluginRef<k::Notification> notification;
    if (FAILED(plugin::CreateKernelObject(notification))) return 0;
    const base::Bitmap image(protocol::Call(k::notification::kImageFromFile, notification.Get(), picture));
    if (!image) return 0;
    long count = 0;
    PluginRef<k::Software> software;
    if (SUCCEEDED(plugin::CreateKernelObject(software)) &&
        protocol::Call(k::software::kBegin, software.Get())) {
        count = protocol::Call(k::software::kUpdateCount, software.Get());
        protocol::Call(k::software::kEnd, software.Get());
    }
    const LONG result = count != 0 ? SaveBadgedImage(count, image.Get(), pngPath) : 0;
    ::PostMessageW(window, message, wParam, lParam);
    return result;
}

}  // namespace setup
