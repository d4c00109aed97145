#include "decode/placement_order.h"

#include <array>
#include <mutex>

#include "common/mask_pattern.h"
#include "common/qr_tables.h"
#include "common/symbol_layout.h"

namespace lectavo {

namespace {

PlacementOrder Build(int version) {
    PlacementOrder order;
    qrcommon::FunctionMap map;
    qrcommon::BuildFunctionMap(version, map);
    const size_t bits = static_cast<size_t>(qrcommon::kTotalCodewords[version]) * 8;
    order.modules.reserve(bits);
    order.masks.reserve(bits);
    qrcommon::ForEachPlacementModule(map, [&](int row, int column) {
        if (order.modules.size() >= bits) return;
        uint8_t masks = 0;
        for (int m = 0; m < 8; ++m)
            if (qrcommon::MaskApplies(m, row, column)) masks = static_cast<uint8_t>(masks | (1u << m));
        order.modules.push_back(static_cast<uint16_t>(row * map.side + column));
        order.masks.push_back(masks);
    });
    return order;
}

}  // namespace

const PlacementOrder& PlacementOrderOf(int version) {
    static std::array<std::once_flag, qrcommon::kMaxVersion + 1> built;
    static std::array<PlacementOrder, qrcommon::kMaxVersion + 1> orders;
    std::call_once(built[static_cast<size_t>(version)],
                   [version] { orders[static_cast<size_t>(version)] = Build(version); });
    return orders[static_cast<size_t>(version)];
}

}  // namespace lectavo
