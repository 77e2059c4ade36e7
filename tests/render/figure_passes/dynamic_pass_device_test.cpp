#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "gpu_fixture.h"

namespace {

constexpr uint64_t kItemBytes = 36 * sizeof(render::MeshVertex);  // one cube item

// A device with its frame objects and swapchain, one loaded chunk and play in progress.
class DynamicPassDeviceTest : public rendertest::RendererGpuTest {
protected:
    void SetUp() override {
        RendererGpuTest::SetUp();
        app.world.chunks.emplace_back(0, 0);
        app.reindexChunks();
        app.ui.menuOpen = false;
    }

    void drawItems(std::size_t count) {
        app.entities.droppedItems.assign(count, DroppedItem{.id = 3, .x = 8.5f, .y = 70.0f, .z = 8.5f});
        app.drawFrame();
    }
};

TEST_F(DynamicPassDeviceTest, BufferGrowsToAtLeastDoubleKeepsItsSizeAndHoldsTheFrame) {
    struct Step {
        std::size_t items;
        uint64_t capacityItems;
    };
    uint64_t previous = 0;
    for (const Step step : {Step{1, 1}, Step{2, 2}, Step{1, 2}, Step{3, 4}, Step{4, 4}}) {
        drawItems(step.items);
        const BufferSlot& slot = app.dynamicPass.dropped;
        ASSERT_NE(slot.buffer, VK_NULL_HANDLE);
        EXPECT_EQ(slot.capacity, step.capacityItems * kItemBytes) << step.items;
        const std::vector<render::MeshVertex>& list = app.dynamicPass.vertices;
        ASSERT_EQ(list.size() * sizeof(render::MeshVertex), step.items * kItemBytes);
        const std::vector<uint8_t> bytes = mappedBytes(slot.memory, slot.capacity);
        EXPECT_EQ(std::memcmp(bytes.data(), list.data(), step.items * kItemBytes), 0) << step.items;
        // A new buffer holds zeros after the frame's vertices.
        if (slot.capacity != previous && slot.capacity > step.items * kItemBytes) {
            const std::vector<uint8_t> zeros(slot.capacity - step.items * kItemBytes, 0);
            EXPECT_EQ(std::memcmp(bytes.data() + step.items * kItemBytes, zeros.data(), zeros.size()), 0);
        }
        previous = slot.capacity;
    }
    app.entities.droppedItems.clear();
    EXPECT_NO_THROW(app.drawFrame());
    app.shutdown();
    EXPECT_EQ(app.dynamicPass.dropped.buffer, VK_NULL_HANDLE);
    EXPECT_EQ(app.dynamicPass.dropped.memory, VK_NULL_HANDLE);
}

}  // namespace
