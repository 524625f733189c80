#include "app/viewer_columns.h"

#include <array>

namespace app {

namespace {

int fieldAtPosition(const Settings& settings, int position) {
    for (int number = 1; number <= db::kFieldCount; ++number)
        if (settings.field(number).order == position)
            return number;
    return 1;
}

} // namespace

std::vector<widgets::ColumnDef> viewerColumns(const Settings& settings) {
    std::array<bool, db::kFieldCount + 1> placed{};
    std::vector<int> order;
    for (int position = 1; position <= db::kFieldCount; ++position) {
        const int number = fieldAtPosition(settings, position);
        if (!placed[static_cast<size_t>(number)]) {
            placed[static_cast<size_t>(number)] = true;
            order.push_back(number);
        }
    }
    for (int number = 1; number <= db::kFieldCount; ++number)
        if (!placed[static_cast<size_t>(number)])
            order.push_back(number);

    std::vector<widgets::ColumnDef> columns;
    for (int number : order) {
        const FieldSettings& field = settings.field(number);
        if (field.displayed)
            columns.push_back({number - 1, field.label, field.width});
    }
    return columns;
}

} // namespace app
