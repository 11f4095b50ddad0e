// One sweep of the barycentre improvement: each layer's nodes aimed at their neighbours in
// the next or previous layer and placed in their new order.
#pragma once

#include <vector>

namespace tarvo {

class LayoutGrid;
class NetView;
class ViewNode;

// The nodes of each grid column in row order. A sweep keeps it in step with the grid, so
// that treating a layer costs what its nodes cost, not what the grid's height costs.
class ColumnIndex {
public:
    void build(const LayoutGrid& grid);
    std::vector<ViewNode*>& column(int index) { return m_columns[static_cast<std::size_t>(index)]; }
    const std::vector<ViewNode*>& column(int index) const {
        return m_columns[static_cast<std::size_t>(index)];
    }
    int columnCount() const { return static_cast<int>(m_columns.size()); }

private:
    std::vector<std::vector<ViewNode*>> m_columns;
};

// The sweep of SweepLayout over a grid that `index` describes.
bool SweepColumns(NetView& view, ColumnIndex& index, int direction, int mode, float blend);

} // namespace tarvo
