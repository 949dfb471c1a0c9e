#include "folder_icons.h"

#include "platform/gdi/gdi.h"

namespace {

void Box(HDC hdc, int x, int y, int l, int t, int r, int b, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    const RECT rect{x + l, y + t, x + r, y + b};
    FillRect(hdc, &rect, brush);
    DeleteObject(brush);
}

void Folder(HDC hdc, int x, int y) {
    Box(hdc, x, y, 1, 3, 7, 5, RGB(214, 160, 40));
    Box(hdc, x, y, 1, 4, 15, 14, RGB(214, 160, 40));
    Box(hdc, x, y, 2, 6, 14, 13, RGB(250, 206, 92));
}

void Home(HDC hdc, int x, int y) {
    for (int row = 0; row < 7; ++row)  // the roof
        Box(hdc, x, y, 7 - row, 1 + row, 9 + row, 2 + row, RGB(180, 60, 50));
    Box(hdc, x, y, 3, 8, 13, 15, RGB(235, 225, 205));
    Box(hdc, x, y, 7, 10, 10, 15, RGB(120, 80, 40));
}

void Pictures(HDC hdc, int x, int y) {
    Box(hdc, x, y, 1, 2, 15, 14, RGB(90, 90, 110));
    Box(hdc, x, y, 2, 3, 14, 13, RGB(150, 200, 245));
    Box(hdc, x, y, 10, 4, 13, 7, RGB(250, 200, 40));
    for (int row = 0; row < 5; ++row)  // a hill
        Box(hdc, x, y, 4 - row / 2, 8 + row, 9 + row, 9 + row, RGB(60, 160, 80));
}

void Desktop(HDC hdc, int x, int y) {
    Box(hdc, x, y, 1, 2, 15, 12, RGB(60, 60, 70));
    Box(hdc, x, y, 2, 3, 14, 11, RGB(70, 130, 200));
    Box(hdc, x, y, 7, 12, 9, 14, RGB(60, 60, 70));
    Box(hdc, x, y, 4, 14, 12, 15, RGB(60, 60, 70));
}

void Drive(HDC hdc, int x, int y, COLORREF body) {
    Box(hdc, x, y, 1, 5, 15, 12, RGB(90, 90, 90));
    Box(hdc, x, y, 2, 6, 14, 11, body);
    Box(hdc, x, y, 11, 8, 13, 10, RGB(40, 200, 60));
}

void Phone(HDC hdc, int x, int y) {
    Box(hdc, x, y, 4, 1, 12, 15, RGB(40, 40, 48));
    Box(hdc, x, y, 5, 3, 11, 12, RGB(120, 190, 240));
    Box(hdc, x, y, 7, 13, 9, 14, RGB(200, 200, 200));
}

void Camera(HDC hdc, int x, int y) {
    Box(hdc, x, y, 5, 3, 10, 5, RGB(50, 50, 55));
    Box(hdc, x, y, 1, 5, 15, 13, RGB(50, 50, 55));
    Box(hdc, x, y, 5, 6, 11, 12, RGB(160, 160, 170));
    Box(hdc, x, y, 7, 8, 9, 10, RGB(30, 30, 90));
}

}  // namespace

void DrawPlaceIcon(HDC hdc, PlaceKind kind, int x, int y) {
    switch (kind) {
        case PlaceKind::Computer:
            return Desktop(hdc, x, y), Box(hdc, x, y, 2, 3, 14, 11, RGB(40, 60, 90));
        case PlaceKind::Home:
            return Home(hdc, x, y);
        case PlaceKind::Pictures:
            return Pictures(hdc, x, y);
        case PlaceKind::Desktop:
            return Desktop(hdc, x, y);
        case PlaceKind::FileSystem:
            return Drive(hdc, x, y, RGB(200, 200, 205));
        case PlaceKind::Volume:
            return Drive(hdc, x, y, RGB(240, 150, 60));
        case PlaceKind::Phone:
            return Phone(hdc, x, y);
        case PlaceKind::Camera:
            return Camera(hdc, x, y);
        case PlaceKind::Folder:
            return Folder(hdc, x, y);
    }
}
