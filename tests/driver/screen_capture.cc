#include "screen_capture.h"

namespace testdrv {

namespace {

bool WriteAll(HANDLE file, const void* data, DWORD size) {
    DWORD written = 0;
    return WriteFile(file, data, size, &written, nullptr) && written == size;
}

}  // namespace

bool SaveScreenArea(const RECT& area, const std::wstring& path, std::wstring* error) {
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT clipped;
    if (!IntersectRect(&clipped, &area, &screen)) {
        *error = L"the area is off the screen";
        return false;
    }
    const int width = clipped.right - clipped.left;
    const int height = clipped.bottom - clipped.top;
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD pixelBytes = stride * static_cast<DWORD>(height);

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as .bmp files store rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = pixelBytes;

    HDC screenDc = GetDC(nullptr);
    HDC memoryDc = CreateCompatibleDC(screenDc);
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(screenDc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    bool copied = false;
    if (bitmap != nullptr && memoryDc != nullptr) {
        HGDIOBJ previous = SelectObject(memoryDc, bitmap);
        copied = BitBlt(memoryDc, 0, 0, width, height, screenDc, clipped.left, clipped.top,
                        SRCCOPY | CAPTUREBLT) != FALSE;
        GdiFlush();
        SelectObject(memoryDc, previous);
    }

    bool saved = false;
    if (copied) {
        BITMAPFILEHEADER header = {};
        header.bfType = 0x4D42;  // "BM"
        header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
        header.bfSize = header.bfOffBits + pixelBytes;
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            saved = WriteAll(file, &header, sizeof(header)) &&
                    WriteAll(file, &info.bmiHeader, sizeof(BITMAPINFOHEADER)) &&
                    WriteAll(file, pixels, pixelBytes);
            CloseHandle(file);
        }
        if (!saved) *error = L"cannot write " + path;
    } else {
        *error = L"cannot copy the screen";
    }
    if (bitmap != nullptr) DeleteObject(bitmap);
    if (memoryDc != nullptr) DeleteDC(memoryDc);
    ReleaseDC(nullptr, screenDc);
    return saved;
}

}  // namespace testdrv
