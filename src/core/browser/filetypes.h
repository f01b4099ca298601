#pragma once

#include <array>
#include <string_view>

namespace vistrel::core {

// Every picture type the file list shows; the file list starts with it. The original twelve
// come first, then the formats of today's cameras, phones and the web.
inline constexpr std::string_view AllPicturesPattern =
    "*.bmp;*.dib;*.emf;*.gif;*.jfif;*.jpg;*.jif;*.jpeg;*.ige;*.wmf;*.ico;*.cur;"
    "*.png;*.webp;*.tif;*.tiff;*.svg;*.svgz;*.heic;*.heif;*.avif";

// One entry of View > File Type. The separator has the caption "-" and no pattern.
struct FileTypeItem {
    std::string_view name; // objectName of the menu item
    std::string_view caption;
    std::string_view pattern;

    constexpr bool isSeparator() const { return pattern.empty(); }
};

// The File Type submenu in menu order. "*.*" restores the picture types; it never means
// "all files".
inline constexpr std::array<FileTypeItem, 16> FileTypeItems{{
    {"mnuAll", "*.*", AllPicturesPattern},
    {"mnuline0", "-", ""},
    {"mnuBmp", "*.BMP", "*.bmp"},
    {"mnuGif", "*.GIF", "*.gif"},
    {"mnuJpg", "*.JPG", "*.jfif;*.jpg;*.jif;*.jpeg;*.ige"},
    {"mnuWmf", "*.WMF", "*.wmf"},
    {"mnuEmf", "*.EMF", "*.emf"},
    {"mnuDib", "*.DIB", "*.dib"},
    {"mnuIco", "*.ICO", "*.ico"},
    {"mnuCur", "*.CUR", "*.cur"},
    {"mnuPng", "*.PNG", "*.png"},
    {"mnuWebp", "*.WEBP", "*.webp"},
    {"mnuTiff", "*.TIFF", "*.tif;*.tiff"},
    {"mnuSvg", "*.SVG", "*.svg;*.svgz"},
    {"mnuHeic", "*.HEIC", "*.heic;*.heif"},
    {"mnuAvif", "*.AVIF", "*.avif"},
}};

// The item with this objectName, or nullptr.
constexpr const FileTypeItem* FindFileType(std::string_view name) {
    for (const auto& item : FileTypeItems) {
        if (item.name == name) return &item;
    }
    return nullptr;
}

} // namespace vistrel::core
