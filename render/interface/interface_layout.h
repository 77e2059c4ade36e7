#pragma once
// render/interface: the interface on the CPU: layout, tiles, push constants, labels, text, portrait. Pure.
// The interface's layout, done once a frame on the CPU: the list of elements (fills, panels,
// pictures, item icons and texts) that the interface shader draws, in drawing order. The software
// Vulkan driver runs every instruction of a fragment shader at every pixel, so the shader only draws
// elements; which screen shows what is decided here. The arithmetic follows the shader's float
// operations step by step, so that the pictures stay the same to the pixel.
#include <cstdint>
#include <span>
#include <vector>

#include "render/interface/interface_block.h"

namespace render {

// Map: a grid of colour cells (a: columns, rows; b: -, first colour word of the meta buffer, cell
// count), one 0x00BBGGRR sRGB word a cell, row by row.
enum class ElementKind : uint32_t { Fill = 0, Panel = 1, Picture = 2, Icon = 3, Text = 4, Map = 5 };

// Where a text element's glyphs come from.
enum class TextSource : uint32_t { Meta = 0, Menu = 1, Number = 2 };

struct InterfaceElement {
    ElementKind kind = ElementKind::Fill;
    float rect[4]{};   // left, top, width, height in framebuffer pixels
    // Fill: sRGB colour and alpha. Panel: panel index, border. Picture: source rectangle in the
    // interface atlas. Text: sRGB colour and glyph height.
    float a[4]{};
    // Icon: item id. Text: source, first glyph (meta word or menu glyph), glyph count, number value.
    uint32_t b[4]{};
    // 0: drawn by the interface pass; 1: by the cursor-stack pass, over the portrait.
    uint32_t pass = 0;
};

// The elements of the interface block's screen. `meta` is the content meta buffer as 32-bit words,
// of which the label, name and overlay text-line records are read.
std::vector<InterfaceElement> layoutInterface(const InterfaceBlock& block, std::span<const uint32_t> meta);

}  // namespace render
