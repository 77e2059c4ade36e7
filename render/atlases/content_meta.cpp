#include "render/atlases/content_meta.h"

#include <algorithm>
#include <cstring>

#include "ui/font_alphabet.h"
#include "ui/ui_state.h"

namespace render {

namespace {

void putLabel(std::vector<uint8_t>& bytes, std::size_t offset, std::u32string_view text) {
    const LabelRecord record = encodeLabel(text);
    std::memcpy(bytes.data() + offset, record.data(), record.size());
}

void putFloat(std::vector<uint8_t>& bytes, std::size_t offset, float value) {
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

void putBlocks(std::vector<uint8_t>& bytes, const std::vector<voxel::BlockDef>& blocks) {
    const std::size_t count = std::min<std::size_t>(blocks.size(), voxel::maxBlockCount);
    for (std::size_t b = 0; b < count; ++b) {
        const voxel::BlockDef& def = blocks[b];
        putLabel(bytes, kBlockNamesOffset + kLabelBytes * b, ui::utf8ToUtf32(def.name));
        putFloat(bytes, kBlockLightOffset + 4 * b, def.light / 15.0f);
        putFloat(bytes, kWindOffset + 8 * b, def.wind_strength);
        putFloat(bytes, kWindOffset + 8 * b + 4, def.wind_speed);
    }
}

}  // namespace

uint8_t fontGlyph(char32_t c) { return static_cast<uint8_t>(ui::glyphIndex(c)); }

LabelRecord encodeLabel(std::u32string_view text) {
    LabelRecord record{};
    const uint32_t count = static_cast<uint32_t>(std::min(text.size(), kLabelGlyphs));
    std::memcpy(record.data(), &count, sizeof count);
    for (uint32_t j = 0; j < count; ++j) record[4 + j] = fontGlyph(text[j]);
    return record;
}

const std::array<LabelGroup, 3>& fixedLabelGroups() {
    static const std::array<LabelGroup, 3> groups{{
        {kLabelGroup1Offset,
         {U"ВСЁ", U"БЛОКИ", U"ПРИРОДА", U"ПРЕДМЕТЫ", U"ИНСТРУМЕНТЫ", U"БРОНЯ", U"ЕДА", U"КРЕАТИВ", U"БРОНЯ",
          U"НЕТ МЕСТА", U"СУНДУК"}},
        {kLabelGroup2Offset,
         {U"ИНВЕНТАРЬ", U"БЫСТРЫЙ ДОСТУП", U"ЛКМ ВЗЯТЬ", U"ПКМ ПОЛОВИНА", U"SHIFT ЛКМ ПЕРЕНОС", U"ESC ЗАКРЫТЬ",
          U"ОСТАЛОСЬ ИЗ 100", U"ПРЕДМЕТЫ", U"ЗАЩИТА", U"ОКЕАН", U"БОЛОТО", U"ИГРАТЬ", U"СОЗДАТЬ МИР", U"УДАЛИТЬ",
          U"НАЗАД", U"УДАЛИТЬ МИР", U"ОТМЕНА", U"МИР БУДЕТ УДАЛЁН", U"КОПИЯ В BACKUPS", U"СЕМЯ", U"ВОКСЕЛЬНЫЙ МИР",
          U"ВЫБЕРИТЕ МИР"}},
        {kLabelGroup3Offset,
         {U"ПЕРСОНАЖ", U"ЗАДАНИЯ", U"НЕТ МИРОВ", U"ДНЕВНИК ПУТЕШЕСТВЕННИКА"}},
    }};
    return groups;
}

std::vector<uint8_t> contentMetaBytes(const std::vector<voxel::BlockDef>& blocks,
                                      const std::vector<float>& materialRects, uint32_t layerCount) {
    std::vector<uint8_t> bytes(kContentMetaBytes, 0);
    const std::size_t rects = std::min(materialRects.size(), kMaterialRectFloats);
    if (rects > 0) std::memcpy(bytes.data() + kMaterialRectsOffset, materialRects.data(), rects * sizeof(float));
    std::memcpy(bytes.data() + kLayerCountOffset, &layerCount, sizeof layerCount);
    for (const LabelGroup& group : fixedLabelGroups()) {
        for (std::size_t k = 0; k < group.texts.size(); ++k) putLabel(bytes, group.offset + kLabelBytes * k, group.texts[k]);
    }
    putBlocks(bytes, blocks);
    return bytes;
}

std::vector<uint8_t> biomeLabelBytes(const voxel::GenerationProfile* profile) {
    std::vector<uint8_t> bytes(kBiomeLabelsBytes, 0);
    if (!profile) return bytes;
    const std::size_t count = std::min(profile->biomes.size(), kBiomeLabelRecords - kFirstCustomBiomeLabel);
    for (std::size_t i = 0; i < count; ++i)
        putLabel(bytes, kLabelBytes * (kFirstCustomBiomeLabel + i), ui::utf8ToUtf32(profile->biomes[i].name));
    return bytes;
}

}  // namespace render
