#include "settingswnd/SettingsLayout.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

// The tables are data; these check the properties the window relies on, not the numbers.
namespace {

struct Box {
    int left, top, right, bottom;
};

// Layout units the tab strip and the tab control's borders take from its display area.
constexpr int kTabChrome = 28;

Box BoxOf(const ControlLayout& row) {
    // A drop-down list is as high as its open list, which may cover its neighbours.
    const int height = row.kind == LayoutKind::ComboBox ? 21 : row.height;
    return {row.x, row.y, row.x + row.width, row.y + height};
}

bool Overlap(const Box& a, const Box& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

std::vector<PageLayout> AllTables() { return {kWindowLayout, kPages[0], kPages[1], kPages[2]}; }

// Every control lies inside its parent, and no two siblings overlap (up-downs excepted: the system
// moves them onto their buddy's right edge).
TEST(SettingsLayout, ControlsFitTheirParentsAndDoNotOverlap) {
    for (const PageLayout& table : AllTables()) {
        std::map<Place, Box> parents;
        parents[Place::Window] = {0, 0, kWindowWidth, kWindowBodyHeight};
        parents[Place::Page] = {0, 0, kTabWidth - 8, kTabHeight - kTabChrome};
        std::map<Place, std::vector<const ControlLayout*>> children;
        for (const ControlLayout& row : table) {
            if (row.kind == LayoutKind::GroupBox) parents[row.opens] = {0, 0, row.width, row.height};
            if (row.kind != LayoutKind::UpDown) children[row.parent].push_back(&row);
        }
        for (const auto& [place, rows] : children) {
            ASSERT_EQ(parents.count(place), 1u) << "a parent opened after its children";
            const Box parent = parents[place];
            for (size_t i = 0; i < rows.size(); ++i) {
                const Box box = BoxOf(*rows[i]);
                SCOPED_TRACE(rows[i]->text ? rows[i]->text : std::to_string(rows[i]->id));
                EXPECT_TRUE(box.left >= parent.left && box.top >= parent.top && box.right <= parent.right &&
                            box.bottom <= parent.bottom);
                for (size_t j = 0; j < i; ++j)
                    EXPECT_FALSE(Overlap(box, BoxOf(*rows[j])));
            }
        }
    }
}

}  // namespace
