// The content meta buffer (binding 1) and what the shaders read from it. Offsets are in 32-bit
// words: the byte offsets of the program's content meta layout divided by four.
layout(std430, set = 0, binding = 1) readonly buffer ContentMeta {
    uint words[];
} meta;
// The same buffer as 16-byte quads: the software driver reads a storage buffer lane by lane, and a
// quad in one read costs about what one word does.
layout(std430, set = 0, binding = 1) readonly buffer ContentMetaQuads {
    uvec4 quads[];
} metaQuads;

const uint META_BLOCK_NAMES = 0u;          // 256 label records, one per block id
const uint META_BLOCK_LIGHT = 2048u;       // 256 floats, light / 15
const uint META_BIOME_LABELS = 2436u;      // 32 label records
const uint META_LABELS_GROUP1 = 2900u;     // 11 label records
const uint META_LAYER_COUNT = 3090u;       // u32 layer count of the block atlas
const uint META_LABELS_GROUP2 = 3120u;     // 22 label records
const uint META_LABELS_GROUP3 = 8096u;     // 4 label records
const uint META_WIND = 24576u;             // 256 pairs: wind strength, wind speed
const uint META_MATERIAL_RECTS = 28672u;   // 4096 x (u, v, du, dv)
const uint META_TEXT_LINES = 49424u;       // text-line slots of 16 words
// The interface elements of the frame, laid out by the program, and the elements of each tile.
const uint META_INTERFACE_HEADER = 12288u;    // shared elements, tile size, columns, rows
const uint META_INTERFACE_ELEMENTS = 12292u;  // 16 words an element
const uint META_INTERFACE_TILES = 16384u;     // first pool entry << 9 | count
const uint META_INTERFACE_POOL = 20480u;      // element indices, four to a word
const uint ELEMENT_WORDS = 16u;

const uint LABEL_WORDS = 8u;       // a label record: count, then 28 glyph bytes
const uint TEXT_LINE_WORDS = 16u;  // a text line: count, then 60 glyph bytes

// Material ids of the textures that are not block faces.
const uint MATERIAL_PLAYER_SKIN = 1856u;
const uint MATERIAL_NPC_TEXTURE = 1857u;

float metaFloat(uint word) { return uintBitsToFloat(meta.words[word]); }
// The quad that starts at `word`, a multiple of four.
uvec4 metaQuad(uint word) { return metaQuads.quads[word / 4u]; }

vec4 materialRect(uint material) {
    return uintBitsToFloat(metaQuad(META_MATERIAL_RECTS + 4u * min(material, 4095u)));
}

// Glyph j of a record whose characters start at word `first`, four to a word, lowest byte first.
uint packedGlyph(uint first, uint j) {
    return (meta.words[first + j / 4u] >> (8u * (j % 4u))) & 255u;
}

uint labelCount(uint record) { return min(meta.words[record], 28u); }
uint labelGlyph(uint record, uint j) { return packedGlyph(record + 1u, j); }
uint groupLabel(uint group, uint k) { return group + LABEL_WORDS * k; }
